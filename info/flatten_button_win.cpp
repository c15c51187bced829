#include "info/flatten_button_win.h"

namespace pellux {
namespace {

// Only the frame changes: position, size and stacking are left alone.
constexpr UINT kFrameOnly =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;
static_assert(kFrameOnly == 0x227);

}  // namespace

void FlattenButton(HWND hWnd) {
  const LONG style = GetWindowLongA(hWnd, GWL_EXSTYLE);
  SetWindowLongA(hWnd, GWL_EXSTYLE, style | WS_EX_STATICEDGE);
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, kFrameOnly);
}

}  // namespace pellux
