// Windows built from design tables: geometry at the screen's DPI, fonts,
// notifications from controls inside containers, and the tab order.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/form_window_win.h"

namespace pellux {
namespace {

constexpr FontDesign kArial{"Arial", 9.75};

enum class TestControl { cmdB, cmdA, fraBox, txtInside };

constexpr ControlDesign kControls[] = {
    {.name = "cmdB",
     .kind = ControlKind::kCommandButton,
     .caption = "B",
     .box = {2370, 840, 2355, 345},
     .tab_index = 2},
    {.name = "cmdA",
     .kind = ControlKind::kCommandButton,
     .caption = "&A",
     .box = {2370, 90, 2355, 345},
     .tab_index = 1},
    {.name = "fraBox", .kind = ControlKind::kFrame, .box = {30, -30, 2205, 1215}, .tab_index = 3},
    {.name = "txtInside",
     .kind = ControlKind::kTextBox,
     .parent = TestControl::fraBox,
     .caption = "text",
     .box = {60, 870, 2055, 255},
     .tab_index = 0,
     .font = FontDesign{"MS Sans Serif", 8.25},
     .flags = control_flags::kLocked},
};

constexpr FormDesign kDesign{.name = "frmTest",
                             .caption = "Test",
                             .start = StartPosition::kCentreScreen,
                             .client_width = 4770,
                             .client_height = 1215,
                             .font = kArial,
                             .controls = kControls};

// A form that records the clicks its window delivers, with its window.
class TestForm final : public Form {
 public:
  TestForm() : Form(kDesign) {}
  std::vector<std::string> clicks;
  void Form_Load() override {}
  void Click(ControlId control) override { clicks.emplace_back(kControls[control.index()].name); }
};

struct TestWindow {
  TestForm form;
  FormWindow window{form};
};

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST(FormWindowTest, BuildsTheDesignAtTheScreenDpi) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  const int dpi = form.window.dpi();
  RECT client;
  GetClientRect(form.window.hwnd(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(4770, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(1215, dpi));
  for (std::size_t i = 0; i < std::size(kControls); ++i) {
    const ControlDesign& control = kControls[i];
    SCOPED_TRACE(control.name);
    const HWND window = form.window.Control(ControlId::At(i));
    ASSERT_NE(window, nullptr);
    const RECT rect = RectInParent(window);
    const PixelRect want = ToPixels(control, dpi);
    EXPECT_EQ(rect.left, want.left);
    EXPECT_EQ(rect.top, want.top);
    EXPECT_EQ(rect.right, want.right);
    EXPECT_EQ(rect.bottom, want.bottom);
  }
  EXPECT_EQ(GetParent(form.window.Control(TestControl::txtInside)),
            form.window.Control(TestControl::fraBox));
  EXPECT_EQ(form.window.Text(TestControl::txtInside), "text");
}

TEST(FormWindowTest, ControlsTakeTheirOwnFontOrTheirContainers) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  auto height = [](HWND window) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    GetObjectW(font, sizeof description, &description);
    return description.lfHeight;
  };
  EXPECT_EQ(height(form.window.Control(TestControl::cmdA)),
            -FontPixelHeight(kArial, form.window.dpi()));
  EXPECT_EQ(height(form.window.Control(TestControl::fraBox)),
            -FontPixelHeight(kArial, form.window.dpi()));
  EXPECT_EQ(height(form.window.Control(TestControl::txtInside)),
            -FontPixelHeight({"MS Sans Serif", 8.25}, form.window.dpi()));
}

TEST(FormWindowTest, ClicksReachTheFormAlsoFromInsideAContainer) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  SendMessageW(form.window.Control(TestControl::cmdA), BM_CLICK, 0, 0);
  // A notification from a control whose parent is the frame.
  SendMessageW(form.window.Control(TestControl::fraBox), WM_COMMAND,
               MAKEWPARAM(FormWindow::kFirstControlId, BN_CLICKED),
               reinterpret_cast<LPARAM>(form.window.Control(TestControl::cmdB)));
  EXPECT_EQ(form.form.clicks, (std::vector<std::string>{"cmdA", "cmdB"}));
}

