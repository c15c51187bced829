#include "tray/dbus_menu.h"

#include <algorithm>

namespace pellux {
namespace {

std::vector<DbusMenuProperty> AllProperties(std::span<const MenuItemDesign> items, int32_t id) {
  if (id == DbusMenu::kRootId) return {{"children-display", std::string("submenu")}};
  const MenuItemDesign& item = items[static_cast<std::size_t>(id - 1)];
  if (item.separator()) return {{"type", std::string("separator")}};
  // Only what differs from the protocol's defaults: an item is a plain,
  // enabled, visible entry unless it says otherwise.
  return {{"label", DbusMenuLabel(item.caption)}};
}

std::vector<DbusMenuProperty> Filtered(std::vector<DbusMenuProperty> properties,
                                       std::span<const std::string> names) {
  if (names.empty()) return properties;
  std::erase_if(properties, [names](const DbusMenuProperty& property) {
    return std::find(names.begin(), names.end(), property.name) == names.end();
  });
  return properties;
}

}  // namespace

std::string DbusMenuLabel(std::string_view caption) {
  std::string label;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const char c = caption[i];
    if (c == '_') {
      label += "__";
    } else if (c != '&') {
      label += c;
    } else if (caption.substr(i + 1, 1) == "&") {
      label += '&';
      ++i;
    } else if (i + 1 < caption.size()) {
      label += '_';
    }
  }
  return label;
}

bool DbusMenu::Exists(int32_t id) const {
  return id >= kRootId && static_cast<std::size_t>(id) <= items_.size();
}

std::optional<DbusMenuNode> DbusMenu::Layout(int32_t parent, int32_t depth,
                                             std::span<const std::string> names) const {
  if (!Exists(parent)) return std::nullopt;
  DbusMenuNode node{parent, Filtered(AllProperties(items_, parent), names), {}};
  // The entries hang directly under the menu and have no children.
  if (parent == kRootId && depth != 0) {
    for (int32_t id = 1; static_cast<std::size_t>(id) <= items_.size(); ++id) {
      node.children.push_back({id, Filtered(AllProperties(items_, id), names), {}});
    }
  }
  return node;
}

std::optional<std::vector<DbusMenuProperty>> DbusMenu::Properties(
    int32_t id, std::span<const std::string> names) const {
  if (!Exists(id)) return std::nullopt;
  return Filtered(AllProperties(items_, id), names);
}

std::optional<ControlId> DbusMenu::Entry(int32_t id) const {
  if (!Exists(id) || id == kRootId) return std::nullopt;
  const auto index = static_cast<std::size_t>(id - 1);
  if (items_[index].separator()) return std::nullopt;
  return ControlId::At(index);
}

}  // namespace pellux
