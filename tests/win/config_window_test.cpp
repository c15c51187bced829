// The configuration window as a real window, with the real registry, the
// real shell's taskbar and the test program's own version resource.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "config/frm_config.h"
#include "config/program_version.h"
#include "resource.h"
#include "tests/unit/fakes.h"
#include "ui/form_window_win.h"

namespace pellux {
namespace {

using testing::FakeMessages;

constexpr wchar_t kOptionsKey[] = L"Software\\Pellux\\Options";

// The stored interval as the registry holds it, or nothing.
std::optional<std::wstring> StoredInterval() {
  wchar_t data[64] = {};
  DWORD bytes = sizeof data;
  DWORD type = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kOptionsKey, L"Interval", RRF_RT_ANY, &type, data, &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_SZ) return L"<not REG_SZ>";
  return std::wstring(data);
}

void SetStoredInterval(const std::optional<std::wstring>& value) {
  if (!value) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"Interval");
    return;
  }
  RegSetKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"Interval", REG_SZ, value->c_str(),
                  static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
}

std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class ConfigWindowTest : public ::testing::Test, protected testing::MainFormFakes {
 protected:
  std::unique_ptr<SettingsStore> registry = MakeSystemSettings();
  frmConfig form{main, *registry, messages, ProgramVersion()};
  FormWindow config_window{form};
  std::optional<std::wstring> saved_;
  bool had_key_ = false;

  // The program's real setting is in use here: it is put back afterwards,
  // and the program's key goes again if the tests made it.
  void SetUp() override {
    HKEY key = nullptr;
    had_key_ =
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Pellux", 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key != nullptr) RegCloseKey(key);
    saved_ = StoredInterval();
    SetStoredInterval(std::nullopt);
  }
  void TearDown() override {
    config_window.Unload();
    if (had_key_) {
      SetStoredInterval(saved_);
    } else {
      RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pellux");
      RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Pellux");
    }
  }

  HWND Window() { return config_window.hwnd(); }
  HWND Control(ControlId control) { return config_window.Control(control); }
  // A control by the name its design table gives it, for tables of rows.
  HWND Control(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kConfigControls); ++i) {
      if (kConfigControls[i].name == name) return Control(ControlId::At(i));
    }
    return nullptr;
  }
  int Selected() {
    return static_cast<int>(SendMessageW(Control(ConfigControl::cboInterval), CB_GETCURSEL, 0, 0));
  }

  // Chooses an item as the user does: the selection, then its notification.
  void Choose(int index) {
    const HWND list = Control(ConfigControl::cboInterval);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  void Click(ControlId button) { SendMessageW(Control(button), BM_CLICK, 0, 0); }
};

TEST_F(ConfigWindowTest, ListHoldsTheEightIntervalsWithTheirExactTexts) {
  config_window.Show();
  ASSERT_TRUE(config_window.loaded());
  const HWND list = Control(ConfigControl::cboInterval);
  const auto style = static_cast<DWORD>(GetWindowLongW(list, GWL_STYLE));
  EXPECT_EQ(style & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST));
  const wchar_t* const expected[] = {L"1 Second",  L"2 Seconds",  L"3 Seconds",  L"4 Seconds ",
                                     L"5 Seconds", L"10 Seconds", L"20 Seconds", L"30 Seconds"};
  ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 8);
  for (int i = 0; i < 8; ++i) {
    wchar_t text[64] = {};
    ASSERT_NE(
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text)),
        CB_ERR);
    EXPECT_STREQ(text, expected[i]);
  }
}

