// The notification-area icon on Shell_NotifyIcon. The owner window adds it
// when it is created, removes it when it is destroyed, and passes on the
// icon's callback messages and Explorer's "TaskbarCreated" broadcast.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace pellux {

// The message the icon sends to its owner window.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

class WinTrayIcon {
 public:
  // The shell's entry point; tests pass a stand-in that models the shell.
  using NotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

  explicit WinTrayIcon(HICON icon, NotifyFunction notify = Shell_NotifyIconW)
      : icon_(icon), notify_(notify) {}
  WinTrayIcon(const WinTrayIcon&) = delete;
  WinTrayIcon& operator=(const WinTrayIcon&) = delete;
  ~WinTrayIcon() { Remove(); }

  // Puts the icon into the notification area for `owner`, with the tip set
  // so far. Also called again when Explorer has restarted.
  bool Add(HWND owner);
  void Remove();
  void SetTip(const std::string& tip);

  // The broadcast Explorer sends when the taskbar has been (re)created.
  static UINT TaskbarCreatedMessage();

 private:
  NOTIFYICONDATAW Data(UINT flags) const;

  HICON icon_;
  NotifyFunction notify_;
  HWND owner_ = nullptr;
  bool added_ = false;
  std::wstring tip_;
};

}  // namespace pellux
