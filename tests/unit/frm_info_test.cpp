// The information window's form against a recording view and fake seams.
#include "info/frm_info.h"

#include <gtest/gtest.h>

#include <map>

#include "info/frm_info_design.h"
#include "tests/unit/fakes.h"

namespace pellux {
namespace {

using testing::FakeClipboard;

class FakeInfoView final : public InfoView {
 public:
  std::string caption;
  std::map<std::string, std::string, std::less<>> texts;
  std::vector<std::string> flattened;
  float left = 1500;  // twips
  float top = 3000;
  std::vector<std::pair<double, double>> moves;
  int unloads = 0;

  void SetCaption(std::string_view text) override { caption = text; }
  std::string Text(std::string_view control) const override {
    const auto found = texts.find(control);
    return found == texts.end() ? std::string() : found->second;
  }
  void SetText(std::string_view control, std::string_view text) override {
    texts[std::string(control)] = text;
  }
  std::span<const ControlDesign> Controls() const override { return kInfoDesign.controls; }
  void FlattenButton(std::string_view control) override { flattened.emplace_back(control); }
  float Left() const override { return left; }
  float Top() const override { return top; }
  void Move(double new_left, double new_top) override {
    moves.emplace_back(new_left, new_top);
    left = static_cast<float>(new_left);
    top = static_cast<float>(new_top);
  }
  void Unload() override { ++unloads; }
};

using Position = std::pair<double, double>;

class FrmInfoTest : public ::testing::Test, protected testing::MainFormFakes {
 protected:
  FakeClipboard clipboard;
  frmInfo form{main, module1, clipboard, messages};
  FakeInfoView view;

  void SetUp() override {
    main.YourIP = "192.168.0.5";
    computer.name = "PC1";
    sockets.host_name = "pc1";
    form.SetView(&view);
  }

  Position Where() const { return {view.left, view.top}; }
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
  form.Form_Load();
  EXPECT_EQ(view.caption, "Pellux: 192.168.0.5");
  EXPECT_EQ(view.texts,
            (decltype(view.texts){
                {"txtIP", "192.168.0.5"}, {"txtCompName", "PC1"}, {"txtHostName", "pc1"}}));
  EXPECT_EQ(view.flattened, (std::vector<std::string>{"cmdClose", "cmdCopy2", "cmdCopy"}));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FrmInfoTest, EmptyAddressKeepsTheCaptionsBlankAndIsStillCopied) {
  main.YourIP.clear();
  form.Form_Load();
  EXPECT_EQ(view.caption, "Pellux: ");
  EXPECT_EQ(view.texts["txtIP"], "");
  form.cmdCopy_Click();
  form.cmdCopy2_Click();
  EXPECT_EQ(clipboard.attempts,
            (std::vector<std::string>{"", "IP: \r\nComputer Name: PC1\r\nHostname: pc1"}));
}

TEST_F(FrmInfoTest, CopyIpTakesTheAddressOfNowAndCopyAllTheBoxes) {
  form.Form_Load();
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
  form.Form_Load();
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
  for (int16_t button = 0; button <= 7; ++button) {
    SCOPED_TRACE(button);
    view.left = 1500;
    view.top = 3000;
    form.Form_MouseDown(kMouseLeft, 0, 150, 300);
    form.Form_MouseMove(button, 0, 450, 150);
    if (button == kMouseLeft) {
      EXPECT_EQ(Where(), Position(1800, 2850));
    } else {
      EXPECT_EQ(Where(), Position(1500, 3000));
    }
  }
}

TEST_F(FrmInfoTest, ThePressPointStaysAcrossMovesAndStartsAtTheOrigin) {
  // Before any press the point is (0, 0): the client origin jumps under the
  // cursor.
  form.Form_MouseMove(kMouseLeft, 0, 300, 450);
  EXPECT_EQ(Where(), Position(1800, 3450));
  form.Form_MouseDown(kMouseLeft, 0, 150, 300);
  form.Form_MouseMove(kMouseLeft, 0, 450, 150);
  form.Form_MouseMove(kMouseLeft, 0, 600, 300);
  EXPECT_EQ(view.moves, (std::vector<Position>{{1800, 3450}, {2100, 3300}, {2550, 3300}}));
}

TEST_F(FrmInfoTest, ModifierKeysMakeNoDifference) {
  for (const int16_t shift : {int16_t{0}, kShiftKey, kCtrlKey, kAltKey, int16_t{7}}) {
    SCOPED_TRACE(shift);
    view.left = 1500;
    view.top = 3000;
    form.Form_MouseDown(kMouseRight, shift, 150, 300);
    form.Form_MouseMove(kMouseLeft, shift, 450, 150);
    EXPECT_EQ(Where(), Position(1800, 2850));
  }
}

TEST_F(FrmInfoTest, ThePressPointIsRoundedToWholeTwipsAndOutlivesTheWindow) {
  form.Form_MouseDown(kMouseLeft, 0, 150.4f, 299.6f);
  // The window closes and loads again; the form object keeps the point.
  form.SetView(nullptr);
  FakeInfoView reloaded;
  form.SetView(&reloaded);
  form.Form_Load();
  form.Form_MouseMove(kMouseLeft, 0, 160, 300);
  EXPECT_EQ(reloaded.moves, (std::vector<Position>{{1510, 3000}}));
}

}  // namespace
}  // namespace pellux
