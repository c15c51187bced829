// The main form's window on Windows: never shown, no taskbar button. It
// owns the tray icon and the poll timer, and delivers the timer's ticks and
// requests from outside to frmMain; the icon delivers its own events.
#pragma once

#include "monitor/frm_main.h"
#include "tray/tray_icon_win.h"
#include "ui/message_box.h"

namespace pellux {

class MainWindow final : public Window, public PollTimer, public Process {
 public:
  // Other programs find the running Pellux by its main window's class: a
  // second start of it, and its installer and uninstaller.
  static constexpr wchar_t kClassName[] = L"PelluxMain";
  static constexpr UINT_PTR kTimerId = 1;

  // `messages` tell of a failure the program cannot go on after; `notify`
  // is the shell's entry point and `to_logical` the conversion of its
  // points, which tests replace with a model of them.
  MainWindow(MainFormEvents& form, Process& process, MessageBoxes& messages,
             WinTrayIcon::NotifyFunction notify = Shell_NotifyIconW,
             WinTrayIcon::ToLogicalFunction to_logical = WinTrayIcon::PhysicalToLogical)
      : form_(form),
        process_(process),
        messages_(messages),
        tray_(
            *this, form, [this] { Fail(kIconTimerFailed); }, notify, to_logical) {
    // Until the first address is known, the tip is that of no address.
    tray_.SetTip(std::string(kTrayTipPrefix));
  }
  ~MainWindow() override;

  // The message a second start posts to the running program's main window
  // to have it show its information window. WM_CLOSE, posted by the
  // installer and the uninstaller, ends the program as its Exit command does.
  static UINT ShowInformationMessage();

  // Creates the hidden window with the program icon; the tray icon is added
  // as it is created.
  bool Create();

  TrayIcon& tray() { return tray_; }
  void StartTimer(uint32_t interval_ms) override;

  // The icon leaves the tray first, so that no dead icon is left behind.
  void EndProgram(int exit_code) override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  // Shows what failed and ends the program.
  void Fail(const char* text);

  static constexpr char kIconTimerFailed[] =
      "Pellux could not set the timer that puts its icon into the notification area.";

  MainFormEvents& form_;
  Process& process_;
  MessageBoxes& messages_;
  WinTrayIcon tray_;
};

}  // namespace pellux
