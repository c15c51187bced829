// The main form's window: never shown, no taskbar button. It owns nothing
// the user sees except the tray icon, and it delivers the poll timer's ticks
// and the icon's events to frmMain.
#pragma once

#include <windows.h>

#include "monitor/forms.h"
#include "monitor/frm_main.h"
#include "tray/tray_icon_win.h"
#include "ui/window_win.h"

namespace pellux {

// The poll timer as a window timer of the main window.
class WindowTimer final : public PollTimer {
 public:
  static constexpr UINT_PTR kTimerId = 1;

  void Attach(HWND window) { window_ = window; }
  void Arm(uint32_t interval_ms) override;
  void Stop();

  uint32_t interval_ms() const { return interval_ms_; }

 private:
  HWND window_ = nullptr;
  uint32_t interval_ms_ = 0;
};

class MainWindow final : public Window, public FormHost {
 public:
  // Other programs find the running Pellux by its main window's class: a
  // second start of it, and its installer and uninstaller.
  static constexpr wchar_t kClassName[] = L"PelluxMain";

  MainWindow(MainFormEvents& form, Win32TrayIcon& tray, WindowTimer& timer)
      : form_(form), tray_(tray), timer_(timer) {}

  // The message a second start posts to the running program's main window
  // to have it show its information window. WM_CLOSE, posted by the
  // installer and the uninstaller, ends the program as its Exit command does.
  static UINT ShowInformationMessage();

  // Creates the hidden window; the tray icon is added as it is created.
  bool Create(HICON icon);

  // The main form is loaded while its window exists. It is never shown;
  // unloading it destroys the window, which takes the icon out of the tray.
  bool loaded() const override { return hwnd() != nullptr; }
  void Show() override {}
  void Unload() override { Destroy(); }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnTrayCallback(LPARAM lparam);

  MainFormEvents& form_;
  Win32TrayIcon& tray_;
  WindowTimer& timer_;
};

}  // namespace pellux
