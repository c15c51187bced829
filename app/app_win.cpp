#include "app/app_win.h"

#include "config/program_version.h"

namespace pellux {

App::App(const PlatformSeams& seams)
    : messages_(seams.messages),
      process_(seams.process),
      window_(
          main_,
          [this] {
            Fail("Pellux could not set the timer that puts its icon into the notification area.");
          }),
      module1_(seams.sockets, seams.computer, seams.messages, *this),
      main_({module1_, seams.settings, seams.messages, *this, window_.tray(), *this, info_window_,
             config_window_}),
      config_(main_, seams.settings, seams.messages, ProgramVersion()),
      info_(main_, module1_, seams.clipboard, seams.messages) {}

void App::Start() {
  // Without its window (its class refused, or no window made) the program
  // could show no icon and take no command.
  if (!window_.Create()) return Fail("Pellux could not create its main window.");
  main_.Form_Load();
}

int App::Run(SessionInstance& session) {
  for (;;) {
    if (const auto exit_code = FormWindow::HandleQueuedMessages()) return *exit_code;
    session.WaitForMessages();
  }
}

void App::StartTimer(uint32_t interval_ms) {
  if (SetTimer(window_.hwnd(), MainWindow::kTimerId, interval_ms, nullptr) == 0) {
    Fail("Pellux could not set the timer that looks the address up.");
  }
}

void App::EndProgram(int exit_code) {
  KillTimer(window_.hwnd(), MainWindow::kTimerId);
  window_.tray().Hide();
  process_.EndProgram(exit_code);
}

void App::Fail(const char* text) {
  messages_.Message(text);
  EndProgram(1);
}

}  // namespace pellux
