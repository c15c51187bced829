#include "app/app_qt.h"

#include <QDBusConnection>

#include "config/program_version.h"

namespace pellux {

App::App(const PlatformSeams& seams)
    : clipboard_(MakeSystemClipboard()),
      module1_(seams.sockets, seams.computer, seams.messages, window_),
      main_({module1_, seams.settings, seams.messages, window_, window_, info_window_,
             config_window_}),
      window_(main_, seams.process, QDBusConnection::sessionBus()),
      info_(main_, module1_, *clipboard_, seams.messages),
      info_window_(info_),
      config_(main_, seams.settings, seams.messages, ProgramVersion()),
      config_window_(config_) {}

void App::Start() {
  window_.ShowIcon();
  main_.Form_Load();
}

}  // namespace pellux
