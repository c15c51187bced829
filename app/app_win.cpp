#include "app/app_win.h"

#include "resource.h"
#include "ui/form_window_win.h"

namespace pellux {
namespace {

HICON LoadProgramIcon() {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PELLUX),
                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

}  // namespace

App::App(const PlatformSeams& seams)
    : seams_(seams),
      icon_(LoadProgramIcon()),
      tray_(icon_),
      forms_(window_, info_, config_),
      module1_(seams.sockets, seams.computer, seams.messages, *this),
      main_({module1_, seams.settings, tray_, timer_, seams.messages, menus_, forms_, *this}),
      window_(main_, tray_, timer_),
      config_(main_, seams.settings, seams.messages, app_bar_, version_),
      info_(main_, module1_, clipboard_, seams.messages) {}

App::~App() {
  tray_.Remove();
  if (icon_ != nullptr) DestroyIcon(icon_);
}

bool App::Start() {
  if (!window_.Create(icon_)) return false;
  menus_.Attach(window_.hwnd());
  main_.Form_Load();
  return true;
}

int App::Run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (FormWindow::PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void App::EndProgram(int exit_code) {
  tray_.Remove();
  seams_.process.EndProgram(exit_code);
}

}  // namespace pellux
