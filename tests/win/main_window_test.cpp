// The main window and the tray icon, as real windows under the platform,
// with scripted seams behind the form.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "resource.h"
#include "tests/win/app_fakes.h"

namespace pellux {
namespace {

using testing::ForgetIcon;
using testing::IconKnown;
using testing::PumpMessages;

class AppTest : public ::testing::Test, protected testing::AppFakes {
 protected:
  void SetUp() override {
    sockets.SetAddresses({"10.0.0.1", "192.168.0.5"});
    settings.values[{"Pellux", "Options", "Interval"}] = "1000";
  }

  HWND window() { return app.main_window().hwnd(); }
};

TEST_F(AppTest, MainWindowStaysHiddenWithoutTaskbarButton) {
  app.Start();
  ASSERT_NE(window(), nullptr);
  EXPECT_FALSE(IsWindowVisible(window()));
  const auto ex_style = static_cast<DWORD>(GetWindowLongW(window(), GWL_EXSTYLE));
  EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(ex_style & WS_EX_APPWINDOW);
  const auto style = static_cast<DWORD>(GetWindowLongW(window(), GWL_STYLE));
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
  wchar_t title[16] = {};
  GetWindowTextW(window(), title, 16);
  EXPECT_STREQ(title, L"Pellux");
  // The form's icon is the program icon.
  EXPECT_NE(GetClassLongPtrW(window(), GCLP_HICON), 0u);
}

TEST_F(AppTest, StartPutsTheIconWithTheAddressInTheTray) {
  app.Start();
  EXPECT_TRUE(IconKnown(window()));
  EXPECT_EQ(app.main_form().YourIP, "192.168.0.5");
}

TEST_F(AppTest, TimerTickRunsThePollCycle) {
  app.Start();
  sockets.SetAddresses({"172.16.0.1"});
  SendMessageW(window(), WM_TIMER, MainWindow::kTimerId, 0);
  EXPECT_EQ(app.main_form().YourIP, "172.16.0.1");
  EXPECT_EQ(app.main_form().lstIPs.Items(), std::vector<std::string>{"192.168.0.5"});
}

TEST_F(AppTest, TheRealTimerTicks) {
  settings.values[{"Pellux", "Options", "Interval"}] = "50";
  app.Start();
  const int lookups = sockets.lookups;
  MSG message;
  while (sockets.lookups == lookups && GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  EXPECT_EQ(sockets.lookups, lookups + 1);
}

TEST_F(AppTest, IconComesBackWhenTheTaskbarIsCreatedAgain) {
  app.Start();
  // Explorer's restart loses every icon; it then broadcasts TaskbarCreated.
  ASSERT_TRUE(ForgetIcon(window()));
  ASSERT_FALSE(IconKnown(window()));

  SendMessageW(window(), WinTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(IconKnown(window()));
}

TEST_F(AppTest, FatalSocketsFailureRemovesTheIconFirst) {
  sockets.startup_result = 10091;
  app.Start();
  EXPECT_EQ(process.exit_code, kSocketsFailureExitCode);
  EXPECT_FALSE(IconKnown(window()));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Winsock.dll Error."});
}

TEST_F(AppTest, CloseRequestEndsTheProgramAsExitDoes) {
  app.Start();
  const HWND owner = window();
  app.main_form().mnuGetIP_Click();
  app.main_form().mnuConfigure_Click();
  ASSERT_TRUE(app.info_window().loaded());
  ASSERT_TRUE(app.config_window().loaded());

  PostMessageW(owner, WM_CLOSE, 0, 0);
  PumpMessages();
  EXPECT_EQ(process.exit_code, 0);
  EXPECT_FALSE(app.info_window().loaded());
  EXPECT_FALSE(app.config_window().loaded());
  EXPECT_FALSE(IconKnown(owner));
}

TEST_F(AppTest, AnotherStartsRequestOpensTheInformationWindowOnce) {
  app.Start();
  SendMessageW(window(), MainWindow::ShowInformationMessage(), 0, 0);
  ASSERT_TRUE(app.info_window().loaded());
  const HWND info = app.info_window().hwnd();
  EXPECT_TRUE(IsWindowVisible(info));

  // A further start brings up the same window, as "Get IP" does.
  sockets.SetAddresses({"172.16.0.1"});
  SendMessageW(window(), MainWindow::ShowInformationMessage(), 0, 0);
  EXPECT_EQ(app.info_window().hwnd(), info);
  EXPECT_FALSE(process.exit_code);
}

TEST_F(AppTest, DestroyingTheWindowRemovesTheIcon) {
  app.Start();
  const HWND owner = window();
  DestroyWindow(owner);
  EXPECT_FALSE(IconKnown(owner));
}

// Records what the main window delivers.
class EventSpy final : public MainFormEvents {
 public:
  std::vector<std::string> events;
  void Timer1_Timer() override { events.push_back("tick"); }
  void Trayicon1_Activate() override { events.push_back("activate"); }
  void Trayicon1_MouseButton(int button, std::optional<ScreenPoint> place) override {
    events.push_back("button " + std::to_string(button));
    if (place) events.back() += " at " + std::to_string(place->x) + "," + std::to_string(place->y);
  }
  void mnuMain_Click(ControlId entry) override {
    events.push_back("menu " + std::string(kMainMenu[entry.index()].name));
  }
};

// A main window that delivers its events to a spy.
struct SpiedMainWindow {
  EventSpy spy;
  MainWindow window{spy, {}};
};

TEST(MainWindowTest, TrayCallbacksBecomeTheTwoEvents) {
  struct Case {
    UINT callback;
    const char* event;
  };
  const Case cases[] = {
      {NIN_SELECT, "activate"},       {NIN_KEYSELECT, "activate"},
      {WM_LBUTTONDBLCLK, "activate"}, {WM_CONTEXTMENU, "button 2 at 10,20"},
      {WM_LBUTTONUP, "button 1"},     {WM_MBUTTONUP, "button 4"},
      {WM_MOUSEMOVE, nullptr},        {WM_RBUTTONDOWN, nullptr},
      {WM_RBUTTONUP, nullptr},        {WM_LBUTTONDOWN, nullptr},
      {NIN_BALLOONSHOW, nullptr},     {NIN_POPUPOPEN, nullptr},
  };
  SpiedMainWindow main;
  EventSpy& spy = main.spy;
  MainWindow& window = main.window;
  ASSERT_TRUE(window.Create());
  for (const auto& c : cases) {
    spy.events.clear();
    // Version 4 puts the event in the low word and the icon id in the high.
    SendMessageW(window.hwnd(), kTrayCallbackMessage, MAKEWPARAM(10, 20),
                 MAKELPARAM(c.callback, 1));
    const auto expected = c.event ? std::vector<std::string>{c.event} : std::vector<std::string>{};
    EXPECT_EQ(spy.events, expected) << c.callback;
  }
  SendMessageW(window.hwnd(), WM_TIMER, MainWindow::kTimerId, 0);
  SendMessageW(window.hwnd(), WM_TIMER, MainWindow::kTimerId + 1, 0);
  EXPECT_EQ(spy.events, std::vector<std::string>{"tick"});
}

TEST(MainWindowTest, RequestsFromOutsideBecomeMenuCommands) {
  SpiedMainWindow main;
  EventSpy& spy = main.spy;
  MainWindow& window = main.window;
  ASSERT_TRUE(window.Create());
  SendMessageW(window.hwnd(), MainWindow::ShowInformationMessage(), 0, 0);
  // WM_NULL, which follows every tray menu, is no request.
  SendMessageW(window.hwnd(), WM_NULL, 0, 0);
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(spy.events, (std::vector<std::string>{"menu mnuGetIP", "menu mnuExit"}));
  // The form decides what ending means; the window does not destroy itself.
  EXPECT_TRUE(IsWindow(window.hwnd()));
}

// The shell as the icon's owner sees it: whether the icon is shown, and in
// which version its callbacks come. A click on a shown icon comes in the
// icon's version at that moment.
struct ShellModel {
  bool exists = false;
  bool shown = false;
  UINT version = 0;
  std::wstring tip;
  HICON icon = nullptr;
  bool shows_tip = false;  // on version 4, while the last add or modify asks
  // A shell too slow to answer in time: it does what it is asked, but the
  // call reports failure.
  bool times_out = false;
  // A shell still starting refuses this many adds.
  int refused_adds = 0;
  bool refuses_version_4 = false;
  // Set when the icon was ever shown on version 0 while it was asked for
  // version 4, where a right click brings no WM_CONTEXTMENU.
  bool shown_before_version_4 = false;
  int calls = 0;
  int focus_returns = 0;
};
ShellModel shell_model;

BOOL WINAPI ModelNotify(DWORD message, PNOTIFYICONDATAW data) {
  ShellModel& shell = shell_model;
  ++shell.calls;
  auto apply = [&] {
    if (data->uFlags & NIF_STATE && data->dwStateMask & NIS_HIDDEN) {
      shell.shown = (data->dwState & NIS_HIDDEN) == 0;
    }
    if (data->uFlags & NIF_TIP) shell.tip = data->szTip;
    if (data->uFlags & NIF_ICON) shell.icon = data->hIcon;
    shell.shows_tip = (data->uFlags & NIF_SHOWTIP) != 0;
  };
  switch (message) {
    case NIM_ADD:
      if (shell.exists) return FALSE;
      if (shell.refused_adds > 0) {
        --shell.refused_adds;
        return FALSE;
      }
      shell.exists = shell.shown = true;
      shell.version = 0;
      shell.tip.clear();
      apply();
      break;
    case NIM_MODIFY:
      if (!shell.exists) return FALSE;
      apply();
      break;
    case NIM_SETVERSION:
      if (!shell.exists || shell.refuses_version_4) return FALSE;
      shell.version = data->uVersion;
      break;
    case NIM_SETFOCUS:
      if (!shell.exists) return FALSE;
      ++shell.focus_returns;
      break;
    case NIM_DELETE:
      if (!shell.exists) return FALSE;
      shell.exists = shell.shown = false;
      shell.version = 0;
      shell.tip.clear();
      break;
    default:
      return FALSE;
  }
  if (shell.shown && !shell.refuses_version_4 && shell.version < NOTIFYICON_VERSION_4) {
    shell.shown_before_version_4 = true;
  }
  return shell.times_out ? FALSE : TRUE;
}

// The width of an icon's image.
int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// Delivers this thread's messages until `done` holds; a watchdog ends the
// wait after a minute, so that a timer never set fails the test instead of
// hanging it.
template <typename Done>
void PumpUntil(Done done) {
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 60000, nullptr);
  MSG message;
  while (!done() && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == WM_TIMER && message.wParam == watchdog) {
      break;
    }
    DispatchMessageW(&message);
  }
  KillTimer(nullptr, watchdog);
}

// The main window with its icon on the modelled shell.
class ModelledShellTest : public ::testing::Test {
 protected:
  void SetUp() override { shell_model = {}; }
  void Create() { ASSERT_TRUE(window.Create()); }
  void Callback(WPARAM wparam, LPARAM lparam) {
    SendMessageW(window.hwnd(), kTrayCallbackMessage, wparam, lparam);
  }

