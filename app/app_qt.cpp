#include "app/app_qt.h"

namespace pellux {

QtPollTimer::QtPollTimer() {
  // The interval is the user's choice to the millisecond.
  timer_.setTimerType(Qt::PreciseTimer);
}

void QtPollTimer::Connect(MainFormEvents& form) {
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [&form] { form.Timer1_Timer(); });
}

void QtPollTimer::Arm(uint32_t interval_ms) {
  timer_.start(static_cast<int>(std::min<uint32_t>(interval_ms, INT32_MAX)));
}

App::App(const PlatformSeams& seams)
    : seams_(seams),
      tray_(QDBusConnection::sessionBus()),
      forms_(*this, info_, config_),
      module1_(seams.sockets, seams.computer, seams.messages, *this),
      main_({module1_, seams.settings, tray_, timer_, seams.messages, menus_, forms_, *this}),
      config_(main_, seams.settings, seams.messages, app_bar_, version_),
      info_(main_, module1_, clipboard_, seams.messages) {
  tray_.Connect(main_, menus_);
  timer_.Connect(main_);
}

App::~App() {
  timer_.Stop();
  tray_.Hide();
}

void App::Start() {
  main_loaded_ = true;
  tray_.Show();
  main_.Form_Load();
}

void App::EndProgram(int exit_code) {
  tray_.Hide();
  seams_.process.EndProgram(exit_code);
}

void App::Unload() {
  main_loaded_ = false;
  timer_.Stop();
  tray_.Hide();
}

}  // namespace pellux
