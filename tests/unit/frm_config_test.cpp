#include "config/frm_config.h"

#include <gtest/gtest.h>

#include "tests/unit/fakes.h"

namespace pellux {
namespace {

using testing::FakeFormView;
using testing::FakeMessages;
using testing::FakeScreen;
using testing::FakeSettings;

using Strings = std::vector<std::string>;

const FakeSettings::Key kIntervalSetting{"Pellux", "Options", "Interval"};

class FrmConfigTest : public ::testing::Test, protected testing::MainFormFakes {
 protected:
  std::optional<VersionNumbers> version = VersionNumbers{1, 11};
  frmConfig form{main, settings, messages, version};
  FakeFormView view{form};

  // Opens the window as "&Configure" does, on the given screen.
  FakeFormView& Open(const FakeScreen& screen = {}) {
    view.Unload();
    view.screen = screen;
    view.Show();
    return view;
  }
};

TEST_F(FrmConfigTest, OpensWithTheCurrentIntervalSelected) {
  const std::pair<int16_t, const char*> cases[] = {
      {5000, "5 Seconds"},
      {1000, "1 Second"},
      {2000, "2 Seconds"},
      {3000, "3 Seconds"},
      {4000, "4 Seconds "},
      {10000, "10 Seconds"},
      {20000, "20 Seconds"},
      {30000, "30 Seconds"},
      {2500, ""},
      {999, ""},
      {0, ""},
      {-1000, ""},
      {32767, ""},
      {1, ""},
  };
  for (const auto& [interval, selected] : cases) {
    SCOPED_TRACE(interval);
    main.TimerInterval = interval;
    Open();
    EXPECT_EQ(view.Text(ConfigControl::cboInterval), selected);
    EXPECT_EQ(view.index < 0, std::string(selected).empty());
  }
}

TEST_F(FrmConfigTest, OkStoresTheChosenIntervalAndUnloads) {
  const std::pair<int, const char*> cases[] = {
      {0, "1000"}, {1, "2000"},  {2, "3000"},  {3, "4000"},
      {4, "5000"}, {5, "10000"}, {6, "20000"}, {7, "30000"},
  };
  for (const auto& [index, stored] : cases) {
    SCOPED_TRACE(stored);
    main.TimerInterval = 5000;
    Open();
    view.index = index;
    const int unloads = view.unloads;
    form.cmdOK_Click();
    EXPECT_EQ(std::to_string(main.TimerInterval), stored);
    EXPECT_EQ(settings.values[kIntervalSetting], stored);
    EXPECT_EQ(view.unloads, unloads + 1);
    EXPECT_FALSE(form.loaded());
  }
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(tray.interval_ms.has_value());  // the running timer is left alone
}

TEST_F(FrmConfigTest, OkWithoutChangeStoresTheIntervalItOpenedWith) {
  main.TimerInterval = 4000;
  Open();
  form.cmdOK_Click();
  EXPECT_EQ(main.TimerInterval, 4000);
  EXPECT_EQ(settings.values[kIntervalSetting], "4000");
}

TEST_F(FrmConfigTest, OkWithNothingSelectedChangesNothingAndCloses) {
  main.TimerInterval = 2500;
  Open();
  form.cmdOK_Click();
  EXPECT_EQ(main.TimerInterval, 2500);
  EXPECT_EQ(settings.writes, 0);
  EXPECT_EQ(view.unloads, 1);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrmConfigTest, CancelChangesNothingAndTheNextOpeningShowsThePreviousChoice) {
  main.TimerInterval = 10000;
  Open();
  view.index = 7;
  form.cmdCancel_Click();
  EXPECT_EQ(view.unloads, 1);
  EXPECT_EQ(main.TimerInterval, 10000);
  EXPECT_EQ(settings.writes, 0);
  Open();
  EXPECT_EQ(view.Text(ConfigControl::cboInterval), "10 Seconds");
}

TEST_F(FrmConfigTest, UnsavedIntervalIsNotTakenTheUserIsToldAndTheWindowCloses) {
  settings.writable = false;
  Open();
  view.index = 5;
  bool loaded_while_told = true;
  messages.while_open = [&] { loaded_while_told = form.loaded(); };
  form.cmdOK_Click();
  EXPECT_EQ(main.TimerInterval, 5000);
  EXPECT_EQ(settings.writes, 1);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0], (FakeMessages::Box{std::string(kIntervalNotSavedMessage), "Pellux",
                                                  MessageIcon::kNone}));
  EXPECT_FALSE(loaded_while_told);
  EXPECT_EQ(view.unloads, 1);
}

// Each item keeps beside its caption the seconds the caption starts with,
// in milliseconds: what "&OK" stores for it.
TEST(IntervalItemsTest, EachKeepsTheSecondsItsCaptionStartsWith) {
  for (const ListItemDesign& item : kIntervalItems) {
    const std::string caption(item.caption);
    ASSERT_NE(caption.find(' '), std::string::npos) << caption;
    EXPECT_EQ(item.data, std::stoi(caption.substr(0, caption.find(' '))) * 1000) << caption;
  }
}

// Where the window lands for a taskbar along each edge, on several screens.
struct PlacementCase {
  const char* name;
  FakeScreen screen;
  int right;  // the window's right and bottom edges, in pixels
  int bottom;
};