  EventSpy spy;
  bool icon_lost = false;
  MainWindow window{spy, [this] { icon_lost = true; }, ModelNotify};
};

TEST_F(ModelledShellTest, TheIconIsShownOnlyOnceItsClicksComeInVersion4) {
  Create();
  EXPECT_TRUE(shell_model.shown);
  // Before the form sets it, the tip says what it would with no address.
  EXPECT_EQ(shell_model.tip, L"Pellux: ");
  EXPECT_EQ(shell_model.version, static_cast<UINT>(NOTIFYICON_VERSION_4));
  EXPECT_TRUE(shell_model.shows_tip);
  // Explorer restarted: the icon is added again, with its tip, to a shell
  // that has none.
  window.tray().SetTip("Pellux: 192.0.2.7");
  shell_model.exists = false;
  SendMessageW(window.hwnd(), WinTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(shell_model.shown);
  EXPECT_EQ(shell_model.tip, L"Pellux: 192.0.2.7");
  EXPECT_FALSE(shell_model.shown_before_version_4);
}

TEST_F(ModelledShellTest, AnIconTheShellStillHoldsIsTakenOverAndRemovedAtTheEnd) {
  Create();
  // "TaskbarCreated" from a shell that kept its icons: the add is refused.
  SendMessageW(window.hwnd(), WinTrayIcon::TaskbarCreatedMessage(), 0, 0);
  window.tray().SetTip("Pellux: 192.0.2.7");
  EXPECT_EQ(shell_model.tip, L"Pellux: 192.0.2.7");
  EXPECT_TRUE(shell_model.shown);
  DestroyWindow(window.hwnd());
  EXPECT_FALSE(shell_model.exists);
}

TEST_F(ModelledShellTest, AnAddTheShellRefusesIsTriedAgainUntilTaken) {
  // A shell still starting at sign-in, which will send no "TaskbarCreated".
  shell_model.refused_adds = 3;
  Create();
  ASSERT_FALSE(shell_model.exists);
  // The tip is kept for the icon, not sent to a shell that has none.
  const int calls = shell_model.calls;
  window.tray().SetTip("Pellux: 192.0.2.7");
  EXPECT_EQ(shell_model.calls, calls);

  PumpUntil([] { return shell_model.exists; });
  EXPECT_EQ(shell_model.refused_adds, 0);
  EXPECT_TRUE(shell_model.shown);
  EXPECT_EQ(shell_model.version, static_cast<UINT>(NOTIFYICON_VERSION_4));
  EXPECT_EQ(shell_model.tip, L"Pellux: 192.0.2.7");
  EXPECT_FALSE(shell_model.shown_before_version_4);
  // Once taken, the icon is not asked for again.
  EXPECT_FALSE(KillTimer(window.hwnd(), WinTrayIcon::kRetryTimerId));
  EXPECT_FALSE(icon_lost);
}

TEST_F(ModelledShellTest, AnIconTheShellLostIsAddedAgainWhenItsTipChanges) {
  Create();
  window.tray().SetTip("Pellux: ");
  // The shell lost the icon without a broadcast: the next change of tip
  // finds out and adds it again.
  shell_model.exists = shell_model.shown = false;
  window.tray().SetTip("Pellux: 192.0.2.7");
  EXPECT_TRUE(shell_model.shown);
  EXPECT_EQ(shell_model.tip, L"Pellux: 192.0.2.7");
  EXPECT_EQ(shell_model.version, static_cast<UINT>(NOTIFYICON_VERSION_4));
}

TEST_F(ModelledShellTest, WithoutVersion4TheOldClicksOpenTheMenuAndActivate) {
  shell_model.refuses_version_4 = true;
  Create();
  EXPECT_TRUE(shell_model.shown);
  // Version 0: the mouse message is the whole lParam, the icon's id wParam.
  const struct {
    UINT callback;
    std::vector<std::string> events;
  } cases[] = {
      {WM_RBUTTONUP, {"button 2"}}, {WM_LBUTTONUP, {"activate", "button 1"}},
      {WM_MBUTTONUP, {"button 4"}}, {WM_RBUTTONDOWN, {}},
      {WM_MOUSEMOVE, {}},
  };
  for (const auto& c : cases) {
    spy.events.clear();
    Callback(WinTrayIcon::kIconId, static_cast<LPARAM>(c.callback));
    EXPECT_EQ(spy.events, c.events) << c.callback;
  }
}

TEST_F(ModelledShellTest, TheImageIsTheSizeTheShellShowsAtTheWindowsDpi) {
  Create();
  const int small = GetSystemMetrics(SM_CXSMICON);
  EXPECT_EQ(IconWidth(shell_model.icon), small);
  const int dpi = ScreenDpi();
  SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi * 2, dpi * 2), 0);
  EXPECT_EQ(IconWidth(shell_model.icon), small * 2);
  EXPECT_TRUE(shell_model.shows_tip);
  SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(65535, 65535), 0);  // from anyone
  EXPECT_EQ(IconWidth(shell_model.icon), MulDiv(small, 480, dpi));          // 500 % at most
  // "TaskbarCreated" follows a change of scale: the image is loaded again.
  SendMessageW(window.hwnd(), WinTrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_EQ(IconWidth(shell_model.icon), small);
}

// The menu's place, read while it is open, which also closes it.
RECT open_menu{};
bool menu_seen = false;

void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu == nullptr || !IsWindowVisible(menu)) return;
  KillTimer(nullptr, timer);
  GetWindowRect(menu, &open_menu);
  menu_seen = true;
  EndMenu();
}

