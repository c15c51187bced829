// Popup menus built from a design table, and the seam that shows them.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace pellux {

struct MenuItemDesign {
  std::string_view name;     // the entry's name in the program, such as "mnuExit"
  std::string_view caption;  // "-" makes a separator line
  constexpr bool separator() const { return caption == "-"; }
};

class PopupMenus {
 public:
  virtual ~PopupMenus() = default;
  // Shows the menu at the mouse position and waits until it closes. Returns
  // the name of the chosen entry, or nothing when the user chose none.
  virtual std::optional<std::string_view> Popup(std::span<const MenuItemDesign> items) = 0;
};

}  // namespace pellux
