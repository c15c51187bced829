#include "tray/tray_icon_win.h"

#include <algorithm>

#include "ui/text_win.h"

namespace pellux {
namespace {

constexpr UINT kIconId = 1;

}  // namespace

NOTIFYICONDATAW WinTrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = icon_;
  // Version 4 shows the tip only when asked to.
  if (flags & NIF_TIP) {
    data.uFlags |= NIF_SHOWTIP;
    const std::size_t length = std::min(tip_.size(), std::size(data.szTip) - 1);
    tip_.copy(data.szTip, length);
    data.szTip[length] = L'\0';
  }
  return data;
}

bool WinTrayIcon::Add(HWND owner) {
  owner_ = owner;
  // The icon is added hidden and shown only once it speaks version 4: a
  // click on an icon that is already shown but still on version 0 reaches
  // the window as bare button messages, without WM_CONTEXTMENU, and the menu
  // would not open.
  NOTIFYICONDATAW data = Data(NIF_ICON | NIF_MESSAGE | NIF_TIP | NIF_STATE);
  data.dwState = NIS_HIDDEN;
  data.dwStateMask = NIS_HIDDEN;
  // A shell that still holds the icon refuses to add it again (a
  // "TaskbarCreated" broadcast that did not drop the icons, or a shell that
  // timed out at log-on but added it all the same): the icon is then taken
  // over as it stands.
  added_ = notify_(NIM_ADD, &data) != FALSE || notify_(NIM_MODIFY, &data) != FALSE;
  if (added_) {
    data.uVersion = NOTIFYICON_VERSION_4;
    notify_(NIM_SETVERSION, &data);
    NOTIFYICONDATAW show = Data(NIF_STATE);
    show.dwState = 0;
    show.dwStateMask = NIS_HIDDEN;
    notify_(NIM_MODIFY, &show);
  }
  return added_;
}

void WinTrayIcon::Remove() {
  // Asked even when the add seemed to fail: the shell may hold the icon all
  // the same, and it would stay behind as a ghost.
  if (owner_ == nullptr) return;
  NOTIFYICONDATAW data = Data(0);
  notify_(NIM_DELETE, &data);
  added_ = false;
}

void WinTrayIcon::SetTip(const std::string& tip) {
  tip_ = Widen(tip);
  if (!added_) return;
  NOTIFYICONDATAW data = Data(NIF_TIP);
  notify_(NIM_MODIFY, &data);
}

UINT WinTrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace pellux
