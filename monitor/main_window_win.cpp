#include "monitor/main_window_win.h"

#include "resource.h"
#include "ui/twips.h"

namespace pellux {
namespace {

// The hidden window keeps the size the form was designed at.
constexpr int kClientWidthTwips = 3810;
constexpr int kClientHeightTwips = 1305;

}  // namespace

// The window is destroyed while this object is whole.
MainWindow::~MainWindow() { Destroy(); }

UINT MainWindow::ShowInformationMessage() {
  static const UINT message = RegisterWindowMessageW(L"Pellux.ShowInformationWindow");
  return message;
}

bool MainWindow::Create() {
  const int dpi = ScreenDpi();
  WindowCreateArgs args;
  args.class_name = kClassName;
  args.title = L"Pellux";
  args.style = WS_POPUP;
  args.ex_style = WS_EX_TOOLWINDOW;
  args.width = TwipsToPixels(kClientWidthTwips, dpi);
  args.height = TwipsToPixels(kClientHeightTwips, dpi);
  // A shared icon, which needs no freeing.
  args.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PELLUX));
  return Window::Create(args);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (tray_.OnMessage(message, wparam, lparam)) return 0;
  switch (message) {
    case WM_CREATE:
      // An elevated Pellux still hears Explorer's restart and a second
      // start's request, which come from processes of lower integrity.
      ChangeWindowMessageFilterEx(hwnd(), WinTrayIcon::TaskbarCreatedMessage(), MSGFLT_ALLOW,
                                  nullptr);
      ChangeWindowMessageFilterEx(hwnd(), ShowInformationMessage(), MSGFLT_ALLOW, nullptr);
      tray_.Show();
      return 0;
    case WM_TIMER:
      if (wparam == kTimerId) form_.Timer1_Timer();
      return 0;
    case WM_CLOSE:
      form_.mnuMain_Click(MainMenu::mnuExit);
      return 0;
    case WM_DESTROY:
      tray_.Hide();
      return 0;
    default:
      if (message == ShowInformationMessage() && message != 0) {
        form_.mnuMain_Click(MainMenu::mnuGetIP);
        return 0;
      }
      return Window::HandleMessage(message, wparam, lparam);
  }
}

}  // namespace pellux