TEST_F(ConfigWindowTest, WindowAndControlsFollowTheDesignAtTheScreenDpi) {
  config_window.Show();
  const int dpi = config_window.dpi();
  if (const char* expected = std::getenv("PELLUX_EXPECTED_DPI")) {
    EXPECT_EQ(dpi, std::atoi(expected));
  }
  EXPECT_EQ(Text(Window()), L"Pellux Configuration");
  const auto style = static_cast<DWORD>(GetWindowLongW(Window(), GWL_STYLE));
  const auto ex_style = static_cast<DWORD>(GetWindowLongW(Window(), GWL_EXSTYLE));
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(ex_style & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(Window(), GW_OWNER), nullptr);

  RECT client;
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(3450, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(1875, dpi));
  // Each control's edges in twips within its container, as the window was
  // designed: written out here, not taken from the table the window is
  // built from, so a wrong number there shows.
  struct Pinned {
    const char* name;
    const char* parent;
    int left, top, right, bottom;
  };
  const Pinned pinned[] = {
      {"cmdAbout", "", 60, 1470, 975, 1845},
      {"cmdCancel", "", 2490, 1470, 3405, 1845},
      {"cmdOK", "", 1560, 1470, 2475, 1845},
      {"fraInterval", "", 30, 30, 3405, 1365},
      {"cboInterval", "fraInterval", 90, 540, 3285, 900},
      {"lblCheck", "fraInterval", 90, 270, 2715, 495},
      {"fraAbout", "", 30, 30, 3405, 1365},
      {"lblAbout", "fraAbout", 90, 330, 3255, 1215},
  };
  ASSERT_EQ(std::size(pinned), std::size(kConfigControls));
  for (const Pinned& want : pinned) {
    SCOPED_TRACE(want.name);
    const HWND control = Control(want.name);
    ASSERT_NE(control, nullptr);
    const RECT rect = RectInParent(control);
    EXPECT_EQ(rect.left, TwipsToPixels(want.left, dpi));
    EXPECT_EQ(rect.top, TwipsToPixels(want.top, dpi));
    EXPECT_EQ(rect.right, TwipsToPixels(want.right, dpi));
    EXPECT_EQ(rect.bottom, TwipsToPixels(want.bottom, dpi));  // the list's closed field too
    EXPECT_EQ(GetParent(control), *want.parent == '\0' ? Window() : Control(want.parent));
  }
  EXPECT_EQ(Text(Control(ConfigControl::cmdOK)), L"&OK");
  EXPECT_EQ(Text(Control(ConfigControl::cmdCancel)), L"&Cancel");
  EXPECT_EQ(Text(Control(ConfigControl::cmdAbout)), L"&About");
  EXPECT_EQ(Text(Control(ConfigControl::fraInterval)), L"Interval Configuration");
  EXPECT_EQ(Text(Control(ConfigControl::lblCheck)), L"Check for new IP address every:");
  for (const char* button : {"cmdOK", "cmdCancel", "cmdAbout"}) {
    const auto kind = static_cast<DWORD>(GetWindowLongW(Control(button), GWL_STYLE)) & BS_TYPEMASK;
    EXPECT_EQ(kind, static_cast<DWORD>(BS_PUSHBUTTON)) << button;
  }
  EXPECT_TRUE(IsWindowVisible(Control(ConfigControl::fraInterval)));
  EXPECT_FALSE(IsWindowVisible(Control(ConfigControl::fraAbout)));
}

TEST_F(ConfigWindowTest, ControlsTakeTheirDesignFonts) {
  config_window.Show();
  const int dpi = config_window.dpi();
  auto height = [](HWND control) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    GetObjectW(font, sizeof description, &description);
    return description.lfHeight;
  };
  EXPECT_EQ(height(Control(ConfigControl::cboInterval)), -FontPixelHeight({"Arial", 9.75}, dpi));
  EXPECT_EQ(height(Control(ConfigControl::cmdOK)), -FontPixelHeight({"Arial", 9.75}, dpi));
  EXPECT_EQ(height(Control(ConfigControl::lblCheck)), -FontPixelHeight({"Arial", 9}, dpi));
  EXPECT_EQ(height(Control(ConfigControl::lblAbout)), -FontPixelHeight({"Arial", 8.25}, dpi));
}

TEST_F(ConfigWindowTest, OpensWithTheCurrentIntervalAndTheFocusInTheList) {
  main.TimerInterval = 4000;
  config_window.Show();
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_EQ(Selected(), 3);
  EXPECT_EQ(GetFocus(), Control(ConfigControl::cboInterval));
  config_window.Unload();
  EXPECT_FALSE(config_window.loaded());

  main.TimerInterval = 2500;
  config_window.Show();
  EXPECT_EQ(Selected(), CB_ERR);
  EXPECT_EQ(Text(Control(ConfigControl::cboInterval)), L"");
}

