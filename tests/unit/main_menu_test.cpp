#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "monitor/frm_main.h"
#include "tests/unit/fakes.h"

namespace pellux {
namespace {

using Strings = std::vector<std::string>;

const std::string kHeading =
    "This is a list of all IPs used on this computer while Pellux was running:";

TEST(HistoryReportTest, HeadingEmptyLineThenEveryAddressOnItsOwnLine) {
  const std::pair<Strings, std::string> cases[] = {
      {{}, kHeading + "\r\n\r\n"},
      {{"10.0.0.1"}, kHeading + "\r\n\r\n10.0.0.1\r\n"},
      {{"10.0.0.1", "192.168.0.5"}, kHeading + "\r\n\r\n10.0.0.1\r\n192.168.0.5\r\n"},
      {{"10.0.0.1", "", "10.0.0.1"}, kHeading + "\r\n\r\n10.0.0.1\r\n\r\n10.0.0.1\r\n"},
  };
  for (const auto& [history, report] : cases) {
    EXPECT_EQ(HistoryReport(history), report);
  }
}

TEST(HistoryReportTest, FullHistoryListsEveryItem) {
  const Strings history(AddressHistory::kMaxItems, "255.255.255.255");
  const std::string report = HistoryReport(history);
  EXPECT_EQ(report.size(), kHeading.size() + 4 + 32767 * 17);
  EXPECT_TRUE(report.ends_with("255.255.255.255\r\n"));
}

TEST(MainMenuTest, EntriesInOrder) {
  Strings captions;
  for (const auto& item : kMainMenu) captions.emplace_back(item.caption);
  EXPECT_EQ(captions, (Strings{"&Get IP", "-", "&Recent IPs", "&Configure", "-", "E&xit"}));
  EXPECT_TRUE(kMainMenu[1].separator());
  EXPECT_FALSE(kMainMenu[0].separator());
}

class TrayHandlersTest : public ::testing::Test, protected testing::MainFormFakes {
 protected:
  frmMain& form = main;
};

TEST_F(TrayHandlersTest, OnlyTheRightButtonPopsUpTheMenu) {
  for (const int button : {int{kLeftButton}, int{kMiddleButton}, 0, 3})
    form.Trayicon1_MouseButton(button, std::nullopt);
  EXPECT_TRUE(tray.menus.empty());
  form.Trayicon1_MouseButton(kRightButton, std::nullopt);
  ASSERT_EQ(tray.menus.size(), 1u);
  EXPECT_EQ(tray.menus[0].size(), std::size(kMainMenu));
  EXPECT_TRUE(forms.empty());  // nothing chosen, nothing done
}

TEST_F(TrayHandlersTest, TheMenuOpensWhereTheTraySaysItWasAskedFor) {
  form.Trayicon1_MouseButton(kRightButton, ScreenPoint{200, 150});
  form.Trayicon1_MouseButton(kRightButton, std::nullopt);
  ASSERT_EQ(tray.places.size(), 2u);
  ASSERT_TRUE(tray.places[0]);
  EXPECT_EQ(tray.places[0]->x, 200);
  EXPECT_EQ(tray.places[0]->y, 150);
  EXPECT_FALSE(tray.places[1]);  // at the pointer
}

TEST_F(TrayHandlersTest, ActivationAndGetIpShowTheInformationWindowOnce) {
  form.Trayicon1_Activate();
  tray.choice = MainMenu::mnuGetIP;
  form.Trayicon1_MouseButton(kRightButton, std::nullopt);
  EXPECT_EQ(forms, (Strings{"load frmInfo", "front frmInfo"}));
}

TEST_F(TrayHandlersTest, ConfigureShowsTheConfigurationWindowOnce) {
  tray.choice = MainMenu::mnuConfigure;
  form.Trayicon1_MouseButton(kRightButton, std::nullopt);
  form.Trayicon1_MouseButton(kRightButton, std::nullopt);
  EXPECT_EQ(forms, (Strings{"load frmConfig", "front frmConfig"}));
}

TEST_F(TrayHandlersTest, RecentIpsShowsTheReportInAnInformationBox) {
  sockets.SetAddresses({"10.0.0.1"});
  form.Form_Load();
  form.Timer1_Timer();
  tray.choice = MainMenu::mnuRecent;
  form.Trayicon1_MouseButton(kRightButton, std::nullopt);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0],
            (testing::FakeMessages::Box{kHeading + "\r\n\r\n10.0.0.1\r\n", "Recent IP addresses",
                                        MessageIcon::kInformation}));
}

TEST_F(TrayHandlersTest, ExitUnloadsTheOtherFormsThenEnds) {
  form.mnuGetIP_Click();
  form.mnuConfigure_Click();
  forms.clear();
  tray.choice = MainMenu::mnuExit;
  form.Trayicon1_MouseButton(kRightButton, std::nullopt);
  EXPECT_EQ(forms, (Strings{"unload frmInfo", "unload frmConfig"}));
  EXPECT_EQ(process.exit_code, 0);
}

