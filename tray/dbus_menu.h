// The command menu as a tray that draws menus itself reads it, over the
// com.canonical.dbusmenu protocol: numbered items, each with named
// properties, item 0 standing for the menu itself and the entries numbered
// from 1 in their order.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/design.h"

namespace pellux {

struct DbusMenuProperty {
  std::string_view name;
  std::string value;

  friend bool operator==(const DbusMenuProperty&, const DbusMenuProperty&) = default;
};

struct DbusMenuNode {
  int32_t id = 0;
  std::vector<DbusMenuProperty> properties;
  std::vector<DbusMenuNode> children;

  friend bool operator==(const DbusMenuNode&, const DbusMenuNode&) = default;
};

// A caption with the program's mnemonic mark ("E&xit") as the protocol
// writes it ("E_xit"): '&' marks the key, "&&" is a plain '&', and a plain
// '_' is doubled.
std::string DbusMenuLabel(std::string_view caption);

class DbusMenu {
 public:
  static constexpr int32_t kRootId = 0;

  explicit DbusMenu(std::span<const MenuItemDesign> items) : items_(items) {}

  // The item `parent` with its children `depth` levels down (-1: all of
  // them, 0: none), each with the properties named in `names` (all when none
  // is named). Nothing when there is no such item.
  std::optional<DbusMenuNode> Layout(int32_t parent, int32_t depth,
                                     std::span<const std::string> names) const;

  // One item's properties, filtered as above; nothing for an unknown item.
  std::optional<std::vector<DbusMenuProperty>> Properties(int32_t id,
                                                          std::span<const std::string> names) const;

  // The entry that item `id` stands for, when choosing it runs a command:
  // not for the menu itself, a separator or an unknown item.
  std::optional<ControlId> Entry(int32_t id) const;

 private:
  bool Exists(int32_t id) const;

  std::span<const MenuItemDesign> items_;
};

}  // namespace pellux
