// The information window as a real window, with the real clipboard and
// scripted sockets and computer name behind the form.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "info/frm_info.h"
#include "tests/unit/fakes.h"
#include "tests/win/clipboard_probe.h"
#include "ui/form_window_win.h"

// Found by argument-dependent lookup, so they live beside RECT.
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

inline void PrintTo(const RECT& r, std::ostream* out) {
  *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace pellux {
namespace {

using testing::ClipboardAnsi;
using testing::ClipboardHolder;
using testing::ClipboardUnicode;
using testing::FakeMessages;
using testing::FillClipboard;
using testing::HasTestFormat;

// Rectangles relative to the parent's client area: left, top, right, bottom.
using Rects = std::map<std::string_view, RECT>;

// The window at 96 dpi: 15 twips a pixel.
const Rects kAt96 = {
    {"cmdClose", {158, 56, 315, 79}},  {"cmdCopy2", {158, 30, 315, 55}},
    {"cmdCopy", {158, 6, 315, 29}},    {"Picture1", {27, 0, 124, 19}},
    {"Label1", {0, 0, 95, 16}},        {"fraIP", {2, -2, 149, 79}},
    {"txtHostName", {4, 58, 141, 75}}, {"txtCompName", {4, 40, 141, 57}},
    {"txtIP", {6, 22, 143, 39}},
};

// At 144 dpi, 10 twips a pixel; half pixels round away from zero.
const Rects kAt144 = {
    {"cmdClose", {237, 84, 473, 119}},  {"cmdCopy2", {237, 45, 473, 83}},
    {"cmdCopy", {237, 9, 473, 44}},     {"Picture1", {41, 0, 186, 29}},
    {"Label1", {0, 0, 143, 24}},        {"fraIP", {3, -3, 224, 119}},
    {"txtHostName", {6, 87, 212, 113}}, {"txtCompName", {6, 60, 212, 86}},
    {"txtIP", {9, 33, 215, 59}},
};

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }
DWORD ExStyle(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)); }

LONG FontHeight(HWND window) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  LOGFONTW description{};
  GetObjectW(font, sizeof description, &description);
  return description.lfHeight;
}

// The tooltip texts of a form's tooltip window, by the control they belong to.
std::map<HWND, std::wstring> Tooltips(HWND form) {
  std::map<HWND, std::wstring> tips;
  HWND tooltip = nullptr;
  while ((tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) != nullptr) {
    if (GetWindow(tooltip, GW_OWNER) != form) continue;
    const auto count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t text[80] = {};
      TTTOOLINFOW info{};
      info.cbSize = sizeof info;
      info.lpszText = text;
      SendMessageW(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&info));
      tips[reinterpret_cast<HWND>(info.uId)] = text;
    }
  }
  return tips;
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

class InfoWindowTest : public ::testing::Test, protected testing::MainFormFakes {
 protected:
  // Short pauses, so a held clipboard is told quickly.
  std::unique_ptr<Clipboard> clipboard = MakeSystemClipboard([] { Sleep(5); });
  frmInfo info_form{main, module1, *clipboard, messages};
  FormWindow info_window{info_form};

  void SetUp() override {
    main.YourIP = "192.168.0.5";
    computer.name = "PC01";
    sockets.host_name = "workstation7";
  }

  HWND form() { return info_window.hwnd(); }
  HWND Control(ControlId control) { return info_window.Control(control); }
  // A control by the name its design table gives it, for tables of rows.
  HWND Control(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kInfoControls); ++i) {
      if (kInfoControls[i].name == name) return Control(ControlId::At(i));
    }
    return nullptr;
  }
  int dpi() { return info_window.dpi(); }
  void Click(ControlId button) { SendMessageW(Control(button), BM_CLICK, 0, 0); }

  RECT OuterRect() {
    RECT rect;
    GetWindowRect(form(), &rect);
    return rect;
  }

  // The same point of the client area, in pixels at the window's DPI.
  int Px(int twips) { return TwipsToPixels(twips, dpi()); }
};