TEST(FormWindowTest, TabFollowsTheTabIndexAndEnterOrEscPressNothing) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  SetFocus(form.window.Control(TestControl::txtInside));
  std::vector<HWND> visited;
  for (int i = 0; i < 3; ++i) {
    MSG tab{form.window.Control(TestControl::txtInside), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    tab.hwnd = GetFocus();
    ASSERT_TRUE(FormWindow::PreTranslate(tab));
    visited.push_back(GetFocus());
  }
  EXPECT_EQ(visited, (std::vector<HWND>{form.window.Control(TestControl::cmdA),
                                        form.window.Control(TestControl::cmdB),
                                        form.window.Control(TestControl::txtInside)}));
  for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
    MSG press{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    FormWindow::PreTranslate(press);
  }
  EXPECT_TRUE(form.form.clicks.empty());
  EXPECT_TRUE(IsWindow(form.window.hwnd()));
}

TEST(FormWindowTest, EnterPressesTheFocusedButtonOnly) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  for (const TestControl focus : {TestControl::cmdB, TestControl::txtInside, TestControl::cmdA}) {
    SetFocus(form.window.Control(focus));
    MSG enter{GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(FormWindow::PreTranslate(enter)) << kControls[ControlId(focus).index()].name;
  }
  EXPECT_EQ(form.form.clicks, (std::vector<std::string>{"cmdB", "cmdA"}));
  EXPECT_TRUE(form.window.loaded());
}

// Esc closes a window whose design says so, as its close box does.
TEST(FormWindowTest, EscClosesOnlyAWindowDesignedToCloseOnIt) {
  static constexpr FormDesign kClosesOnEsc{.name = "frmEsc",
                                           .caption = "Esc",
                                           .client_width = 4770,
                                           .client_height = 1215,
                                           .font = kArial,
                                           .controls = kControls,
                                           .escape_closes = true};
  class EscForm final : public Form {
   public:
    EscForm() : Form(kClosesOnEsc) {}
    void Form_Load() override {}
    void Click(ControlId) override {}
  } esc_form;
  FormWindow closes{esc_form};
  TestWindow stays;
  for (FormWindow* window : {&closes, &stays.window}) {
    window->Show();
    ASSERT_TRUE(window->loaded());
    MSG esc{window->Control(TestControl::cmdA), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(FormWindow::PreTranslate(esc));
  }
  EXPECT_FALSE(closes.loaded());
  EXPECT_TRUE(stays.window.loaded());
  EXPECT_TRUE(stays.form.clicks.empty());
}

TEST(FormWindowTest, FocusStartsAtTheFirstTabStopAndComesBackAfterAnotherWindow) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  EXPECT_EQ(GetFocus(), form.window.Control(TestControl::txtInside));
  SetFocus(form.window.Control(TestControl::cmdB));

  TestWindow other;
  other.window.Show();
  ASSERT_TRUE(other.window.loaded());
  ASSERT_EQ(GetFocus(), other.window.Control(TestControl::txtInside));

  SetForegroundWindow(form.window.hwnd());
  EXPECT_EQ(GetFocus(), form.window.Control(TestControl::cmdB));
}

TEST(FormWindowTest, LoadingAgainStartsFromTheDesign) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  const HWND first = form.window.hwnd();
  form.form.SetTag(TestControl::cmdA, "changed");
  form.window.SetText(TestControl::cmdA, "changed");
  form.window.Unload();
  EXPECT_FALSE(IsWindow(first));
  form.window.Show();
  EXPECT_EQ(form.form.Tag(TestControl::cmdA), "");
  EXPECT_EQ(form.window.Text(TestControl::cmdA), "&A");
}

TEST(FormWindowTest, AFrameTakesTheMouseItself) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  RECT frame;
  GetWindowRect(form.window.Control(TestControl::fraBox), &frame);
  const LPARAM inside = MAKELPARAM(frame.left + 5, frame.top + 10);
  EXPECT_EQ(SendMessageW(form.window.Control(TestControl::fraBox), WM_NCHITTEST, 0, inside),
            HTCLIENT);
}

TEST(FormWindowTest, APressOnAFrameLeavesTheFocusWhereItWas) {
  TestWindow form;
  form.window.Show();
  ASSERT_TRUE(form.window.loaded());
  const HWND button = form.window.Control(TestControl::cmdA);
  SetFocus(button);
  ASSERT_EQ(GetFocus(), button);
  const HWND frame = form.window.Control(TestControl::fraBox);
  const UINT presses[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
  for (const UINT message : presses) {
    SendMessageW(frame, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 10));
  }
  EXPECT_EQ(GetFocus(), button);
  EXPECT_NE(GetCapture(), frame);
}

}  // namespace
}  // namespace pellux
