#include "monitor/main_window_win.h"

#include "ui/twips.h"

namespace pellux {
namespace {

// The form's client area, which nobody sees but which keeps the window the
// size the form was designed at.
constexpr int kClientWidthTwips = 3810;
constexpr int kClientHeightTwips = 1305;

}  // namespace

void WindowTimer::Arm(uint32_t interval_ms) {
  interval_ms_ = interval_ms;
  SetTimer(window_, kTimerId, interval_ms, nullptr);
}

void WindowTimer::Stop() {
  if (window_ != nullptr) KillTimer(window_, kTimerId);
}

UINT MainWindow::ShowInformationMessage() {
  static const UINT message = RegisterWindowMessageW(L"Pellux.ShowInformationWindow");
  return message;
}

bool MainWindow::Create(HICON icon) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
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

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      timer_.Attach(hwnd());
      tray_.Add(hwnd());
      return 0;
    case WM_TIMER:
      if (wparam == WindowTimer::kTimerId) form_.Timer1_Timer();
      return 0;
    case kTrayCallbackMessage:
      OnTrayCallback(lparam);
      return 0;
    case WM_CLOSE:
      form_.mnuMain_Click("mnuExit");
      return 0;
    case WM_DESTROY:
      timer_.Stop();
      tray_.Remove();
      PostQuitMessage(0);
      return 0;
    default:
      if (message == Win32TrayIcon::TaskbarCreatedMessage()) {
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

void MainWindow::OnTrayCallback(LPARAM lparam) {
  const auto event = TranslateTrayCallback(lparam);
  if (!event) return;
  if (event->kind == TrayEvent::Kind::kActivate) {
    form_.Trayicon1_Activate();
  } else {
    form_.Trayicon1_MouseButton(event->button);
  }
}

}  // namespace pellux