TEST_F(InfoWindowTest, LoadShowsCaptionAndValuesInACentredToolWindow) {
  info_window.Show();
  ASSERT_TRUE(info_window.loaded());
  EXPECT_TRUE(IsWindowVisible(form()));
  EXPECT_EQ(WindowText(form()), L"Pellux: 192.168.0.5");
  EXPECT_EQ(WindowText(Control(InfoControl::txtIP)), L"192.168.0.5");
  EXPECT_EQ(WindowText(Control(InfoControl::txtCompName)), L"PC01");
  EXPECT_EQ(WindowText(Control(InfoControl::txtHostName)), L"workstation7");
  EXPECT_EQ(WindowText(Control(InfoControl::cmdCopy)), L"Copy IP Address");
  EXPECT_EQ(WindowText(Control(InfoControl::cmdCopy2)), L"Copy All Information");
  EXPECT_EQ(WindowText(Control(InfoControl::cmdClose)), L"Close Window");
  EXPECT_EQ(WindowText(Control(InfoControl::Label1)), L"Network Info");
  EXPECT_EQ(GetFocus(), Control(InfoControl::cmdClose));
  // A fixed tool window, centred, without owner or taskbar button.
  const DWORD style = Style(form());
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
  const DWORD ex_style = ExStyle(form());
  EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(ex_style & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(form(), GW_OWNER), nullptr);
  const RECT outer = OuterRect();
  EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
}

TEST_F(InfoWindowTest, ClientAreaAndControlsInPixelsAtTheScreenDpi) {
  info_window.Show();
  if (const char* expected = std::getenv("PELLUX_EXPECTED_DPI")) {
    ASSERT_EQ(dpi(), std::atoi(expected)) << "the prefix is not set to the DPI the run wants";
  }
  RECT client;
  GetClientRect(form(), &client);
  Rects want;
  if (dpi() == 96) {
    want = kAt96;
    EXPECT_EQ(client, (RECT{0, 0, 318, 81}));
  } else if (dpi() == 144) {
    want = kAt144;
    EXPECT_EQ(client, (RECT{0, 0, 477, 122}));
  } else {
    for (const auto& control : kInfoControls) {
      const PixelRect r = ToPixels(control, dpi());
      want[control.name] = RECT{r.left, r.top, r.right, r.bottom};
    }
    EXPECT_EQ(client, (RECT{0, 0, Px(4770), Px(1215)}));
  }
  for (const auto& control : kInfoControls) {
    SCOPED_TRACE(control.name);
    EXPECT_EQ(RectInParent(Control(control.name)), want.at(control.name));
  }
  EXPECT_EQ(GetParent(Control(InfoControl::Label1)), Control(InfoControl::Picture1));
  for (const char* box : {"txtIP", "txtCompName", "txtHostName"}) {
    EXPECT_EQ(GetParent(Control(box)), Control(InfoControl::fraIP));
  }
}

TEST_F(InfoWindowTest, FontsAreMadeAtTheScreenDpi) {
  info_window.Show();
  const LONG arial = -FontPixelHeight(kInfoFont, dpi());
  const LONG title = -FontPixelHeight(kInfoTitleFont, dpi());
  EXPECT_EQ(arial, dpi() == 96 ? -13 : dpi() == 144 ? -20 : arial);
  EXPECT_EQ(title, dpi() == 96 ? -11 : dpi() == 144 ? -17 : title);
  for (const auto& control : kInfoControls) {
    SCOPED_TRACE(control.name);
    // A picture box has no text of its own: its font shows in its label.
    if (control.kind == ControlKind::kPictureBox) continue;
    EXPECT_EQ(FontHeight(Control(control.name)), control.name == "Label1" ? title : arial);
  }
}

