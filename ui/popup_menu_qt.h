// Popup menus on Qt.
#pragma once

#include "ui/popup_menu.h"

namespace pellux {

class QtPopupMenus final : public PopupMenus {
 public:
  // Each entry's action carries the entry's name as its object name.
  std::optional<std::string_view> Popup(std::span<const MenuItemDesign> items) override;
};

}  // namespace pellux
