#include "config/taskbar_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

namespace pellux {

// The portable record mirrors the shell's own, field for field, on 32- and
// 64-bit Windows alike.
static_assert(sizeof(APPBARDATA) == sizeof(AppBarData));
static_assert(offsetof(APPBARDATA, hWnd) == offsetof(AppBarData, hWnd));
static_assert(offsetof(APPBARDATA, rc) == offsetof(AppBarData, rc));
static_assert(offsetof(APPBARDATA, lParam) == offsetof(AppBarData, lParam));
static_assert(ABM_GETTASKBARPOS == kAbmGetTaskbarPos);

uint32_t ShellAppBar::SHAppBarMessage(uint32_t message, AppBarData& data) {
  APPBARDATA record{};
  // The shell is always given its own record size; the caller's record is
  // the same size (asserted above), so nothing it holds is lost.
  record.cbSize = sizeof record;
  record.hWnd = reinterpret_cast<HWND>(data.hWnd);
  record.uCallbackMessage = data.uCallbackMessage;
  record.uEdge = data.uEdge;
  record.rc = {data.rc.left, data.rc.top, data.rc.right, data.rc.bottom};
  record.lParam = data.lParam;
  const UINT_PTR result = ::SHAppBarMessage(message, &record);
  data.cbSize = record.cbSize;
  data.hWnd = reinterpret_cast<uintptr_t>(record.hWnd);
  data.uCallbackMessage = record.uCallbackMessage;
  data.uEdge = record.uEdge;
  data.rc = {record.rc.left, record.rc.top, record.rc.right, record.rc.bottom};
  data.lParam = record.lParam;
  return static_cast<uint32_t>(result);
}

}  // namespace pellux
