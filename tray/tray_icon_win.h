// The notification-area icon on Shell_NotifyIcon. The owner window adds it
// when it is created, removes it when it is destroyed, and passes on the
// icon's callback messages and Explorer's "TaskbarCreated" broadcast.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "tray/tray_icon.h"

namespace pellux {

// The message the icon sends to its owner window.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

// What a callback message of the icon (NOTIFYICON_VERSION_4: the event in the
// low word of lParam) means to the program, if anything. A single click, a
// double click and Enter or Space on the focused icon activate it; the
// context-menu gesture (right click, the menu key, Shift+F10) is the right
// button; a left or middle click also reports its button.
std::optional<TrayEvent> TranslateTrayCallback(LPARAM lparam);

class Win32TrayIcon final : public TrayIcon {
 public:
  // The shell's entry point; tests pass a stand-in that models the shell.
  using NotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

  explicit Win32TrayIcon(HICON icon, NotifyFunction notify = Shell_NotifyIconW)
      : icon_(icon), notify_(notify) {}
  Win32TrayIcon(const Win32TrayIcon&) = delete;
  Win32TrayIcon& operator=(const Win32TrayIcon&) = delete;
  ~Win32TrayIcon() override { Remove(); }

  // Puts the icon into the notification area for `owner`, with the tip set
  // so far. Also called again when Explorer has restarted.
  bool Add(HWND owner);
  void Remove();
  void SetTip(const std::string& tip) override;

  // The broadcast Explorer sends when the taskbar has been (re)created.
  static UINT TaskbarCreatedMessage();

  bool added() const { return added_; }
  const std::wstring& tip() const { return tip_; }

 private:
  NOTIFYICONDATAW Data(UINT flags) const;

  HICON icon_;
  NotifyFunction notify_;
  HWND owner_ = nullptr;
  bool added_ = false;
  std::wstring tip_;
};

}  // namespace pellux