// A form whose right button opens the command menu, as frmMain's does.
class MenuForm final : public MainFormEvents {
 public:
  TrayIcon* tray = nullptr;
  void Timer1_Timer() override {}
  void Trayicon1_Activate() override {}
  void Trayicon1_MouseButton(int button, std::optional<ScreenPoint> place) override {
    if (button != kRightButton) return;
    const MenuItemDesign items[] = {{"mnuGetIP", "&Get IP"}, {"mnuExit", "E&xit"}};
    SetTimer(nullptr, 0, 10, CloseOpenMenu);
    tray->PopupMenu(items, place);
  }
  void mnuMain_Click(ControlId) override {}
};

// A screen at twice the program's scale: the shell's pixels are half its own.
BOOL WINAPI TwiceTheScale(HWND, LPPOINT point) {
  *point = {point->x / 2, point->y / 2};
  return TRUE;
}

// Whether a corner of the rectangle is at the point.
bool CornerAt(const RECT& rect, POINT point) {
  return (std::abs(rect.left - point.x) <= 1 || std::abs(rect.right - point.x) <= 1) &&
         (std::abs(rect.top - point.y) <= 1 || std::abs(rect.bottom - point.y) <= 1);
}

TEST(MainWindowTest, AMenuAskedForFromTheKeyboardOpensAtTheIcon) {
  shell_model = {};
  MenuForm form;
  MainWindow window{form, {}, ModelNotify, TwiceTheScale};
  form.tray = &window.tray();
  ASSERT_TRUE(window.Create());
  const POINT icon{200, 150};
  const POINT pointer{700, 500};
  const WPARAM anchor = MAKEWPARAM(icon.x * 2, icon.y * 2);
  const LPARAM context_menu = MAKELPARAM(WM_CONTEXTMENU, WinTrayIcon::kIconId);
  ASSERT_TRUE(SetCursorPos(pointer.x, pointer.y));

  // The menu key on the focused icon: the icon's anchor, and the focus back
  // on the icon once the menu is cancelled.
  menu_seen = false;
  SendMessageW(window.hwnd(), kTrayCallbackMessage, anchor, context_menu);
  ASSERT_TRUE(menu_seen);
  EXPECT_TRUE(CornerAt(open_menu, icon)) << open_menu.left << "," << open_menu.top;
  EXPECT_EQ(shell_model.focus_returns, 1);

  // A right click: the button goes up first, and the menu opens at the
  // pointer.
  menu_seen = false;
  SendMessageW(window.hwnd(), kTrayCallbackMessage, anchor,
               MAKELPARAM(WM_RBUTTONUP, WinTrayIcon::kIconId));
  SendMessageW(window.hwnd(), kTrayCallbackMessage, anchor,
               MAKELPARAM(WM_MOUSEMOVE, WinTrayIcon::kIconId));
  SendMessageW(window.hwnd(), kTrayCallbackMessage, anchor, context_menu);
  ASSERT_TRUE(menu_seen);
  EXPECT_TRUE(CornerAt(open_menu, pointer)) << open_menu.left << "," << open_menu.top;
  EXPECT_EQ(shell_model.focus_returns, 1);
}

