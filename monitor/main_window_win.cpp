#include "monitor/main_window_win.h"

#include "ui/text_win.h"
#include "ui/twips.h"

namespace pellux {
namespace {

// The form's client area, which nobody sees but which keeps the window the
// size the form was designed at.
constexpr int kClientWidthTwips = 3810;
constexpr int kClientHeightTwips = 1305;

class MenuHandle {
 public:
  MenuHandle() : menu_(CreatePopupMenu()) {}
  MenuHandle(const MenuHandle&) = delete;
  MenuHandle& operator=(const MenuHandle&) = delete;
  ~MenuHandle() {
    if (menu_ != nullptr) DestroyMenu(menu_);
  }
  HMENU get() const { return menu_; }

 private:
  HMENU menu_;
};

}  // namespace

// Defined here, once: the window is destroyed while this object is whole,
// and the destructor's thunks for the window's several bases are made in
// this one place.
MainWindow::~MainWindow() { Destroy(); }

UINT MainWindow::ShowInformationMessage() {
  static const UINT message = RegisterWindowMessageW(L"Pellux.ShowInformationWindow");
  return message;
}

bool MainWindow::Create(HICON icon) {
  const int dpi = ScreenDpi();
  WindowCreateArgs args;
  args.class_name = kClassName;
  args.title = L"Pellux";
  args.style = WS_POPUP;
  args.ex_style = WS_EX_TOOLWINDOW;
  args.width = TwipsToPixels(kClientWidthTwips, dpi);
  args.height = TwipsToPixels(kClientHeightTwips, dpi);
  args.icon = icon;
  return Window::Create(args);
}

void MainWindow::StartTimer(uint32_t interval_ms) {
  SetTimer(hwnd(), kTimerId, interval_ms, nullptr);
}

std::optional<std::string_view> MainWindow::PopupMenu(std::span<const MenuItemDesign> items) {
  MenuHandle menu;
  if (menu.get() == nullptr) return std::nullopt;
  // Command ids are the entries' positions plus one; 0 means nothing chosen.
  UINT_PTR id = 0;
  for (const auto& item : items) {
    ++id;
    if (item.separator()) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu.get(), MF_STRING, id, Widen(item.caption).c_str());
    }
  }
  POINT at{};
  GetCursorPos(&at);
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  // The owner must be the foreground window while the menu is open, or the
  // menu would not close when the user clicks away.
  SetForegroundWindow(hwnd());
  const BOOL chosen = TrackPopupMenuEx(menu.get(), align | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                                       at.y, hwnd(), nullptr);
  PostMessageW(hwnd(), WM_NULL, 0, 0);
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return std::nullopt;
  return items[static_cast<std::size_t>(chosen) - 1].name;
}

void MainWindow::EndProgram(int exit_code) {
  tray_.Remove();
  process_.EndProgram(exit_code);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      tray_.Add(hwnd());
      return 0;
    case WM_TIMER:
      if (wparam == kTimerId) form_.Timer1_Timer();
      return 0;
    case kTrayCallbackMessage:
      OnTrayCallback(lparam);
      return 0;
    case WM_CLOSE:
      form_.mnuMain_Click("mnuExit");
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd(), kTimerId);
      tray_.Remove();
      PostQuitMessage(0);
      return 0;
    default:
      if (message == WinTrayIcon::TaskbarCreatedMessage()) {
        tray_.Add(hwnd());
        return 0;
      }
      if (message == ShowInformationMessage() && message != 0) {
        form_.mnuMain_Click("mnuGetIP");
        return 0;
      }
      return Window::HandleMessage(message, wparam, lparam);
  }
}

// The icon speaks NOTIFYICON_VERSION_4: the event is in the low word. A
// single click, a double click and Enter or Space on the focused icon
// activate it; the context-menu gesture (right click, the menu key,
// Shift+F10) is the right button; a left or middle click also reports its
// button.
void MainWindow::OnTrayCallback(LPARAM lparam) {
  switch (LOWORD(lparam)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case WM_LBUTTONDBLCLK:
      form_.Trayicon1_Activate();
      break;
    case WM_CONTEXTMENU:
      form_.Trayicon1_MouseButton(kRightButton);
      break;
    case WM_LBUTTONUP:
      form_.Trayicon1_MouseButton(kLeftButton);
      break;
    case WM_MBUTTONUP:
      form_.Trayicon1_MouseButton(kMiddleButton);
      break;
    default:
      break;
  }
}

}  // namespace pellux