TEST_F(ConfigWindowTest, ThirtySecondsAndOkStoresTheChoiceAndCloses) {
  config_window.Show();
  Choose(7);
  Click(ConfigControl::cmdOK);
  EXPECT_FALSE(config_window.loaded());
  EXPECT_FALSE(IsWindow(Window()));
  EXPECT_EQ(main.TimerInterval, 30000);
  EXPECT_EQ(StoredInterval(), L"30000");
  EXPECT_FALSE(tray.interval_ms.has_value());  // the poll timer is not re-armed

  config_window.Show();
  EXPECT_EQ(Selected(), 7);
  EXPECT_EQ(IntervalFromSetting(registry->GetSetting("Pellux", "Options", "Interval")), 30000);
}

TEST_F(ConfigWindowTest, CancelAndTheCloseBoxStoreNothing) {
  main.TimerInterval = 10000;
  config_window.Show();
  Choose(0);
  Click(ConfigControl::cmdCancel);
  EXPECT_FALSE(config_window.loaded());

  config_window.Show();
  EXPECT_EQ(Selected(), 5);
  Choose(0);
  SendMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(config_window.loaded());

  EXPECT_EQ(StoredInterval(), std::nullopt);
  EXPECT_EQ(main.TimerInterval, 10000);
  config_window.Show();
  EXPECT_EQ(Selected(), 5);
}

TEST_F(ConfigWindowTest, ShowingAgainWhileLoadedKeepsTheWindowAndItsSelection) {
  config_window.Show();
  const HWND first = Window();
  Choose(6);
  Click(ConfigControl::cmdAbout);
  config_window.Show();
  EXPECT_EQ(Window(), first);
  EXPECT_EQ(Selected(), 6);
  EXPECT_TRUE(IsWindowVisible(Control(ConfigControl::fraAbout)));
}

// The version resource of the running program, read here independently.
std::vector<unsigned char> VersionBlock() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  std::vector<unsigned char> block(GetFileVersionInfoSizeW(path, &ignored));
  if (!block.empty() &&
      !GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data())) {
    block.clear();
  }
  return block;
}

// Its fixed version numbers as "major.minor".
std::wstring VersionFromResource() {
  std::vector<unsigned char> block = VersionBlock();
  void* found = nullptr;
  UINT length = 0;
  if (block.empty() || !VerQueryValueW(block.data(), L"\\", &found, &length)) return L"<none>";
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(found);
  return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
         std::to_wstring(LOWORD(info->dwFileVersionMS));
}

// One of its texts (US English, Unicode), as Explorer's details show it.
std::wstring VersionText(const wchar_t* name) {
  std::vector<unsigned char> block = VersionBlock();
  void* found = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (block.empty() || !VerQueryValueW(block.data(), path.c_str(), &found, &length)) {
    return L"<none>";
  }
  return static_cast<const wchar_t*>(found);
}

