// The running program on Qt: the forms and their windows over the platform
// seams, driven by Qt's event loop. The main form has no window here. It runs
// the poll timer and is the one place the program ends from.
#pragma once

#include <QTimer>

#include <optional>

#include "app/platform_seams.h"
#include "config/frm_config.h"
#include "info/frm_info.h"
#include "monitor/frm_main.h"
#include "net/network_identity.h"
#include "tray/tray_icon_qt.h"
#include "ui/form_window_qt.h"

namespace pellux {

class App final : private PollTimer, private Process {
 public:
  explicit App(const PlatformSeams& seams);

  // Puts the icon into the tray and loads the main form.
  void Start();
  // Set once the program has ended, even before the event loop runs.
  std::optional<int> exit_code() const { return exit_code_; }

  frmMain& main_form() { return main_; }
  QtTrayIcon& tray() { return tray_; }
  QTimer& timer() { return timer_; }
  FormWindow& info_window() { return info_window_; }
  FormWindow& config_window() { return config_window_; }

 private:
  void StartTimer(uint32_t interval_ms) override;
  // Stops the timer and takes the icon out of the tray, then ends.
  void EndProgram(int exit_code) override;

  Process& process_;
  std::optional<int> exit_code_;
  Module1 module1_;
  frmMain main_;
  QtTrayIcon tray_;
  QTimer timer_;
  frmInfo info_;
  FormWindow info_window_;
  frmConfig config_;
  FormWindow config_window_;
};

}  // namespace pellux
