#include "tray/tray_icon_win.h"

#include <strsafe.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/text_win.h"
#include "resource.h"

namespace pellux {
namespace {

// The first retry comes soon; each later one waits twice as long, up to a
// minute, so that a shell that takes long to start is not asked too often.
constexpr UINT kFirstRetryGapMs = 250;
constexpr UINT kLongestRetryGapMs = 60000;

// Any process can send the owner a DPI: it is held to what a screen can have,
// from 100 % (96 dpi) to 500 % (480 dpi), the largest scale Windows knows,
// so that no message can make the image of any size (65535 dpi would ask
// for one of 10,923 pixels a side, near half a gigabyte).
constexpr int kLowestDpi = 96;
constexpr int kHighestDpi = 480;

using Menu = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;

}  // namespace

NOTIFYICONDATAW WinTrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_.hwnd();
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = icon_.get();
  // Version 4 shows the standard tip only while the icon asks for it, and
  // each add and modify says anew whether it does.
  if (flags != 0) data.uFlags |= NIF_SHOWTIP;
  if (flags & NIF_TIP) StringCchCopyW(data.szTip, std::size(data.szTip), tip_.c_str());
  return data;
}

// The shell shows its icons at the small icon size of its DPI. The program
// is aware of the system DPI, where SM_CXSMICON is that size; a window told
// of another DPI scales it.
bool WinTrayIcon::LoadImageAt(int dpi) {
  const int size = MulDiv(GetSystemMetrics(SM_CXSMICON), dpi, ScreenDpi());
  if (icon_ != nullptr && size == icon_size_) return false;
  const auto image = static_cast<HICON>(LoadImageW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PELLUX), IMAGE_ICON, size, size, 0));
  // Without an image of the new size the old one serves.
  if (image == nullptr) return false;
  icon_.reset(image);
  icon_size_ = size;
  return true;
}

bool WinTrayIcon::TryAdd() {
  // The icon is added hidden and shown once its version is settled: a click
  // on an icon that is shown while it still speaks version 0 comes in the
  // old format.
  NOTIFYICONDATAW data = Data(NIF_ICON | NIF_MESSAGE | NIF_TIP | NIF_STATE);
  data.dwState = NIS_HIDDEN;
  data.dwStateMask = NIS_HIDDEN;
  // A shell that still holds the icon refuses to add it again (a
  // "TaskbarCreated" broadcast that did not drop the icons, or a shell that
  // timed out at sign-in but added it all the same): the icon is then taken
  // over as it stands.
  if (!notify_(NIM_ADD, &data) && !notify_(NIM_MODIFY, &data)) return false;
  // A shell that refuses version 4 sends clicks in the old format, which the
  // icon understands as well: it is shown all the same.
  data.uVersion = NOTIFYICON_VERSION_4;
  notify_(NIM_SETVERSION, &data);
  NOTIFYICONDATAW show = Data(NIF_STATE);
  show.dwStateMask = NIS_HIDDEN;
  shown_ = notify_(NIM_MODIFY, &show) != FALSE;
  return shown_;
}

void WinTrayIcon::Show() {
  LoadImageAt(ScreenDpi());
  // A new shell is asked at once, and then again from the shortest gap.
  StopRetrying();
  Retry();
}

void WinTrayIcon::StopRetrying() {
  if (std::exchange(retry_gap_ms_, 0u) != 0) KillTimer(owner_.hwnd(), kRetryTimerId);
}

void WinTrayIcon::Retry() {
  if (TryAdd()) {
    StopRetrying();
    return;
  }
  retry_gap_ms_ =
      retry_gap_ms_ == 0 ? kFirstRetryGapMs : std::min(retry_gap_ms_ * 2, kLongestRetryGapMs);
  if (SetTimer(owner_.hwnd(), kRetryTimerId, retry_gap_ms_, nullptr) == 0) lost_();
}

void WinTrayIcon::Modify(UINT flags) {
  NOTIFYICONDATAW data = Data(flags);
  if (notify_(NIM_MODIFY, &data)) return;
  // The shell has lost the icon without a word: it is added again, unless
  // a retry is already on its way.
  shown_ = false;
  if (retry_gap_ms_ == 0) Retry();
}

void WinTrayIcon::SetTip(const std::string& tip) {
  tip_ = Widen(tip);
  // An icon that is not there gets the tip when it is added.
  if (shown_) Modify(NIF_TIP);
}

