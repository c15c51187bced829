// The notification-area icon on Shell_NotifyIcon, owned by a hidden window
// that shows it when it is created, hides it when it is destroyed, and
// passes on its messages. The icon decodes its callbacks itself and delivers
// them as tray events.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <type_traits>

#include "tray/tray_icon.h"
#include "ui/window_win.h"

namespace pellux {

// The message the icon sends to its owner window.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

class WinTrayIcon final : public TrayIcon {
 public:
  // The shell's entry point; tests pass a stand-in that models the shell.
  using NotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
  // Turns a point the shell gave in the screen's physical pixels into the
  // owner's; false when it cannot. Tests pass a screen of another scale.
  using ToLogicalFunction = BOOL(WINAPI*)(HWND owner, LPPOINT point);

  // The owner window's timer that brings a refused icon back.
  static constexpr UINT_PTR kRetryTimerId = 2;
  // The icon's id among its owner's icons; version 4 callbacks carry it in
  // the high word of their lParam.
  static constexpr UINT kIconId = 1;

  // The icon of `owner`, a hidden window that passes its messages to
  // OnMessage. Its actions go to `events`; `lost` runs when the icon can
  // never come, because its retry timer could not be set.
  WinTrayIcon(const Window& owner, TrayEvents& events, std::function<void()> lost,
              NotifyFunction notify, ToLogicalFunction to_logical)
      : owner_(owner),
        events_(events),
        lost_(std::move(lost)),
        notify_(notify),
        to_logical_(to_logical) {}

  // Puts the icon into the notification area with the image at the size the
  // shell shows. A shell that refuses it (one still starting at sign-in
  // takes none, and sends no "TaskbarCreated" when it is ready) is asked
  // again on the owner's retry timer, at growing gaps, until it takes it.
  void Show() override;
  void Hide() override;
  // A shell that has lost the icon gets it added again.
  void SetTip(const std::string& tip) override;
  // At the icon's anchor when the menu was asked for from the keyboard;
  // cancelled there, the keyboard focus goes back to the icon.
  std::optional<ControlId> PopupMenu(std::span<const MenuItemDesign> items,
                                     std::optional<ScreenPoint> place) override;

  // The owner's messages that concern the icon: its callbacks
  // (kTrayCallbackMessage), Explorer's "TaskbarCreated", the retry timer and
  // a change of the owner's DPI. False for any other message.
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // The broadcast Explorer sends when the taskbar has been (re)created.
  static UINT TaskbarCreatedMessage();

  // The system's conversion for a window of this program, which is aware of
  // the system DPI only: on a screen of another scale Windows stretches its
  // windows and shows it every point in pixels at the system DPI, but the
  // shell, aware of each screen's DPI, sends its own. Windows before 8.1
  // has one DPI for all screens, and the points need no conversion.
  static BOOL WINAPI PhysicalToLogical(HWND owner, LPPOINT point);

 private:
  NOTIFYICONDATAW Data(UINT flags) const;
  // One attempt at putting the icon into the tray and showing it.
  bool TryAdd();
  void Retry();
  void StopRetrying();
  // A change the shell refused: it has lost the icon, which is added again.
  void Modify(UINT flags);
  // True when it loaded an image of another size.
  bool LoadImageAt(int dpi);
  void OnCallback(WPARAM wparam, LPARAM lparam);
  // The icon's anchor that a version 4 callback carries, in the owner's pixels.
  ScreenPoint Anchor(WPARAM wparam) const;

  const Window& owner_;
  TrayEvents& events_;
  std::function<void()> lost_;
  NotifyFunction notify_;
  ToLogicalFunction to_logical_;
  std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)> icon_{nullptr, DestroyIcon};
  int icon_size_ = 0;
  bool shown_ = false;
  UINT retry_gap_ms_ = 0;
  std::wstring tip_;
  // Set by a right button's release and kept until the context-menu event
  // that follows it, which then comes from the mouse: mouse moves and the
  // shell's other notifications may come in between. A press or a selection
  // means the user went on to something else.
  bool right_button_released_ = false;
};

}  // namespace pellux
