#include "tray/dbus_menu.h"

#include <gtest/gtest.h>

#include "monitor/frm_main.h"

namespace pellux {
namespace {

using Names = std::vector<std::string>;

TEST(DbusMenuLabelTest, TheMnemonicMarkBecomesAnUnderscore) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"&Get IP", "_Get IP"},
      {"E&xit", "E_xit"},
      {"Save && quit", "Save & quit"},
      {"snake_case", "snake__case"},
      {"a&&&b", "a&_b"},
      {"Trailing &", "Trailing "},
      {"", ""},
      {"No mark", "No mark"},
  };
  for (const auto& [caption, label] : cases) EXPECT_EQ(DbusMenuLabel(caption), label) << caption;
}

DbusMenuNode Entry(int32_t id, std::string_view label) {
  return {id, {{"label", std::string(label)}}, {}};
}
DbusMenuNode Separator(int32_t id) { return {id, {{"type", "separator"}}, {}}; }

TEST(DbusMenuTest, TheWholeLayoutIsTheMenuWithItsSixEntries) {
  const DbusMenu menu(kMainMenu);
  const DbusMenuNode expected{0,
                              {{"children-display", "submenu"}},
                              {Entry(1, "_Get IP"), Separator(2), Entry(3, "_Recent IPs"),
                               Entry(4, "_Configure"), Separator(5), Entry(6, "E_xit")}};
  EXPECT_EQ(menu.Layout(0, -1, {}), expected);
  EXPECT_EQ(menu.Layout(0, 1, {}), expected);
  EXPECT_EQ(menu.Layout(0, 5, {}), expected);
}

TEST(DbusMenuTest, DepthAndPropertyNamesLimitTheLayout) {
  const DbusMenu menu(kMainMenu);
  EXPECT_EQ(menu.Layout(0, 0, {}), (DbusMenuNode{0, {{"children-display", "submenu"}}, {}}));
  // An entry has no children whatever the depth.
  EXPECT_EQ(menu.Layout(6, -1, {}), Entry(6, "E_xit"));
  const Names labels{"label"};
  const auto only_labels = menu.Layout(0, -1, labels);
  ASSERT_TRUE(only_labels);
  EXPECT_TRUE(only_labels->properties.empty());
  ASSERT_EQ(only_labels->children.size(), 6u);
  EXPECT_EQ(only_labels->children[0], Entry(1, "_Get IP"));
  EXPECT_EQ(only_labels->children[1], (DbusMenuNode{2, {}, {}}));
  const Names unknown{"icon-name"};
  EXPECT_TRUE(menu.Properties(1, unknown)->empty());
}

TEST(DbusMenuTest, UnknownItemsHaveNothing) {
  const DbusMenu menu(kMainMenu);
  for (const int32_t id : {-1, 7, 100, INT32_MIN, INT32_MAX}) {
    EXPECT_FALSE(menu.Layout(id, -1, {})) << id;
    EXPECT_FALSE(menu.Properties(id, {})) << id;
    EXPECT_FALSE(menu.Entry(id)) << id;
  }
}

TEST(DbusMenuTest, OnlyTheEntriesRunACommand) {
  const DbusMenu menu(kMainMenu);
  const std::pair<int32_t, std::optional<ControlId>> cases[] = {
      {0, std::nullopt},        {1, MainMenu::mnuGetIP},     {2, std::nullopt},
      {3, MainMenu::mnuRecent}, {4, MainMenu::mnuConfigure}, {5, std::nullopt},
      {6, MainMenu::mnuExit},
  };
  for (const auto& [id, entry] : cases) EXPECT_EQ(menu.Entry(id), entry) << id;
}

}  // namespace
}  // namespace pellux