std::optional<ControlId> WinTrayIcon::PopupMenu(std::span<const MenuItemDesign> items,
                                                std::optional<ScreenPoint> place) {
  const Menu menu(CreatePopupMenu(), DestroyMenu);
  // Command ids are the entries' positions plus one; 0 means nothing chosen.
  // A separator ignores its id and caption.
  UINT_PTR id = 0;
  for (const auto& item : items) {
    ++id;
    AppendMenuW(menu.get(), item.separator() ? MF_SEPARATOR : MF_STRING, id,
                Widen(item.caption).c_str());
  }
  POINT at{};
  GetCursorPos(&at);
  if (place) at = {place->x, place->y};
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  // The owner must be the foreground window while the menu is open, or the
  // menu would not close when the user clicks away.
  const HWND owner = owner_.hwnd();
  SetForegroundWindow(owner);
  const BOOL chosen = TrackPopupMenuEx(menu.get(), align | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                                       at.y, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  // Esc on a menu opened from the keyboard gives the focus back to the icon.
  if (chosen <= 0 && place && shown_) {
    NOTIFYICONDATAW data = Data(0);
    notify_(NIM_SETFOCUS, &data);
  }
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return std::nullopt;
  return ControlId::At(static_cast<std::size_t>(chosen) - 1);
}

void WinTrayIcon::Hide() {
  // Asked even when the add seemed to fail: the shell may hold the icon all
  // the same, and it would stay behind as a ghost. A refusal means there is
  // nothing left to take away.
  StopRetrying();
  NOTIFYICONDATAW data = Data(0);
  notify_(NIM_DELETE, &data);
  shown_ = false;
}

UINT WinTrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

bool WinTrayIcon::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kTrayCallbackMessage) {
    OnCallback(wparam, lparam);
  } else if (message == WM_TIMER && wparam == kRetryTimerId) {
    Retry();
  } else if (message == WM_DPICHANGED) {
    // The owner moved to a screen of another DPI: the image follows.
    if (LoadImageAt(std::clamp<int>(LOWORD(wparam), kLowestDpi, kHighestDpi)) && shown_) {
      Modify(NIF_ICON);
    }
  } else if (message == TaskbarCreatedMessage()) {
    // Explorer also sends it when the screen's scale changed: the image is
    // loaded again at the size it now shows.
    Show();
  } else {
    return false;
  }
  return true;
}

// An icon on version 4 puts the event in the low word of lParam, its id in
// the high word, and the icon's anchor or the pointer in wParam. There a
// single click, a double click and Enter or Space on the focused icon
// activate it; the context-menu gesture (right click, the menu key,
// Shift+F10) is the right button; a left or middle click also reports its
// button. A shell that refused version 4 sends the bare mouse message as
// lParam (its high word is then 0, never the icon's id): a left click
// activates the icon and a right one opens the menu, as on version 4.
void WinTrayIcon::OnCallback(WPARAM wparam, LPARAM lparam) {
  const bool version_4 = HIWORD(lparam) == kIconId;
  switch (version_4 ? LOWORD(lparam) : static_cast<UINT>(lparam)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
      right_button_released_ = false;
      events_.Trayicon1_Activate();
      break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
      right_button_released_ = false;
      break;
    case WM_LBUTTONDBLCLK:
      if (version_4) events_.Trayicon1_Activate();
      break;
    case WM_RBUTTONUP:
      right_button_released_ = version_4;
      if (!version_4) events_.Trayicon1_MouseButton(kRightButton, std::nullopt);
      break;
    case WM_CONTEXTMENU:
      // From the keyboard, no button went up before it: the menu belongs at
      // the icon.
      events_.Trayicon1_MouseButton(kRightButton, std::exchange(right_button_released_, false)
                                                      ? std::nullopt
                                                      : std::optional(Anchor(wparam)));
      break;
    case WM_LBUTTONUP:
      if (!version_4) events_.Trayicon1_Activate();
      events_.Trayicon1_MouseButton(kLeftButton, std::nullopt);
      break;
    case WM_MBUTTONUP:
      events_.Trayicon1_MouseButton(kMiddleButton, std::nullopt);
      break;
    default:
      break;
  }
}

ScreenPoint WinTrayIcon::Anchor(WPARAM wparam) const {
  POINT anchor{GET_X_LPARAM(wparam), GET_Y_LPARAM(wparam)};
  // Where it cannot be converted, the shell's point is the nearest there is.
  POINT converted = anchor;
  if (to_logical_(owner_.hwnd(), &converted)) anchor = converted;
  return {anchor.x, anchor.y};
}

BOOL WINAPI WinTrayIcon::PhysicalToLogical(HWND owner, LPPOINT point) {
  static const auto convert = LibraryFunction<std::remove_pointer_t<ToLogicalFunction>>(
      L"user32.dll", "PhysicalToLogicalPointForPerMonitorDPI");
  return convert == nullptr || convert(owner, point);
}

}  // namespace pellux
