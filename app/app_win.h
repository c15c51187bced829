// The running program on Windows: the forms and their windows over the
// platform's seams, driven by the message loop. It runs the poll timer and
// is the one place the program ends from.
#pragma once

#include "app/platform_seams.h"
#include "app/session_instance_win.h"
#include "config/frm_config.h"
#include "info/frm_info.h"
#include "monitor/main_window_win.h"
#include "ui/form_window_win.h"

namespace pellux {

class App final : private PollTimer, private Process {
 public:
  explicit App(const PlatformSeams& seams);

  // Creates the main window, which shows the icon, and loads the main form.
  // A window that cannot be made ends the program, after a message.
  void Start();

  // The message loop; returns the exit code. While it waits, a program that
  // runs beside one that did not answer takes over `session` from it.
  static int Run(SessionInstance& session);

  frmMain& main_form() { return main_; }
  MainWindow& main_window() { return window_; }
  FormWindow& config_window() { return config_window_; }
  FormWindow& info_window() { return info_window_; }

 private:
  // Ticks every `interval_ms` on the main window.
  void StartTimer(uint32_t interval_ms) override;
  // The icon leaves the tray first, so that no dead icon is left behind.
  void EndProgram(int exit_code) override;
  // Shows what failed and ends the program.
  void Fail(const char* text);

  MessageBoxes& messages_;
  Process& process_;
  MainWindow window_;
  Module1 module1_;
  frmMain main_;
  frmConfig config_;
  FormWindow config_window_{config_};
  frmInfo info_;
  FormWindow info_window_{info_};
};

}  // namespace pellux
