#include "app/app_qt.h"

#include <QDBusConnection>

#include <algorithm>
#include <cstdint>

#include "config/program_version.h"

namespace pellux {

App::App(const PlatformSeams& seams)
    : process_(seams.process),
      module1_(seams.sockets, seams.computer, seams.messages, *this),
      main_({module1_, seams.settings, seams.messages, *this, tray_, *this, info_window_,
             config_window_}),
      tray_(QDBusConnection::sessionBus(), main_, kMainMenu),
      info_(main_, module1_, seams.clipboard, seams.messages),
      info_window_(info_),
      config_(main_, seams.settings, seams.messages, ProgramVersion()),
      config_window_(config_) {
  // The interval is the user's choice to the millisecond.
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { main_.Timer1_Timer(); });
}

void App::Start() {
  tray_.Show();
  main_.Form_Load();
}

void App::StartTimer(uint32_t interval_ms) {
  timer_.start(static_cast<int>(std::min<uint32_t>(interval_ms, INT32_MAX)));
}

void App::EndProgram(int exit_code) {
  timer_.stop();
  tray_.Hide();
  exit_code_ = exit_code;
  process_.EndProgram(exit_code);
}

}  // namespace pellux
