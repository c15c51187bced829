#include "monitor/app_win.h"

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
      module1_(seams.sockets, seams.computer, seams.messages, *this),
      main_({module1_, seams.settings, tray_, timer_, seams.messages, menus_, *this, *this}),
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

bool App::IsLoaded(FormId form) const {
  switch (form) {
    case FormId::kMain:
      return window_.hwnd() != nullptr;
    case FormId::kInfo:
      return info_.loaded();
    case FormId::kConfig:
      return config_.loaded();
  }
  return false;
}

void App::Show(FormId form) {
  if (!IsLoaded(form)) {
    std::erase(load_order_, form);
    load_order_.push_back(form);
  }
  if (form == FormId::kConfig) config_.Show();
  if (form == FormId::kInfo) info_.Show();
}

std::vector<FormId> App::Loaded() const {
  std::vector<FormId> loaded;
  if (IsLoaded(FormId::kMain)) loaded.push_back(FormId::kMain);
  for (const FormId form : load_order_) {
    if (IsLoaded(form)) loaded.push_back(form);
  }
  return loaded;
}

void App::Unload(FormId form) {
  switch (form) {
    case FormId::kMain:
      // Destroying the main window takes the icon out of the tray.
      if (window_.hwnd() != nullptr) DestroyWindow(window_.hwnd());
      break;
    case FormId::kInfo:
      info_.Unload();
      break;
    case FormId::kConfig:
      config_.Unload();
      break;
  }
}

}  // namespace pellux
