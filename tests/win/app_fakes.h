// The whole program on its real windows, over fakes of the platform seams.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "app/app_win.h"
#include "tests/unit/fakes.h"

namespace pellux::testing {

using AppFakes = ProgramOnFakes<App>;

inline NOTIFYICONDATAW IconOf(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = 1;
  return data;
}

// Delivers the messages queued for this thread's windows.
inline void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Whether the shell still knows the icon: only a known icon can be modified.
inline bool IconKnown(HWND owner) {
  NOTIFYICONDATAW data = IconOf(owner);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// What Explorer's restart does to every icon: it is gone from the tray.
inline bool ForgetIcon(HWND owner) {
  NOTIFYICONDATAW data = IconOf(owner);
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

}  // namespace pellux::testing
