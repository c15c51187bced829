// The notification-area icon on Shell_NotifyIcon. The owner window adds it
// when it is created, removes it when it is destroyed, and passes on the
// icon's callback messages, Explorer's "TaskbarCreated" broadcast, the
// retry timer's ticks and changes of its DPI. The icon decodes its callback
// messages itself and delivers them as tray events.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <span>
#include <string>

#include "tray/tray_icon.h"
#include "ui/design.h"

namespace pellux {

// The message the icon sends to its owner window.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

class WinTrayIcon {
 public:
  // The shell's entry point; tests pass a stand-in that models the shell.
  using NotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

  // The owner window's timer that brings a refused icon back.
  static constexpr UINT_PTR kRetryTimerId = 2;
  // The icon's id among its owner's icons; version 4 callbacks carry it in
  // the high word of their lParam.
  static constexpr UINT kIconId = 1;

  // The icon's actions go to `events`.
  explicit WinTrayIcon(TrayEvents& events, NotifyFunction notify = Shell_NotifyIconW)
      : events_(events), notify_(notify) {}
  WinTrayIcon(const WinTrayIcon&) = delete;
  WinTrayIcon& operator=(const WinTrayIcon&) = delete;
  ~WinTrayIcon();

  // Puts the icon into the notification area for `owner`, with the tip set
  // so far and the image at the size the shell shows at `dpi`. Also called
  // when Explorer has restarted. A shell that refuses the icon (one still
  // starting at sign-in takes none, and sends no "TaskbarCreated" when it
  // is ready) is asked again on the owner's retry timer, at growing gaps,
  // until it takes it. Each of these calls is false only when the icon can
  // never come: the timer could not be set.
  bool Add(HWND owner, int dpi);
  // The retry timer's tick.
  bool Retry();
  // Sets the tip; a shell that has lost the icon gets it added again.
  bool SetTip(const std::string& tip);
  // The owner moved to a screen of another DPI: the image follows.
  bool SetDpi(int dpi);
  void Remove();

  // The icon's callback message (kTrayCallbackMessage), delivered to the
  // events as the action it stands for.
  void OnCallback(WPARAM wparam, LPARAM lparam);
  // Shows the command menu for the owner window and waits until it closes:
  // at the icon's anchor when the menu was asked for from the keyboard,
  // otherwise at the pointer. The chosen entry, or nothing when the user
  // chose none.
  std::optional<ControlId> PopupMenu(std::span<const MenuItemDesign> items);

  // Whether the shell shows the icon now.
  bool shown() const { return shown_; }

  // The broadcast Explorer sends when the taskbar has been (re)created.
  static UINT TaskbarCreatedMessage();

 private:
  NOTIFYICONDATAW Data(UINT flags) const;
  // One attempt at putting the icon into the tray and showing it.
  bool TryAdd();
  // Arms the retry timer for the next, longer gap.
  bool ScheduleRetry();
  void LoadImageAt(int dpi);
  // After a menu opened from the keyboard was cancelled, the keyboard focus
  // goes back to the icon.
  void ReturnFocus();

  TrayEvents& events_;
  NotifyFunction notify_;
  HWND owner_ = nullptr;
  HICON icon_ = nullptr;
  int icon_size_ = 0;
  bool shown_ = false;
  UINT retry_gap_ms_ = 0;
  std::wstring tip_;
  // Where a menu asked for from the keyboard opens, while the right button
  // it stands for is being delivered: the icon's anchor. Nothing for a
  // mouse click, whose menu opens at the pointer.
  std::optional<POINT> menu_anchor_;
  // Set by a right button's release; the context-menu event that follows
  // it comes from the mouse.
  bool right_button_released_ = false;
};

}  // namespace pellux
