// The running program on Windows: the seams, the forms and the main window,
// wired together and driven by the message loop.
#pragma once

#include <windows.h>

#include "config/config_window_win.h"
#include "config/program_version_win.h"
#include "config/taskbar_win.h"
#include "info/info_window_win.h"
#include "monitor/frm_main.h"
#include "monitor/main_window_win.h"
#include "app/platform_seams.h"
#include "net/module1.h"
#include "tray/tray_icon_win.h"
#include "ui/clipboard_win.h"
#include "ui/popup_menu_win.h"

namespace pellux {

class App final : private Process {
 public:
  explicit App(const PlatformSeams& seams);
  App(const App&) = delete;
  App& operator=(const App&) = delete;
  ~App() override;

  // Creates the main window, which puts the icon into the tray, and loads the
  // main form. False when the window could not be created.
  bool Start();

  // The message loop; returns the exit code.
  static int Run();

  frmMain& main_form() { return main_; }
  MainWindow& main_window() { return window_; }
  Win32TrayIcon& tray() { return tray_; }
  WindowTimer& timer() { return timer_; }
  ConfigWindowHost& config_window() { return config_; }
  InfoWindowHost& info_window() { return info_; }

 private:
  // A fatal failure takes the icon out of the tray before the process ends,
  // so no dead icon is left behind.
  void EndProgram(int exit_code) override;

  PlatformSeams seams_;
  HICON icon_;
  Win32TrayIcon tray_;
  WindowTimer timer_;
  WinPopupMenus menus_;
  FormSet forms_;
  Module1 module1_;
  frmMain main_;
  MainWindow window_;
  ShellAppBar app_bar_;
  ModuleVersion version_;
  ConfigWindowHost config_;
  WindowsClipboard clipboard_;
  InfoWindowHost info_;
};

}  // namespace pellux
