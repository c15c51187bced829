// The running program on Qt: the forms and their windows over the platform
// seams, driven by Qt's event loop.
#pragma once

#include <memory>

#include "app/platform_seams.h"
#include "config/frm_config.h"
#include "info/frm_info.h"
#include "monitor/frm_main.h"
#include "monitor/main_window_qt.h"
#include "net/network_identity.h"
#include "ui/clipboard.h"
#include "ui/form_window_qt.h"

namespace pellux {

class App final {
 public:
  explicit App(const PlatformSeams& seams);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Puts the icon into the tray and loads the main form.
  void Start();

  frmMain& main_form() { return main_; }
  MainWindow& main_window() { return window_; }
  FormWindow& info_window() { return info_window_; }
  FormWindow& config_window() { return config_window_; }

 private:
  std::unique_ptr<Clipboard> clipboard_;
  // Module1 and the main form end the program through the main window,
  // which takes the icon out of the tray first. Each form's window binds
  // itself to its form, which is made before it.
  Module1 module1_;
  frmMain main_;
  MainWindow window_;
  frmInfo info_;
  FormWindow info_window_;
  frmConfig config_;
  FormWindow config_window_;
};

}  // namespace pellux
