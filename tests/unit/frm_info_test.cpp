// The information window's form against a recording view and fake seams.
#include "info/frm_info.h"

#include <gtest/gtest.h>

#include "tests/unit/fakes.h"

namespace pellux {
namespace {

using testing::FakeClipboard;

using Position = std::pair<double, double>;

class FrmInfoTest : public ::testing::Test, protected testing::MainFormFakes {
 protected:
  FakeClipboard clipboard;
  frmInfo form{main, module1, clipboard, messages};
  testing::FakeFormView view{form};

  void SetUp() override {
    main.YourIP = "192.168.0.5";
    computer.name = "PC1";
    sockets.host_name = "pc1";
  }

  // Loads the window with its outer frame's corner at 1500, 3000 twips.
  void Load() {
    view.Show();
    Place(1500, 3000);
    view.moves.clear();
  }
  void Place(double left, double top) { view.Move(left, top, Corner::kTopLeft); }
  Position Where() const { return {view.frame.left, view.frame.top}; }
};

TEST(InfoSummaryTest, ThreeLinesJoinedByCrLfWithNoneAtTheEnd) {
  struct Case {
    const char* ip;
    const char* computer;
    const char* host;
    std::string_view summary;
  };
  const Case cases[] = {
      {"192.168.0.5", "PC1", "pc1", "IP: 192.168.0.5\r\nComputer Name: PC1\r\nHostname: pc1"},
      {"", "PC1", "pc1", "IP: \r\nComputer Name: PC1\r\nHostname: pc1"},
      {"", "", "", "IP: \r\nComputer Name: \r\nHostname: "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InfoSummary(c.ip, c.computer, c.host), c.summary);
  }
  EXPECT_EQ(InfoSummary("192.168.0.5", "PC1", "pc1").size(), 50u);
}

TEST_F(FrmInfoTest, LoadShowsTheValuesOfThisMomentAndFlattensTheButtonsInLoadOrder) {
  view.Show();
  EXPECT_EQ(view.caption, "Pellux: 192.168.0.5");
  EXPECT_EQ(view.texts["txtIP"], "192.168.0.5");
  EXPECT_EQ(view.texts["txtCompName"], "PC1");
  EXPECT_EQ(view.texts["txtHostName"], "pc1");
  EXPECT_EQ(view.flattened, (std::vector<std::string>{"cmdClose", "cmdCopy2", "cmdCopy"}));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrmInfoTest, EmptyAddressKeepsTheCaptionsBlankAndIsStillCopied) {
  main.YourIP.clear();
  view.Show();
  EXPECT_EQ(view.caption, "Pellux: ");
  EXPECT_EQ(view.texts["txtIP"], "");
  form.cmdCopy_Click();
  form.cmdCopy2_Click();
  EXPECT_EQ(clipboard.attempts,
            (std::vector<std::string>{"", "IP: \r\nComputer Name: PC1\r\nHostname: pc1"}));
}

TEST_F(FrmInfoTest, CopyIpTakesTheAddressOfNowAndCopyAllTheBoxes) {
  view.Show();
  // A poll cycle changes the address while the window is open.
  main.YourIP = "10.0.0.9";
  form.cmdCopy_Click();
  EXPECT_EQ(clipboard.text, "10.0.0.9");
  form.cmdCopy2_Click();
  EXPECT_EQ(clipboard.text, "IP: 192.168.0.5\r\nComputer Name: PC1\r\nHostname: pc1");
  EXPECT_EQ(view.caption, "Pellux: 192.168.0.5");
}

TEST_F(FrmInfoTest, ACopyThatDidNotHappenIsToldInAFailureBox) {
  const std::pair<ClipboardResult, std::vector<std::string>> cases[] = {
      {ClipboardResult::kCopied, {}},
      {ClipboardResult::kInUse, {std::string(kClipboardInUseText)}},
      {ClipboardResult::kFailed, {std::string(kClipboardFailedText)}},
      {ClipboardResult::kCleared, {std::string(kClipboardClearedText)}},
  };
  view.Show();
  for (const auto& [result, told] : cases) {
    for (auto click : {&frmInfo::cmdCopy_Click, &frmInfo::cmdCopy2_Click}) {
      messages.shown.clear();
      clipboard.result = result;
      (form.*click)();
      EXPECT_EQ(messages.Texts(), told);
      for (const auto& box : messages.shown) {
        EXPECT_EQ(box.title, "Pellux");
        EXPECT_EQ(box.icon, MessageIcon::kNone);
      }
    }
  }
}

TEST_F(FrmInfoTest, OnlyTheLeftButtonAloneDragsByTheCursorsTravel) {
  Load();
  for (int16_t button = 0; button <= 7; ++button) {
    SCOPED_TRACE(button);
    Place(1500, 3000);
    form.Form_MouseDown(kLeftButton, 0, 150, 300);
    form.Form_MouseMove(button, 0, 450, 150);
    if (button == kLeftButton) {
      EXPECT_EQ(Where(), Position(1800, 2850));
    } else {
      EXPECT_EQ(Where(), Position(1500, 3000));
    }
  }
}

TEST_F(FrmInfoTest, ThePressPointStaysAcrossMovesAndStartsAtTheOrigin) {
  Load();
  // Before any press the point is (0, 0): the client origin jumps under the
  // cursor.
  form.Form_MouseMove(kLeftButton, 0, 300, 450);
  EXPECT_EQ(Where(), Position(1800, 3450));
  form.Form_MouseDown(kLeftButton, 0, 150, 300);
  form.Form_MouseMove(kLeftButton, 0, 450, 150);
  form.Form_MouseMove(kLeftButton, 0, 600, 300);
  EXPECT_EQ(view.moves, (std::vector<Position>{{1800, 3450}, {2100, 3300}, {2550, 3300}}));
}

TEST_F(FrmInfoTest, ModifierKeysMakeNoDifference) {
  Load();
  for (const int16_t shift : {int16_t{0}, kShiftKey, kCtrlKey, kAltKey, int16_t{7}}) {
    SCOPED_TRACE(shift);
    Place(1500, 3000);
    form.Form_MouseDown(kRightButton, shift, 150, 300);
    form.Form_MouseMove(kLeftButton, shift, 450, 150);
    EXPECT_EQ(Where(), Position(1800, 2850));
  }
}

TEST_F(FrmInfoTest, ThePressPointIsRoundedToWholeTwipsAndOutlivesTheWindow) {
  Load();
  form.Form_MouseDown(kLeftButton, 0, 150.4f, 299.6f);
  // The window closes and loads again; the form object keeps the point.
  form.cmdClose_Click();
  EXPECT_FALSE(form.loaded());
  Load();
  form.Form_MouseMove(kLeftButton, 0, 160, 300);
  EXPECT_EQ(view.moves, (std::vector<Position>{{1510, 3000}}));
}

}  // namespace
}  // namespace pellux