TEST_F(InfoWindowTest, BoxesAreLockedCentredSingleLinesWithTheirTooltips) {
  info_window.Show();
  const std::map<HWND, std::wstring> tips = {
      {Control(InfoControl::txtHostName), L"The current host name"},
      {Control(InfoControl::txtCompName), L"The current computer name"},
      {Control(InfoControl::txtIP), L"Your Current IP Address"},
  };
  EXPECT_EQ(Tooltips(form()), tips);
  for (const char* box : {"txtIP", "txtCompName", "txtHostName"}) {
    SCOPED_TRACE(box);
    const DWORD style = Style(Control(box));
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_FALSE(style & ES_MULTILINE);
  }
  // The title box is disabled and lies in front of the frame it sits on.
  EXPECT_FALSE(IsWindowEnabled(Control(InfoControl::Picture1)));
  bool frame_seen = false;
  for (HWND child = GetWindow(form(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (child == Control(InfoControl::fraIP)) frame_seen = true;
    if (child == Control(InfoControl::Picture1)) {
      EXPECT_FALSE(frame_seen);
    }
  }
  EXPECT_TRUE(frame_seen);
}

TEST_F(InfoWindowTest, TheStaticEdgeIsOnTheThreeButtonsOnly) {
  info_window.Show();
  for (const auto& control : kInfoControls) {
    SCOPED_TRACE(control.name);
    const bool edge = ExStyle(Control(control.name)) & WS_EX_STATICEDGE;
    EXPECT_EQ(edge, control.kind == ControlKind::kCommandButton);
  }
  EXPECT_FALSE(ExStyle(form()) & WS_EX_STATICEDGE);
  // The edge narrows the client area, not the button.
  RECT client;
  GetClientRect(Control(InfoControl::cmdCopy), &client);
  const RECT outer = RectInParent(Control(InfoControl::cmdCopy));
  EXPECT_EQ(client.right, outer.right - outer.left - 2 * GetSystemMetrics(SM_CXBORDER));
  // Flattening again changes nothing.
  const DWORD once = ExStyle(Control(InfoControl::cmdCopy));
  FlattenButton(Control(InfoControl::cmdCopy));
  EXPECT_EQ(ExStyle(Control(InfoControl::cmdCopy)), once);
  EXPECT_EQ(RectInParent(Control(InfoControl::cmdCopy)), outer);
}

TEST_F(InfoWindowTest, CopyIpPutsTheAddressOfNowAloneOnTheClipboard) {
  ASSERT_TRUE(FillClipboard(L"before"));
  info_window.Show();
  main.YourIP = "10.1.2.3";  // a poll cycle after the window loaded
  Click(InfoControl::cmdCopy);
  EXPECT_EQ(ClipboardUnicode(), L"10.1.2.3");
  EXPECT_EQ(ClipboardAnsi(), "10.1.2.3");
  EXPECT_FALSE(HasTestFormat());
  EXPECT_EQ(WindowText(Control(InfoControl::txtIP)), L"192.168.0.5");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(InfoWindowTest, CopyAllPutsTheSummaryOfTheBoxesOnTheClipboard) {
  ASSERT_TRUE(FillClipboard(L"before"));
  info_window.Show();
  main.YourIP = "10.1.2.3";
  Click(InfoControl::cmdCopy2);
  EXPECT_EQ(ClipboardAnsi(), "IP: 192.168.0.5\r\nComputer Name: PC01\r\nHostname: workstation7");
  EXPECT_EQ(ClipboardUnicode(),
            L"IP: 192.168.0.5\r\nComputer Name: PC01\r\nHostname: workstation7");
  EXPECT_FALSE(HasTestFormat());
}

TEST_F(InfoWindowTest, AHeldClipboardIsToldAndLeftAsItWas) {
  ASSERT_TRUE(FillClipboard(L"before"));
  info_window.Show();
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.held());
    Click(InfoControl::cmdCopy);
    Click(InfoControl::cmdCopy2);
  }
  const FakeMessages::Box told{std::string(kClipboardInUseText), "Pellux", MessageIcon::kNone};
  EXPECT_EQ(messages.shown, (std::vector<FakeMessages::Box>{told, told}));
  EXPECT_CLIPBOARD_LEFT_AS_IT_WAS(L"before");
  EXPECT_TRUE(info_window.loaded());
}

TEST_F(InfoWindowTest, TheLeftButtonAloneOnTheBodyDragsTheWindow) {
  info_window.Show();
  const RECT start = OuterRect();
  // Between the frame and the buttons.
  const int x = (Px(30 + 2205) + Px(2370)) / 2;
  const int y = Px(600);
  SendMessageW(form(), WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
  SendMessageW(form(), WM_MOUSEMOVE, MK_LBUTTON, Point(x + 30, y - 20));
  RECT moved = start;
  OffsetRect(&moved, 30, -20);
  EXPECT_EQ(OuterRect(), moved);
  // The next move is relative to the moved window.
  SendMessageW(form(), WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, Point(x + 5, y + 10));
  OffsetRect(&moved, 5, 10);
  EXPECT_EQ(OuterRect(), moved);
  SendMessageW(form(), WM_LBUTTONUP, 0, Point(x + 5, y + 10));
  EXPECT_EQ(GetCapture(), nullptr);
  // The right button, alone or with the left, drags nothing.
  SendMessageW(form(), WM_RBUTTONDOWN, MK_RBUTTON, Point(x, y));
  SendMessageW(form(), WM_MOUSEMOVE, MK_RBUTTON, Point(x + 30, y));
  SendMessageW(form(), WM_MOUSEMOVE, MK_RBUTTON | MK_LBUTTON, Point(x + 30, y));
  SendMessageW(form(), WM_RBUTTONUP, 0, Point(x + 30, y));
  EXPECT_EQ(OuterRect(), moved);
}

TEST_F(InfoWindowTest, OnlyTheUncoveredBodyTakesThePress) {
  info_window.Show();
  auto at = [this](int x_twips, int y_twips) {
    POINT point{Px(x_twips), Px(y_twips)};
    ClientToScreen(form(), &point);
    return WindowFromPoint(point);
  };
  EXPECT_EQ(at(2300, 600), form());                      // between frame and buttons
  EXPECT_EQ(at(130, 150), Control(InfoControl::fraIP));  // inside the frame, beside the title
  EXPECT_EQ(at(1000, 700), Control(InfoControl::txtCompName));  // a box in the frame
  EXPECT_EQ(at(3000, 600), Control(InfoControl::cmdCopy2));
}

TEST_F(InfoWindowTest, ShowingItAgainBringsItUpWithoutLoading) {
  info_window.Show();
  const HWND first = form();
  main.YourIP = "10.9.9.9";
  computer.name = "OTHER";
  const auto queries = computer.sizes.size();
  ShowWindow(first, SW_SHOWMINNOACTIVE);  // as Windows' first show after `start /min` leaves it
  info_window.Show();
  EXPECT_FALSE(IsIconic(first));
  EXPECT_EQ(form(), first);
  EXPECT_EQ(WindowText(form()), L"Pellux: 192.168.0.5");
  EXPECT_EQ(WindowText(Control(InfoControl::txtCompName)), L"PC01");
  EXPECT_EQ(computer.sizes.size(), queries);
  EXPECT_EQ(GetForegroundWindow(), first);
}

TEST_F(InfoWindowTest, ClosingAndOpeningAgainReadsFreshValues) {
  const UINT ways[] = {0, WM_CLOSE, 1};  // the button, the close box, Exit
  for (const UINT way : ways) {
    SCOPED_TRACE(way);
    info_window.Show();
    const HWND shown = form();
    if (way == 0) {
      Click(InfoControl::cmdClose);
    } else if (way == WM_CLOSE) {
      SendMessageW(shown, WM_CLOSE, 0, 0);
    } else {
      info_window.Unload();
    }
    EXPECT_FALSE(info_window.loaded());
    EXPECT_FALSE(IsWindow(shown));
    main.YourIP = "10.9.9." + std::to_string(way);
    computer.name = "PC" + std::to_string(way);
    info_window.Show();
    EXPECT_EQ(WindowText(form()), L"Pellux: 10.9.9." + std::to_wstring(way));
    EXPECT_EQ(WindowText(Control(InfoControl::txtCompName)), L"PC" + std::to_wstring(way));
    info_window.Unload();
  }
}

}  // namespace
}  // namespace pellux
