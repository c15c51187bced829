#include "config/frm_config.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/unit/fakes.h"

namespace pellux {
namespace {

using testing::FakeAppBar;
using testing::FakeMessages;
using testing::FakeSettings;
using testing::FakeVersion;

using Strings = std::vector<std::string>;

const FakeSettings::Key kIntervalSetting{"Pellux", "Options", "Interval"};

// A screen in pixels at some DPI, and a window of some outer size on it.
struct Screen {
  int width = 1024;
  int height = 768;
  int dpi = 96;
  FakeAppBar::Rect taskbar{0, 738, 1024, 768};
  int window_width = 236;  // pixels, frame and caption bar included
  int window_height = 148;
};

// The window as the form sees it, built from the design table and a screen.
class FakeView final : public ConfigView {
 public:
  explicit FakeView(frmConfig& form, const Screen& screen = {}) : form_(form), screen_(screen) {
    for (const auto& control : kConfigDesign.controls) {
      const std::string name(control.name);
      captions[name] = control.caption;
      visible[name] = !control.Has(control_flags::kHidden);
      tags[name] = control.tag;
    }
    for (const auto item : kIntervalItems) items.emplace_back(item);
    form_.SetView(this);
  }

  Strings items;
  int index = -1;
  std::map<std::string, std::string> captions;
  std::map<std::string, bool> visible;
  std::map<std::string, std::string> tags;
  std::optional<std::pair<int, int>> moved;  // twips
  int unloads = 0;
  Strings calls;  // what changed, in order

  int ListCount() const override { return static_cast<int>(items.size()); }
  std::string List(int i) const override { return items[static_cast<std::size_t>(i)]; }
  void SetListIndex(int i) override { index = i; }
  std::string ListText() const override {
    return index < 0 ? "" : items[static_cast<std::size_t>(index)];
  }

  void SetCaption(std::string_view control, std::string_view text) override {
    calls.push_back("caption " + std::string(control));
    captions[std::string(control)] = text;
  }
  void SetVisible(std::string_view control, bool show) override {
    calls.push_back((show ? "show " : "hide ") + std::string(control));
    visible[std::string(control)] = show;
  }
  std::string Tag(std::string_view control) const override { return tags.at(std::string(control)); }
  void SetTag(std::string_view control, std::string_view tag) override {
    calls.push_back("tag " + std::string(control));
    tags[std::string(control)] = tag;
  }

  int ScreenWidth() const override { return Twips(screen_.width); }
  double TwipsPerPixelY() const override { return 1440.0 / screen_.dpi; }
  TwipsRect WorkArea() const override {
    // The screen less a taskbar along one of its edges.
    const auto& bar = screen_.taskbar;
    TwipsRect work{0, 0, Twips(screen_.width), Twips(screen_.height)};
    if (bar.right - bar.left >= screen_.width) {
      if (bar.top <= 0)
        work.top = Twips(bar.bottom);
      else
        work.bottom = Twips(bar.top);
    } else {
      if (bar.left <= 0)
        work.left = Twips(bar.right);
      else
        work.right = Twips(bar.left);
    }
    return work;
  }
  int Width() const override { return Twips(screen_.window_width); }
  int Height() const override { return Twips(screen_.window_height); }
  void Move(int left, int top) override { moved = {left, top}; }

  void Unload() override {
    ++unloads;
    form_.SetView(nullptr);
  }

  // Where the window's edges end up on the screen, in pixels.
  int Right() const { return TwipsToPixels(moved->first, screen_.dpi) + screen_.window_width; }
  int Bottom() const { return TwipsToPixels(moved->second, screen_.dpi) + screen_.window_height; }
  int Top() const { return TwipsToPixels(moved->second, screen_.dpi); }

 private:
  int Twips(int pixels) const { return PixelsToTwips(pixels, screen_.dpi); }

  frmConfig& form_;
  Screen screen_;
};

class FrmConfigTest : public ::testing::Test, protected testing::MainFormFakes {
 protected:
  FakeAppBar app_bar;
  FakeVersion version;
  frmConfig form{main, settings, messages, app_bar, version};

  void SetUp() override { app_bar.taskbar = FakeAppBar::Rect{0, 738, 1024, 768}; }

