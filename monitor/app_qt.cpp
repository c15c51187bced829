#include "monitor/app_qt.h"

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
      module1_(seams.sockets, seams.computer, seams.messages, *this),
      main_({module1_, seams.settings, tray_, timer_, seams.messages, menus_, *this, *this}),
      config_(main_, seams.settings, seams.messages, app_bar_, version_),
      info_(main_, module1_, clipboard_, seams.messages) {
  tray_.Connect(main_);
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

bool App::IsLoaded(FormId form) const {
  switch (form) {
    case FormId::kMain:
      return main_loaded_;
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
      // The main form has no window of its own: its icon and timer go.
      main_loaded_ = false;
      timer_.Stop();
      tray_.Hide();
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
