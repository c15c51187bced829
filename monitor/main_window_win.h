// The main form's window on Windows: never shown, no taskbar button. It
// carries the tray icon's messages and delivers the poll timer's ticks and
// the requests of other programs to frmMain; the icon delivers its own events.
#pragma once

#include "monitor/frm_main.h"
#include "tray/tray_icon_win.h"

namespace pellux {

class MainWindow final : public Window {
 public:
  // Other programs find the running Pellux by its main window's class: a
  // second start of it, and its installer and uninstaller.
  static constexpr wchar_t kClassName[] = L"PelluxMain";
  // The poll timer's id on this window.
  static constexpr UINT_PTR kTimerId = 1;

  // `icon_lost` runs when the icon can never come into the tray; `notify`
  // is the shell's entry point and `to_logical` the conversion of its
  // points, which tests replace with a model of them.
  MainWindow(MainFormEvents& form, std::function<void()> icon_lost,
             WinTrayIcon::NotifyFunction notify = Shell_NotifyIconW,
             WinTrayIcon::ToLogicalFunction to_logical = WinTrayIcon::PhysicalToLogical)
      : form_(form), tray_(*this, form, std::move(icon_lost), notify, to_logical) {
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

  WinTrayIcon& tray() { return tray_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  MainFormEvents& form_;
  WinTrayIcon tray_;
};

}  // namespace pellux