  // Opens the window as "&Configure" does, on the given screen.
  std::unique_ptr<FakeView> Open(const Screen& screen = {}) {
    auto view = std::make_unique<FakeView>(form, screen);
    form.Form_Load();
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
    const auto view = Open();
    EXPECT_EQ(view->ListText(), selected);
    EXPECT_EQ(view->index < 0, std::string(selected).empty());
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
    const auto view = Open();
    view->index = index;
    form.cmdOK_Click();
    EXPECT_EQ(std::to_string(main.TimerInterval), stored);
    EXPECT_EQ(settings.values[kIntervalSetting], stored);
    EXPECT_EQ(view->unloads, 1);
    EXPECT_FALSE(form.loaded());
  }
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(timer.interval_ms.has_value());  // the running timer is left alone
}

TEST_F(FrmConfigTest, OkWithoutChangeStoresTheIntervalItOpenedWith) {
  main.TimerInterval = 4000;
  const auto view = Open();
  form.cmdOK_Click();
  EXPECT_EQ(main.TimerInterval, 4000);
  EXPECT_EQ(settings.values[kIntervalSetting], "4000");
}

TEST_F(FrmConfigTest, OkWithNothingSelectedChangesNothingAndCloses) {
  main.TimerInterval = 2500;
  const auto view = Open();
  form.cmdOK_Click();
  EXPECT_EQ(main.TimerInterval, 2500);
  EXPECT_EQ(settings.writes, 0);
  EXPECT_EQ(view->unloads, 1);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrmConfigTest, CancelChangesNothingAndTheNextOpeningShowsThePreviousChoice) {
  main.TimerInterval = 10000;
  {
    const auto view = Open();
    view->index = 7;
    form.cmdCancel_Click();
    EXPECT_EQ(view->unloads, 1);
  }
  EXPECT_EQ(main.TimerInterval, 10000);
  EXPECT_EQ(settings.writes, 0);
  const auto again = Open();
  EXPECT_EQ(again->ListText(), "10 Seconds");
}

TEST_F(FrmConfigTest, UnsavedIntervalStillAppliesTheUserIsToldAndTheWindowCloses) {
  settings.writable = false;
  const auto view = Open();
  view->index = 5;
  bool loaded_while_told = true;
  messages.while_open = [&] { loaded_while_told = form.loaded(); };
  form.cmdOK_Click();
  EXPECT_EQ(main.TimerInterval, 10000);
  EXPECT_EQ(settings.writes, 1);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0], (FakeMessages::Box{std::string(kIntervalNotSavedMessage), "Pellux",
                                                  MessageIcon::kNone}));
  EXPECT_FALSE(loaded_while_told);
  EXPECT_EQ(view->unloads, 1);
}

TEST(IntervalFromItemTest, TakesTheSecondsBeforeTheFirstBlank) {
  const std::pair<const char*, std::optional<int16_t>> cases[] = {
      {"1 Second", 1000},           {"4 Seconds ", 4000},         {"10 Seconds", 10000},
      {"30 Seconds", 30000},        {"32 Seconds", 32000},        {"33 Seconds", std::nullopt},
      {"", std::nullopt},           {"30", std::nullopt},         {"Seconds", std::nullopt},
      {" 5 Seconds", std::nullopt}, {"5x Seconds", std::nullopt}, {"99999 Seconds", std::nullopt},
  };
  for (const auto& [text, interval] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IntervalFromItem(text), interval);
  }
}

// Where the window lands for a taskbar along each edge, on several screens.
struct PlacementCase {
  const char* name;
  Screen screen;
  int right;  // the window's right and bottom edges, in pixels
  int bottom;
};