TEST_F(FrmConfigTest, StandsOnTheTaskbarAtTheRightEdgeOrElseInTheWorkAreasCorner) {
  const PlacementCase cases[] = {
      {"bottom, 1024x768", {1024, 768, 96, PixelRect{0, 738, 1024, 768}}, 1024, 738},
      {"bottom, 1-pixel strip", {1024, 768, 96, PixelRect{0, 767, 1024, 768}}, 1024, 767},
      {"bottom, 1920x1080", {1920, 1080, 96, PixelRect{0, 1040, 1920, 1080}}, 1920, 1040},
      {"bottom, 1366x768 at 120 dpi",
       {1366, 768, 120, PixelRect{0, 728, 1366, 768}, 295, 185},
       1366,
       728},
      {"bottom, 2560x1440 at 144 dpi",
       {2560, 1440, 144, PixelRect{0, 1380, 2560, 1440}, 353, 220},
       2560,
       1380},
      {"bottom, 3840x2160 at 168 dpi",
       {3840, 2160, 168, PixelRect{0, 2090, 3840, 2160}, 411, 257},
       3840,
       2090},
      {"top", {1024, 768, 96, PixelRect{0, 0, 1024, 30}}, 1024, 768},
      {"left", {1024, 768, 96, PixelRect{0, 0, 60, 768}}, 1024, 768},
      {"right", {1024, 768, 96, PixelRect{964, 0, 1024, 768}}, 964, 768},
      {"right at 144 dpi", {2560, 1440, 144, PixelRect{2470, 0, 2560, 1440}, 353, 220}, 2470, 1440},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.screen);
    EXPECT_EQ(form.TaskTop, c.screen.taskbar->top);
    ASSERT_FALSE(view.moves.empty());
    EXPECT_EQ(view.Right(), c.right);
    EXPECT_EQ(view.Bottom(), c.bottom);
    EXPECT_GE(view.Top(), 0);
  }
}

TEST_F(FrmConfigTest, FailedFirstQueryPutsTheWindowInTheCornerOfTheWorkArea) {
  FakeScreen screen;
  screen.taskbar_answers = false;
  Open(screen);
  EXPECT_EQ(form.TaskTop, 0);
  EXPECT_EQ(view.Right(), 1024);
  EXPECT_EQ(view.Bottom(), 738);
}

TEST_F(FrmConfigTest, FailedLaterQueryKeepsTheTaskbarFoundBefore) {
  Open();
  FakeScreen screen;
  screen.taskbar_answers = false;
  Open(screen);
  EXPECT_EQ(form.TaskTop, 738);
  EXPECT_EQ(view.Bottom(), 738);
}

TEST_F(FrmConfigTest, AboutSwitchesThePanelsAndBack) {
  Open();
  view.calls.clear();
  form.cmdAbout_Click();
  EXPECT_EQ(view.calls, (Strings{"text cmdAbout", "show fraAbout", "hide fraInterval"}));
  EXPECT_EQ(form.Tag(ConfigControl::cmdAbout), "Interval");
  EXPECT_EQ(view.texts["cmdAbout"], "&Config");
  EXPECT_TRUE(view.visible["fraAbout"]);
  EXPECT_FALSE(view.visible["fraInterval"]);

  view.calls.clear();
  form.cmdAbout_Click();
  EXPECT_EQ(view.calls, (Strings{"text cmdAbout", "hide fraAbout", "show fraInterval"}));
  EXPECT_EQ(form.Tag(ConfigControl::cmdAbout), "About");
  EXPECT_EQ(view.texts["cmdAbout"], "&About");
  EXPECT_FALSE(view.visible["fraAbout"]);
  EXPECT_TRUE(view.visible["fraInterval"]);
}

TEST_F(FrmConfigTest, OkInTheAboutPanelStoresTheHiddenChoice) {
  Open();
  view.index = 6;
  form.cmdAbout_Click();
  form.cmdOK_Click();
  EXPECT_EQ(settings.values[kIntervalSetting], "20000");
  EXPECT_EQ(view.unloads, 1);
}

TEST(AboutCaptionTest, ShowsMajorDotMinorInDecimal) {
  const std::pair<VersionNumbers, const char*> cases[] = {
      {{1, 11}, "About Pellux v1.11"},
      {{1, 1}, "About Pellux v1.1"},
      {{2, 0}, "About Pellux v2.0"},
      {{10, 105}, "About Pellux v10.105"},
  };
  for (const auto& [version, caption] : cases) EXPECT_EQ(AboutCaption(version), caption);
}

TEST_F(FrmConfigTest, LoadFillsInTheAboutPanelFromTheVersion) {
  Open();
  EXPECT_EQ(view.texts["fraAbout"], "About Pellux v1.11");
  EXPECT_EQ(view.texts["lblAbout"], kAboutNotice);
  // Without version information the plain caption stays.
  frmConfig unversioned{main, settings, messages, std::nullopt};
  FakeFormView plain{unversioned};
  plain.Show();
  EXPECT_EQ(plain.texts["fraAbout"], "About Pellux");
}

TEST(AboutNoticeTest, IsTwoLinesWithOneEmptyLineBetween) {
  const std::string_view notice = kAboutNotice;
  const auto gap = notice.find("\r\n\r\n");
  ASSERT_NE(gap, std::string_view::npos);
  EXPECT_EQ(notice.substr(0, gap).find_first_of("\r\n"), std::string_view::npos);
  EXPECT_EQ(notice.substr(gap + 4).find_first_of("\r\n"), std::string_view::npos);
  EXPECT_FALSE(notice.substr(gap + 4).empty());
}

}  // namespace
}  // namespace pellux
