#include "app/app_win.h"

#include "config/program_version.h"

namespace pellux {

// Ending the program through the main window takes the icon out first.
App::App(const PlatformSeams& seams)
    : messages_(seams.messages),
      clipboard_(MakeSystemClipboard()),
      window_(main_, seams.process, seams.messages),
      module1_(seams.sockets, seams.computer, seams.messages, window_),
      main_({module1_, seams.settings, seams.messages, window_, window_.tray(), window_,
             info_window_, config_window_}),
      config_(main_, seams.settings, seams.messages, ProgramVersion()),
      info_(main_, module1_, *clipboard_, seams.messages) {}

bool App::Start() {
  // Without its window (its class refused, or no window made) the program
  // could show no icon and take no command.
  if (!window_.Create()) {
    messages_.Message("Pellux could not create its main window.");
    return false;
  }
  main_.Form_Load();
  return true;
}

int App::Run(SessionInstance& session) {
  for (;;) {
    if (const auto exit_code = FormWindow::HandleQueuedMessages()) return *exit_code;
    session.WaitForMessages();
  }
}

}  // namespace pellux
