// The running program on Qt: the seams, the forms, the tray icon and the
// poll timer, wired together and driven by Qt's event loop.
#pragma once

#include <QTimer>

#include <vector>

#include "config/config_window_qt.h"
#include "config/program_version_qt.h"
#include "config/taskbar_qt.h"
#include "info/info_window_qt.h"
#include "monitor/frm_main.h"
#include "app/platform_seams.h"
#include "net/module1.h"
#include "tray/tray_icon_qt.h"
#include "ui/clipboard_qt.h"
#include "ui/popup_menu_qt.h"

namespace pellux {

// The poll timer as a QTimer; its ticks go to the main form.
class QtPollTimer final : public PollTimer {
 public:
  QtPollTimer();
  void Connect(MainFormEvents& form);
  void Arm(uint32_t interval_ms) override;
  void Stop() { timer_.stop(); }

  QTimer& timer() { return timer_; }

 private:
  QTimer timer_;
};

class App final : private Process, private FormHost {
 public:
  explicit App(const PlatformSeams& seams);
  App(const App&) = delete;
  App& operator=(const App&) = delete;
  ~App() override;

  // Puts the icon into the tray and loads the main form.
  void Start();

  frmMain& main_form() { return main_; }
  QtTrayIcon& tray() { return tray_; }
  QtPollTimer& timer() { return timer_; }
  ConfigWindowHost& config_window() { return config_; }
  InfoWindowHost& info_window() { return info_; }

 private:
  // The icon leaves the tray before the process ends.
  void EndProgram(int exit_code) override;

  // The main form has no window of its own: it is loaded while its icon and
  // timer are.
  bool loaded() const override { return main_loaded_; }
  void Show() override {}
  void Unload() override;

  PlatformSeams seams_;
  QtTrayIcon tray_;
  QtPollTimer timer_;
  QtPopupMenus menus_;
  FormSet forms_;
  Module1 module1_;
  frmMain main_;
  ScreenAppBar app_bar_;
  ProjectVersion version_;
  ConfigWindowHost config_;
  QtClipboard clipboard_;
  InfoWindowHost info_;
  bool main_loaded_ = false;
};

}  // namespace pellux
