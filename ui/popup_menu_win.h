// Popup menus with TrackPopupMenuEx.
#pragma once

#include <windows.h>

#include "ui/popup_menu.h"

namespace pellux {

class WinPopupMenus final : public PopupMenus {
 public:
  // The window that owns the menus; it becomes the foreground window while
  // a menu is open, or the menu would not close when the user clicks away.
  void Attach(HWND owner) { owner_ = owner; }

  std::optional<std::string_view> Popup(std::span<const MenuItemDesign> items) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace pellux
