// Windows built from design tables: geometry at the screen's DPI, fonts,
// notifications from controls inside containers, and the tab order.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/form_window_win.h"

namespace pellux {
namespace {

constexpr FontDesign kArial{"Arial", 9.75};

constexpr ControlDesign kControls[] = {
    {.name = "cmdB",
     .kind = ControlKind::kCommandButton,
     .caption = "B",
     .left = 2370,
     .top = 840,
     .width = 2355,
     .height = 345,
     .tab_index = 2},
    {.name = "cmdA",
     .kind = ControlKind::kCommandButton,
     .caption = "&A",
     .left = 2370,
     .top = 90,
     .width = 2355,
     .height = 345,
     .tab_index = 1},
    {.name = "fraBox",
     .kind = ControlKind::kFrame,
     .left = 30,
     .top = -30,
     .width = 2205,
     .height = 1215,
     .tab_index = 3},
    {.name = "txtInside",
     .kind = ControlKind::kTextBox,
     .parent = "fraBox",
     .caption = "text",
     .left = 60,
     .top = 870,
     .width = 2055,
     .height = 255,
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

class TestForm final : public FormWindow {
 public:
  TestForm() : FormWindow(kDesign) {}
  std::vector<std::string> clicks;

 private:
  void OnCommand(const ControlDesign& control, int code) override {
    if (code == BN_CLICKED) clicks.emplace_back(control.name);
  }
};

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST(FormWindowTest, BuildsTheDesignAtTheScreenDpi) {
  TestForm form;
  ASSERT_TRUE(form.Build());
  const int dpi = form.dpi();
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(4770, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(1215, dpi));
  for (const auto& control : kControls) {
    SCOPED_TRACE(control.name);
    const HWND window = form.Control(control.name);
    ASSERT_NE(window, nullptr);
    const RECT rect = RectInParent(window);
    const PixelRect want = ToPixels(control, dpi);
    EXPECT_EQ(rect.left, want.left);
    EXPECT_EQ(rect.top, want.top);
    EXPECT_EQ(rect.right, want.right);
    EXPECT_EQ(rect.bottom, want.bottom);
  }
  EXPECT_EQ(GetParent(form.Control("txtInside")), form.Control("fraBox"));
  EXPECT_FALSE(IsWindowVisible(form.hwnd()));
  EXPECT_EQ(form.ControlText("txtInside"), "text");
}

TEST(FormWindowTest, ControlsTakeTheirOwnFontOrTheirContainers) {
  TestForm form;
  ASSERT_TRUE(form.Build());
  auto height = [](HWND window) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    GetObjectW(font, sizeof description, &description);
    return description.lfHeight;
  };
  EXPECT_EQ(height(form.Control("cmdA")), -FontPixelHeight(kArial, form.dpi()));
  EXPECT_EQ(height(form.Control("fraBox")), -FontPixelHeight(kArial, form.dpi()));
  EXPECT_EQ(height(form.Control("txtInside")),
            -FontPixelHeight({"MS Sans Serif", 8.25}, form.dpi()));
}

TEST(FormWindowTest, ClicksReachTheFormAlsoFromInsideAContainer) {
  TestForm form;
  ASSERT_TRUE(form.Build());
  SendMessageW(form.Control("cmdA"), BM_CLICK, 0, 0);
  // A notification from a control whose parent is the frame.
  SendMessageW(form.Control("fraBox"), WM_COMMAND,
               MAKEWPARAM(FormWindow::kFirstControlId, BN_CLICKED),
               reinterpret_cast<LPARAM>(form.Control("cmdB")));
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"cmdA", "cmdB"}));
}

TEST(FormWindowTest, TabFollowsTheTabIndexAndEnterOrEscPressNothing) {
  TestForm form;
  ASSERT_TRUE(form.Build());
  ShowWindow(form.hwnd(), SW_SHOW);
  SetForegroundWindow(form.hwnd());
  SetFocus(form.Control("txtInside"));
  std::vector<HWND> visited;
  for (int i = 0; i < 3; ++i) {
    MSG tab{form.Control("txtInside"), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    tab.hwnd = GetFocus();
    ASSERT_TRUE(FormWindow::PreTranslate(tab));
    visited.push_back(GetFocus());
  }
  EXPECT_EQ(visited, (std::vector<HWND>{form.Control("cmdA"), form.Control("cmdB"),
                                        form.Control("txtInside")}));
  for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
    MSG press{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    FormWindow::PreTranslate(press);
  }
  EXPECT_TRUE(form.clicks.empty());
  EXPECT_TRUE(IsWindow(form.hwnd()));
}

TEST(FormWindowTest, FocusStartsAtTheFirstTabStopAndComesBackAfterAnotherWindow) {
  TestForm form;
  ASSERT_TRUE(form.Build());
  ShowWindow(form.hwnd(), SW_SHOW);
  SetForegroundWindow(form.hwnd());
  EXPECT_EQ(GetFocus(), form.Control("txtInside"));
  SetFocus(form.Control("cmdB"));

  TestForm other;
  ASSERT_TRUE(other.Build());
  ShowWindow(other.hwnd(), SW_SHOW);
  SetForegroundWindow(other.hwnd());
  ASSERT_EQ(GetFocus(), other.Control("txtInside"));

  SetForegroundWindow(form.hwnd());
  EXPECT_EQ(GetFocus(), form.Control("cmdB"));
}

TEST(FormWindowTest, BuildingAgainStartsFromTheDesign) {
  TestForm form;
  ASSERT_TRUE(form.Build());
  const HWND first = form.hwnd();
  form.SetTag("cmdA", "changed");
  form.SetControlText("cmdA", "changed");
  ASSERT_TRUE(form.Build());
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(form.Tag("cmdA"), "");
  EXPECT_EQ(form.ControlText("cmdA"), "&A");
}

TEST(FormWindowTest, AFrameTakesTheMouseItself) {
  TestForm form;
  ASSERT_TRUE(form.Build());
  ShowWindow(form.hwnd(), SW_SHOW);
  RECT frame;
  GetWindowRect(form.Control("fraBox"), &frame);
  const LPARAM inside = MAKELPARAM(frame.left + 5, frame.top + 10);
  EXPECT_EQ(SendMessageW(form.Control("fraBox"), WM_NCHITTEST, 0, inside), HTCLIENT);
}

TEST(FormWindowTest, APressOnAFrameLeavesTheFocusWhereItWas) {
  TestForm form;
  ASSERT_TRUE(form.Build());
  ShowWindow(form.hwnd(), SW_SHOW);
  SetForegroundWindow(form.hwnd());
  const HWND button = form.Control("cmdA");
  SetFocus(button);
  ASSERT_EQ(GetFocus(), button);
  const HWND frame = form.Control("fraBox");
  const UINT presses[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
  for (const UINT message : presses) {
    SendMessageW(frame, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 10));
  }
  EXPECT_EQ(GetFocus(), button);
  EXPECT_NE(GetCapture(), frame);
}

}  // namespace
}  // namespace pellux
