#include "monitor/frm_main.h"

#include <gtest/gtest.h>

#include "tests/unit/fakes.h"

namespace pellux {
namespace {

using testing::FakeMessages;
using testing::FakeSettings;
using testing::FakeSockets;
using testing::FakeTray;

using Strings = std::vector<std::string>;

const FakeSettings::Key kIntervalSetting{"Pellux", "Options", "Interval"};

class FrmMainTest : public ::testing::Test, protected testing::MainFormFakes {
 protected:
  frmMain& form = main;

  MainFormServices Services(SettingsStore& s, FakeTray& t) {
    return {module1, s, messages, process, t, t, info, config};
  }
};

TEST(IntervalFromSettingTest, TakesWholeNumbersFromOneTo32767) {
  const std::pair<std::optional<std::string>, int16_t> cases[] = {
      {std::nullopt, 5000},
      {"0", 5000},
      {"30000", 30000},
      {"1000", 1000},
      {"  2000 ", 2000},
      {"1", 1},
      {"32767", 32767},
      {"005000", 5000},
      {"32768", 5000},
      {"99999999999999999999999", 5000},
      {"-1000", 5000},
      {"+1000", 5000},
      {"1.5", 5000},
      {"1000.0", 5000},
      {"3000abc", 5000},
      {"abc", 5000},
      {"garbage", 5000},
      {"", 5000},
      {"   ", 5000},
      {"10 00", 5000},
      {"0x10", 5000},
      {"\t1000", 5000},
      {std::string("1000\0", 5), 5000},
      {std::string(100 * 1024, '7'), 5000},
      {std::string(100 * 1024, '0') + "1000", 1000},
  };
  for (const auto& [stored, interval] : cases) {
    EXPECT_EQ(IntervalFromSetting(stored), interval) << (stored ? stored->substr(0, 40) : "<none>");
  }
}

TEST(StoredIntervalTest, WhatIsSavedIsReadBack) {
  const std::pair<int16_t, std::string> cases[] = {
      {1, "1"}, {1000, "1000"}, {5000, "5000"}, {30000, "30000"}, {32767, "32767"}};
  for (const auto& [interval, stored] : cases) {
    FakeSettings settings;
    ASSERT_TRUE(SaveInterval(settings, interval));
    EXPECT_EQ(settings.values[kIntervalSetting], stored);
    EXPECT_EQ(ReadInterval(settings), interval);
  }
}

TEST_F(FrmMainTest, LoadWithoutStoredIntervalPollsEveryFiveSecondsAndWritesNothing) {
  sockets.SetAddresses({"192.168.0.5"});
  form.Form_Load();
  EXPECT_EQ(form.TimerInterval, 5000);
  EXPECT_EQ(tray.interval_ms, 5000u);
  EXPECT_EQ(settings.writes, 0);
  EXPECT_TRUE(settings.values.empty());
}

TEST_F(FrmMainTest, LoadArmsTheTimerWithTheStoredInterval) {
  for (const auto& [stored, interval] : {std::pair<std::string, uint32_t>{"30000", 30000},
                                         {"1000", 1000},
                                         {"0", 5000},
                                         {"garbage", 5000}}) {
    FakeTray t;
    FakeSettings s;
    s.values[kIntervalSetting] = stored;
    frmMain f{Services(s, t)};
    f.Form_Load();
    EXPECT_EQ(t.interval_ms, interval) << stored;
    EXPECT_EQ(s.writes, 0);
  }
}

TEST_F(FrmMainTest, LoadShowsTheLastAddressInTheTip) {
  sockets.SetAddresses({"10.0.0.1", "192.168.0.5"});
  form.Form_Load();
  EXPECT_EQ(form.YourIP, "192.168.0.5");
  EXPECT_EQ(tray.tips, Strings{"Pellux: 192.168.0.5"});
  EXPECT_EQ(form.lstIPs.ListCount(), 0);
  EXPECT_EQ(sockets.startups, 1);
}

TEST_F(FrmMainTest, LoadWithFailedLookupShowsAnEmptyTip) {
  sockets.resolves = false;
  form.Form_Load();
  EXPECT_EQ(form.YourIP, "");
  EXPECT_EQ(tray.tips, Strings{"Pellux: "});
  EXPECT_EQ(messages.Texts(), Strings{"Winsock.dll error."});
  EXPECT_EQ(tray.interval_ms, 5000u);
}

TEST_F(FrmMainTest, SocketsFailureAtLoadEndsBeforeTheTip) {
  sockets.startup_result = 10091;
  form.Form_Load();
  EXPECT_EQ(process.exit_code, kSocketsFailureExitCode);
  EXPECT_TRUE(tray.tips.empty());
  EXPECT_FALSE(tray.interval_ms.has_value());
  EXPECT_EQ(sockets.lookups, 0);
}

const std::string A = "10.0.0.1";
const std::string B = "192.168.0.5";
const std::string kFailed = "!";

struct PollCase {
  const char* name;
  std::string at_load;
  Strings per_tick;
  Strings history;
  std::string address;
};

TEST_F(FrmMainTest, PollCycleRecordsEachChangeOneTickLater) {
  const PollCase cases[] = {
      {"first tick", A, {A}, {A}, A},
      {"unchanged", A, {A, A, A, A}, {A}, A},
      {"change at tick n", A, {A, B}, {A}, B},
      {"change seen a tick later", A, {A, B, B}, {A, B}, B},
      {"comes back", A, {B, A, A}, {A, B, A}, A},
      {"empty start", "", {"", ""}, {}, ""},
      {"failure between", A, {kFailed, A, A}, {A, "", A}, A},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSockets s;
    FakeMessages m;
    FakeTray t;
    Module1 module{s, computer, m, process};
    frmMain f{{module, settings, m, process, t, t, info, config}};
    auto answer = [&s](const std::string& address) {
      if (address == kFailed) {
        s.resolves = false;
      } else {
        s.SetAddresses(address.empty() ? Strings{} : Strings{address});
      }
    };
    answer(c.at_load);
    f.Form_Load();
    for (const auto& address : c.per_tick) {
      answer(address);
      f.Timer1_Timer();
    }
    EXPECT_EQ(f.lstIPs.Items(), c.history);
    EXPECT_EQ(f.YourIP, c.address);
    EXPECT_EQ(t.tips.back(), "Pellux: " + c.address);
    EXPECT_EQ(t.tips.size(), 1 + c.per_tick.size());
    EXPECT_EQ(s.startups, 1 + static_cast<int>(c.per_tick.size()));
  }
}

TEST_F(FrmMainTest, EveryFailingCycleReportsAgain) {
  sockets.resolves = false;
  form.Form_Load();
  for (int i = 0; i < 3; ++i) form.Timer1_Timer();
  EXPECT_EQ(messages.Texts(), Strings(4, "Winsock.dll error."));
}

TEST_F(FrmMainTest, TickWhileABoxOfTheCycleIsOpenIsSkipped) {
  sockets.resolves = false;
  form.Form_Load();
  int ticks_during_box = 0;
  messages.while_open = [&] {
    // The box's own message loop goes on delivering timer ticks.
    ++ticks_during_box;
    for (int i = 0; i < 5; ++i) form.Timer1_Timer();
  };
  form.Timer1_Timer();
  EXPECT_EQ(ticks_during_box, 1);
  EXPECT_EQ(messages.most_open, 1);
  EXPECT_EQ(sockets.lookups, 2);  // load and one cycle

  // The next tick after the box closed runs, and reports again.
  messages.while_open = nullptr;
  form.Timer1_Timer();
  EXPECT_EQ(sockets.lookups, 3);
  EXPECT_EQ(messages.shown.size(), 3u);
}

TEST_F(FrmMainTest, SocketsFailureDuringACycleEndsIt) {
  sockets.SetAddresses({"10.0.0.1"});
  form.Form_Load();
  sockets.startup_result = 1;
  form.Timer1_Timer();
  EXPECT_EQ(process.exit_code, kSocketsFailureExitCode);
  EXPECT_EQ(sockets.lookups, 1);
  EXPECT_EQ(form.lstIPs.ListCount(), 0);
}

TEST_F(FrmMainTest, FullHistoryTakesNoMoreAddresses) {
  for (int i = 0; i < AddressHistory::kMaxItems; ++i) {
    ASSERT_TRUE(form.lstIPs.AddItem(std::to_string(i % 2)));
  }
  sockets.SetAddresses({"10.0.0.9"});
  form.Form_Load();
  form.Timer1_Timer();
  form.Timer1_Timer();
  EXPECT_EQ(form.lstIPs.ListCount(), 32767);
  EXPECT_EQ(form.lstIPs.List(0), "0");
  EXPECT_EQ(form.lstIPs.List(32766), "0");
  EXPECT_EQ(tray.tips.back(), "Pellux: 10.0.0.9");
}

}  // namespace
}  // namespace pellux