TEST_F(FrmConfigTest, StandsOnTheTaskbarAtTheRightEdgeOrElseInTheWorkAreasCorner) {
  const PlacementCase cases[] = {
      {"bottom, 1024x768", {1024, 768, 96, {0, 738, 1024, 768}}, 1024, 738},
      {"bottom, 1-pixel strip", {1024, 768, 96, {0, 767, 1024, 768}}, 1024, 767},
      {"bottom, 1920x1080", {1920, 1080, 96, {0, 1040, 1920, 1080}}, 1920, 1040},
      {"bottom, 1366x768 at 120 dpi", {1366, 768, 120, {0, 728, 1366, 768}, 295, 185}, 1366, 728},
      {"bottom, 2560x1440 at 144 dpi",
       {2560, 1440, 144, {0, 1380, 2560, 1440}, 353, 220},
       2560,
       1380},
      {"bottom, 3840x2160 at 168 dpi",
       {3840, 2160, 168, {0, 2090, 3840, 2160}, 411, 257},
       3840,
       2090},
      {"top", {1024, 768, 96, {0, 0, 1024, 30}}, 1024, 768},
      {"left", {1024, 768, 96, {0, 0, 60, 768}}, 1024, 768},
      {"right", {1024, 768, 96, {964, 0, 1024, 768}}, 964, 768},
      {"right at 144 dpi", {2560, 1440, 144, {2470, 0, 2560, 1440}, 353, 220}, 2470, 1440},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app_bar.taskbar = c.screen.taskbar;
    const auto view = Open(c.screen);
    EXPECT_EQ(form.TaskTop, c.screen.taskbar.top);
    ASSERT_TRUE(view->moved.has_value());
    EXPECT_EQ(view->Right(), c.right);
    EXPECT_EQ(view->Bottom(), c.bottom);
    EXPECT_GE(view->Top(), 0);
  }
}

TEST_F(FrmConfigTest, AsksTheShellWithTheWholeRecordEachTime) {
  Open();
  Open();
  EXPECT_EQ(app_bar.messages, (std::vector<uint32_t>{5, 5}));
  // The shell's own record size: 36 bytes on 32-bit Windows, 48 on 64-bit.
  const uint32_t size = sizeof(void*) == 4 ? 36 : 48;
  EXPECT_EQ(app_bar.sizes, (std::vector<uint32_t>{size, size}));
}

TEST_F(FrmConfigTest, FailedFirstQueryPutsTheWindowInTheCornerOfTheWorkArea) {
  app_bar.taskbar.reset();
  const auto view = Open();
  EXPECT_EQ(form.TaskTop, 0);
  EXPECT_EQ(view->Right(), 1024);
  EXPECT_EQ(view->Bottom(), 738);
}

TEST_F(FrmConfigTest, FailedLaterQueryKeepsTheTaskbarFoundBefore) {
  Open();
  app_bar.taskbar.reset();
  const auto view = Open();
  EXPECT_EQ(form.TaskTop, 738);
  EXPECT_EQ(view->Bottom(), 738);
}

TEST_F(FrmConfigTest, AboutSwitchesThePanelsAndBack) {
  const auto view = Open();
  view->calls.clear();
  form.cmdAbout_Click();
  EXPECT_EQ(view->calls,
            (Strings{"tag cmdAbout", "caption cmdAbout", "show fraAbout", "hide fraInterval"}));
  EXPECT_EQ(view->tags["cmdAbout"], "Interval");
  EXPECT_EQ(view->captions["cmdAbout"], "&Config");
  EXPECT_TRUE(view->visible["fraAbout"]);
  EXPECT_FALSE(view->visible["fraInterval"]);

  view->calls.clear();
  form.cmdAbout_Click();
  EXPECT_EQ(view->calls,
            (Strings{"tag cmdAbout", "caption cmdAbout", "hide fraAbout", "show fraInterval"}));
  EXPECT_EQ(view->tags["cmdAbout"], "About");
  EXPECT_EQ(view->captions["cmdAbout"], "&About");
  EXPECT_FALSE(view->visible["fraAbout"]);
  EXPECT_TRUE(view->visible["fraInterval"]);
}

TEST_F(FrmConfigTest, OkInTheAboutPanelStoresTheHiddenChoice) {
  const auto view = Open();
  view->index = 6;
  form.cmdAbout_Click();
  form.cmdOK_Click();
  EXPECT_EQ(settings.values[kIntervalSetting], "20000");
  EXPECT_EQ(view->unloads, 1);
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
  auto view = Open();
  EXPECT_EQ(view->captions["fraAbout"], "About Pellux v1.11");
  EXPECT_EQ(view->captions["lblAbout"], kAboutNotice);
  version.numbers.reset();  // no version information: the plain caption stays
  view = Open();
  EXPECT_EQ(view->captions["fraAbout"], "About Pellux");
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
