// The forms' windows take Tab, Enter and Esc as dialog boxes do; the
// program's message loop gives them those keys before anything else.
#include "ui/form_window_win.h"

#include <algorithm>

namespace pellux {

std::vector<HWND> FormWindow::TabStops() const {
  std::vector<HWND> stops;
  for (const ControlId id : TabOrder(design_)) {
    const HWND control = Control(id);
    if (IsWindowVisible(control) && IsWindowEnabled(control)) stops.push_back(control);
  }
  return stops;
}

bool FormWindow::MoveFocusInTabOrder(bool backwards) {
  const auto stops = TabStops();
  if (stops.empty()) return false;
  const HWND focus = GetFocus();
  auto current = std::find_if(stops.begin(), stops.end(),
                              [focus](HWND stop) { return stop == focus || IsChild(stop, focus); });
  const std::size_t count = stops.size();
  // Without a control in focus, the first control is next, or the last one.
  std::size_t index = backwards ? 0 : count - 1;
  if (current != stops.end()) index = static_cast<std::size_t>(current - stops.begin());
  SetFocus(stops[backwards ? (index + count - 1) % count : (index + 1) % count]);
  return true;
}

bool FormWindow::OnKey(const MSG& message) {
  const HWND focus = GetFocus();
  // A dropped-down list takes Enter and Esc itself, to close.
  if ((SendMessageW(focus, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)) &
       DLGC_WANTMESSAGE) != 0) {
    return false;
  }
  if (message.wParam == VK_ESCAPE) {
    if (design_.escape_closes) SendMessageW(hwnd(), WM_CLOSE, 0, 0);
    return true;
  }
  // No button is the default: Enter presses the one that has the focus, and
  // nothing elsewhere.
  Press(focus);
  return true;
}

bool FormWindow::PreTranslate(MSG& message) {
  if (message.hwnd == nullptr) return false;
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  auto* form = static_cast<FormWindow*>(GetPropW(root, kFormProperty));
  if (form == nullptr) return false;
  const bool plain = GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && plain) {
    return form->MoveFocusInTabOrder(GetKeyState(VK_SHIFT) < 0);
  }
  if (message.message == WM_KEYDOWN && plain && GetKeyState(VK_SHIFT) >= 0 &&
      (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
    return form->OnKey(message);
  }
  return IsDialogMessageW(root, &message) != FALSE;
}

std::optional<int> FormWindow::HandleQueuedMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    if (PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return std::nullopt;
}

}  // namespace pellux