// A tray that draws the menu itself reports the chosen entry; it runs the
// same handler as the popup menu.
TEST_F(TrayHandlersTest, AnEntryChosenInTheTrayRunsItsHandler) {
  const std::pair<ControlId, Strings> cases[] = {
      {MainMenu::mnuGetIP, {"load frmInfo"}},
      {MainMenu::mnuConfigure, {"load frmConfig"}},
      {MainMenu::sep1, {}},
      {ControlId::At(std::size(kMainMenu)), {}},
  };
  for (const auto& [entry, log] : cases) {
    testing::MainFormFakes fakes;
    fakes.main.mnuMain_Click(entry);
    EXPECT_EQ(fakes.forms, log) << entry.index();
    EXPECT_TRUE(fakes.tray.menus.empty()) << entry.index();
  }
  form.mnuMain_Click(MainMenu::mnuRecent);
  EXPECT_EQ(messages.shown.size(), 1u);
  form.mnuMain_Click(MainMenu::mnuExit);
  EXPECT_EQ(process.exit_code, 0);
}

// Requests that arrive while a menu or box of the program is open, as a
// panel or the shell delivers them from inside that loop: never two loops of
// one kind, while a loop of the other kind may open over it.
TEST(ModalLoopTest, ARequestForAnOpenLoopOpensNoSecond) {
  enum class Open { kMenu, kReport };
  struct Case {
    const char* name;
    Open open;
    std::function<void(frmMain&)> request;
    std::optional<ControlId> choice;  // chosen from a menu opened inside
    std::size_t menus;                // opened in all
    int most_menus;                   // open at once
    std::size_t boxes;
    int brought_forward;
    Strings forms;
  };
  const auto right = [](frmMain& form) { form.Trayicon1_MouseButton(kRightButton, std::nullopt); };
  const auto recent = [](frmMain& form) { form.mnuMain_Click(MainMenu::mnuRecent); };
  const Case cases[] = {
      {"menu, right button", Open::kMenu, right, {}, 1, 1, 0, 0, {}},
      {"menu, 300 right buttons",
       Open::kMenu,
       [&](frmMain& form) {
         for (int i = 0; i < 300; ++i) right(form);
       },
       {},
       1,
       1,
       0,
       0,
       {}},
      {"menu, activation",
       Open::kMenu,
       [](frmMain& form) { form.Trayicon1_Activate(); },
       {},
       1,
       1,
       0,
       0,
       {"load frmInfo"}},
      {"menu, the panel's Recent IPs", Open::kMenu, recent, {}, 1, 1, 1, 0, {}},
      {"report, Recent IPs", Open::kReport, recent, {}, 0, 0, 1, 1, {}},
      {"report, 300 Recent IPs",
       Open::kReport,
       [&](frmMain& form) {
         for (int i = 0; i < 300; ++i) recent(form);
       },
       {},
       0,
       0,
       1,
       300,
       {}},
      {"report, menu", Open::kReport, right, {}, 1, 1, 1, 0, {}},
      {"report, Recent IPs from the menu",
       Open::kReport,
       right,
       MainMenu::mnuRecent,
       1,
       1,
       1,
       1,
       {}},
      {"report, Get IP from the menu",
       Open::kReport,
       right,
       MainMenu::mnuGetIP,
       1,
       1,
       1,
       0,
       {"load frmInfo"}},
  };
  for (const Case& c : cases) {
    testing::MainFormFakes fakes;
    frmMain& form = fakes.main;
    bool asked = false;
    const auto ask = [&] {
      if (asked) return;
      asked = true;
      fakes.tray.choice = c.choice;
      c.request(form);
    };
    if (c.open == Open::kMenu) {
      fakes.tray.while_open = ask;
      right(form);
    } else {
      fakes.messages.while_open = ask;
      recent(form);
    }
    EXPECT_EQ(fakes.tray.menus.size(), c.menus) << c.name;
    EXPECT_EQ(fakes.tray.most_open, c.most_menus) << c.name;
    EXPECT_EQ(fakes.messages.shown.size(), c.boxes) << c.name;
    EXPECT_EQ(fakes.messages.most_open, c.boxes > 0 ? 1 : 0) << c.name;
    EXPECT_EQ(fakes.messages.brought_forward, c.brought_forward) << c.name;
    EXPECT_EQ(fakes.forms, c.forms) << c.name;

    // Once closed, each opens again.
    fakes.tray.while_open = nullptr;
    fakes.messages.while_open = nullptr;
    fakes.tray.choice = MainMenu::mnuRecent;
    right(form);
    EXPECT_EQ(fakes.tray.menus.size(), c.menus + 1) << c.name;
    EXPECT_EQ(fakes.messages.shown.size(), c.boxes + 1) << c.name;
  }
}

}  // namespace
}  // namespace pellux