TEST(VersionResourceTest, TextsAgreeWithTheNumbersAndTheAboutPanel) {
  const std::wstring version = VersionFromResource();
  const std::wstring copyright = VersionText(L"LegalCopyright");
  struct Case {
    const wchar_t* name;
    std::wstring text;
  };
  const Case cases[] = {
      {L"ProductName", L"Pellux"},
      {L"FileDescription", L"Pellux"},
      {L"CompanyName", L"The Pellux authors"},
      {L"FileVersion", version},
      {L"ProductVersion", version},
      {L"OriginalFilename", L"pellux.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(VersionText(c.name), c.text) << c.name;
  // The About panel's notice begins with the same copyright line.
  EXPECT_EQ(copyright, L"Copyright (C) The Pellux authors");
  EXPECT_TRUE(std::wstring(kAboutNotice.begin(), kAboutNotice.end()).starts_with(copyright));
}

TEST_F(ConfigWindowTest, AboutSwitchesThePanelsAndNamesTheVersion) {
  ASSERT_EQ(VersionFromResource(),
            std::to_wstring(PELLUX_VERSION_MAJOR) + L"." + std::to_wstring(PELLUX_VERSION_MINOR));
  config_window.Show();
  EXPECT_EQ(Text(Control(ConfigControl::fraAbout)), L"About Pellux v" + VersionFromResource());
  EXPECT_EQ(Text(Control(ConfigControl::lblAbout)),
            L"Copyright (C) The Pellux authors.\r\n\r\n"
            L"Visit the Pellux home page for more programs.");

  Click(ConfigControl::cmdAbout);
  EXPECT_TRUE(IsWindowVisible(Control(ConfigControl::fraAbout)));
  EXPECT_TRUE(IsWindowVisible(Control(ConfigControl::lblAbout)));
  EXPECT_FALSE(IsWindowVisible(Control(ConfigControl::fraInterval)));
  EXPECT_FALSE(IsWindowVisible(Control(ConfigControl::cboInterval)));
  EXPECT_EQ(Text(Control(ConfigControl::cmdAbout)), L"&Config");
  EXPECT_EQ(form.Tag(ConfigControl::cmdAbout), "Interval");

  Click(ConfigControl::cmdAbout);
  EXPECT_FALSE(IsWindowVisible(Control(ConfigControl::fraAbout)));
  EXPECT_TRUE(IsWindowVisible(Control(ConfigControl::fraInterval)));
  EXPECT_EQ(Text(Control(ConfigControl::cmdAbout)), L"&About");
  EXPECT_EQ(form.Tag(ConfigControl::cmdAbout), "About");
}

TEST_F(ConfigWindowTest, ClosedInTheAboutPanelItOpensInTheIntervalPanel) {
  config_window.Show();
  Click(ConfigControl::cmdAbout);
  Click(ConfigControl::cmdCancel);
  config_window.Show();
  EXPECT_TRUE(IsWindowVisible(Control(ConfigControl::fraInterval)));
  EXPECT_FALSE(IsWindowVisible(Control(ConfigControl::fraAbout)));
  EXPECT_EQ(Text(Control(ConfigControl::cmdAbout)), L"&About");
  EXPECT_EQ(form.Tag(ConfigControl::cmdAbout), "About");
}

TEST_F(ConfigWindowTest, OkInTheAboutPanelStoresTheHiddenChoice) {
  config_window.Show();
  Choose(1);
  Click(ConfigControl::cmdAbout);
  Click(ConfigControl::cmdOK);
  EXPECT_FALSE(config_window.loaded());
  EXPECT_EQ(StoredInterval(), L"2000");
  EXPECT_EQ(main.TimerInterval, 2000);
}

TEST_F(ConfigWindowTest, TabGoesListOkCancelAbout) {
  config_window.Show();
  std::vector<HWND> visited{GetFocus()};
  for (int i = 0; i < 4; ++i) {
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    FormWindow::HandleQueuedMessages();
    visited.push_back(GetFocus());
  }
  EXPECT_EQ(visited,
            (std::vector<HWND>{Control(ConfigControl::cboInterval), Control(ConfigControl::cmdOK),
                               Control(ConfigControl::cmdCancel), Control(ConfigControl::cmdAbout),
                               Control(ConfigControl::cboInterval)}));
}

TEST_F(ConfigWindowTest, EscAndEnterInTheListPressNothing) {
  config_window.Show();
  Choose(7);
  ASSERT_EQ(GetFocus(), Control(ConfigControl::cboInterval));
  for (const WPARAM key : {WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}}) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    FormWindow::HandleQueuedMessages();
  }
  EXPECT_TRUE(config_window.loaded());
  EXPECT_EQ(StoredInterval(), std::nullopt);
  EXPECT_EQ(main.TimerInterval, 5000);
}

TEST_F(ConfigWindowTest, AccessKeysPressTheirButtons) {
  config_window.Show();
  Choose(2);
  auto alt = [](wchar_t letter) {
    PostMessageW(GetFocus(), WM_SYSCHAR, letter, 1 << 29);  // with Alt held
    FormWindow::HandleQueuedMessages();
  };
  alt(L'a');
  EXPECT_TRUE(IsWindowVisible(Control(ConfigControl::fraAbout)));
  alt(L'o');
  EXPECT_FALSE(config_window.loaded());
  EXPECT_EQ(StoredInterval(), L"3000");
}

TEST_F(ConfigWindowTest, StandsOnTheShellsTaskbarAtTheRightEdgeOfTheScreen) {
  config_window.Show();
  APPBARDATA taskbar{};
  taskbar.cbSize = sizeof taskbar;
  ASSERT_TRUE(SHAppBarMessage(ABM_GETTASKBARPOS, &taskbar));
  EXPECT_EQ(form.TaskTop, taskbar.rc.top);
  RECT outer;
  GetWindowRect(Window(), &outer);
  const int top = static_cast<int>(taskbar.rc.top) - (outer.bottom - outer.top);
  if (top < 0) GTEST_SKIP() << "the taskbar is not along the bottom of the screen";
  EXPECT_EQ(outer.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(outer.bottom, taskbar.rc.top);
}

}  // namespace
}  // namespace pellux