TEST(MainWindowTest, TheProgramIconHasAnImageForEveryCommonScale) {
  // 100 % keeps the hand-drawn 16-colour images; 125 % to 200 % and the
  // large icons get images of their own size in 32-bit colour.
  const struct {
    int size;
    int bits;
  } cases[] = {{16, 4}, {20, 32}, {24, 32}, {32, 4}, {40, 32}, {48, 32}, {64, 32}};
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_PELLUX), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const auto directory = static_cast<PBYTE>(LockResource(LoadResource(module, group)));
  for (const auto& c : cases) {
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, c.size, c.size, LR_DEFAULTCOLOR);
    const HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_NE(image, nullptr) << c.size;
    const auto header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
    EXPECT_EQ(header->biWidth, c.size);
    EXPECT_EQ(header->biBitCount, c.bits) << c.size;
  }
}

TEST(MainWindowTest, AnIconWhoseAddSeemedToFailIsRemovedAtTheEndAllTheSame) {
  shell_model = {};
  shell_model.times_out = true;
  EventSpy spy;
  MainWindow window{spy, {}, ModelNotify};
  ASSERT_TRUE(window.Create());
  ASSERT_TRUE(shell_model.exists);
  DestroyWindow(window.hwnd());
  EXPECT_FALSE(shell_model.exists);
}

}  // namespace
}  // namespace pellux
