#include "monitor/main_window_win.h"

#include "ui/twips.h"

namespace pellux {
namespace {

// The form's client area, which nobody sees but which keeps the window the
// size the form was designed at.
constexpr int kClientWidthTwips = 3810;
constexpr int kClientHeightTwips = 1305;

// What the program says before it ends on a failure it cannot go on after.
constexpr char kIconTimerFailed[] =
    "Pellux could not set the timer that puts its icon into the notification area.";
constexpr char kPollTimerFailed[] = "Pellux could not set the timer that looks the address up.";

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

void MainWindow::SetTip(const std::string& tip) {
  if (!tray_.SetTip(tip)) Fail(kIconTimerFailed);
}

void MainWindow::StartTimer(uint32_t interval_ms) {
  if (SetTimer(hwnd(), kTimerId, interval_ms, nullptr) == 0) Fail(kPollTimerFailed);
}

void MainWindow::Fail(const char* text) {
  messages_.Message(text);
  EndProgram(1);
}

void MainWindow::EndProgram(int exit_code) {
  tray_.Remove();
  process_.EndProgram(exit_code);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      // An elevated Pellux still hears Explorer's restart and a second
      // start's request, which come from processes of lower integrity.
      ChangeWindowMessageFilterEx(hwnd(), WinTrayIcon::TaskbarCreatedMessage(), MSGFLT_ALLOW,
                                  nullptr);
      ChangeWindowMessageFilterEx(hwnd(), ShowInformationMessage(), MSGFLT_ALLOW, nullptr);
      if (!tray_.Add(hwnd(), ScreenDpi())) Fail(kIconTimerFailed);
      return 0;
    case WM_TIMER:
      if (wparam == kTimerId) form_.Timer1_Timer();
      if (wparam == WinTrayIcon::kRetryTimerId && !tray_.Retry()) Fail(kIconTimerFailed);
      return 0;
    case WM_DPICHANGED:
      if (!tray_.SetDpi(LOWORD(wparam))) Fail(kIconTimerFailed);
      return 0;
    case kTrayCallbackMessage:
      tray_.OnCallback(wparam, lparam);
      return 0;
    case WM_CLOSE:
      form_.mnuMain_Click(MainMenu::mnuExit);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd(), kTimerId);
      tray_.Remove();
      PostQuitMessage(0);
      return 0;
    default:
      if (message == WinTrayIcon::TaskbarCreatedMessage()) {
        // Explorer also sends it when the screen's scale changed: the image
        // is loaded again at the size it now shows.
        if (!tray_.Add(hwnd(), ScreenDpi())) Fail(kIconTimerFailed);
        return 0;
      }
      if (message == ShowInformationMessage() && message != 0) {
        form_.mnuMain_Click(MainMenu::mnuGetIP);
        return 0;
      }
      return Window::HandleMessage(message, wparam, lparam);
  }
}

}  // namespace pellux
