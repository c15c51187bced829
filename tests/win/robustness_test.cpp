// The windows over many openings, Explorer restarting while they are open,
// and settings that cannot be stored — against the real platform.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "tests/win/app_fakes.h"

namespace pellux {
namespace {

using testing::ForgetIcon;
using testing::IconKnown;
using testing::PumpMessages;

// What the process holds: USER and GDI objects where the platform counts
// them, and its private bytes.
struct Holdings {
  DWORD user_objects = 0;
  DWORD gdi_objects = 0;
  SIZE_T private_bytes = 0;
};

Holdings Measure() {
  PumpMessages();
  Holdings now;
  now.user_objects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  now.gdi_objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  // The commit charge; Windows reports it in both fields, Wine only here.
  now.private_bytes = counters.PagefileUsage;
  return now;
}

class AppRobustnessTest : public ::testing::Test, protected testing::AppFakes {
 protected:
  void SetUp() override {
    sockets.SetAddresses({"192.168.0.5"});
    ASSERT_TRUE(app.Start());
  }

  HWND main_window() { return app.main_window().hwnd(); }
};

constexpr int kWarmUp = 10;
constexpr int kOpenings = 1000;

// Opens and closes `open_once` kOpenings times, after a few openings to warm
// up, and gives what the process held before and after.
template <typename OpenOnce>
std::pair<Holdings, Holdings> OverOpenings(OpenOnce open_once) {
  for (int i = 0; i < kWarmUp; ++i) open_once();
  const Holdings before = Measure();
  for (int i = kWarmUp; i < kOpenings; ++i) {
    open_once();
    if (i % 50 == 0) PumpMessages();
  }
  return {before, Measure()};
}

// What the platform itself keeps of windows that came and went: Wine's own
// bookkeeping grows by some tens of kilobytes over a thousand captioned
// windows, whoever makes them. A bare captioned window with a tooltip control
// measures it.
SIZE_T PlatformGrowth() {
  const auto [before, after] = OverOpenings([] {
    const HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0,
                        300, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, window, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    DestroyWindow(window);
  });
  return after.private_bytes > before.private_bytes ? after.private_bytes - before.private_bytes
                                                    : 0;
}

// Opens and closes a window a thousand times: the process must hold no more
// USER or GDI objects than after the first few times, and no more private
// bytes than the platform's own growth and 1% more.
template <typename Host>
void ExpectFlatOverOpenings(Host& host) {
  const SIZE_T platform = PlatformGrowth();
  const auto [before, after] = OverOpenings([&host] {
    host.Show();
    host.Unload();
  });
  EXPECT_FALSE(host.loaded());
  EXPECT_EQ(after.user_objects, before.user_objects);
  EXPECT_EQ(after.gdi_objects, before.gdi_objects);
  EXPECT_LE(static_cast<double>(after.private_bytes),
            static_cast<double>(before.private_bytes + platform) * 1.01)
      << before.private_bytes << " -> " << after.private_bytes << ", platform " << platform;
}

TEST_F(AppRobustnessTest, InformationWindowOpenedAThousandTimesLeavesNothingBehind) {
  ExpectFlatOverOpenings(app.info_window());
}

TEST_F(AppRobustnessTest, ConfigurationWindowOpenedAThousandTimesLeavesNothingBehind) {
  ExpectFlatOverOpenings(app.config_window());
}

TEST_F(AppRobustnessTest, IconComesBackWithTheCurrentTipWhileBothWindowsAreOpen) {
  app.info_window().Show();
  app.config_window().Show();
  sockets.SetAddresses({"10.1.2.3"});
  SendMessageW(main_window(), WM_TIMER, WindowTimer::kTimerId, 0);

  // Explorer's restart loses every icon, then it broadcasts TaskbarCreated.
  ASSERT_TRUE(ForgetIcon(main_window()));
  SendMessageW(main_window(), Win32TrayIcon::TaskbarCreatedMessage(), 0, 0);

  EXPECT_TRUE(IconKnown(main_window()));
  EXPECT_EQ(app.tray().tip(), L"Pellux: 10.1.2.3");
  EXPECT_TRUE(app.info_window().loaded());
  EXPECT_TRUE(app.config_window().loaded());
}

TEST_F(AppRobustnessTest, IntervalThatCannotBeStoredIsToldAndStillTakesEffect) {
  settings.writable = false;
  app.config_window().Show();
  ConfigWindow& window = app.config_window().window();
  SendMessageW(window.Control("cboInterval"), CB_SETCURSEL, 7, 0);  // "30 Seconds"
  SendMessageW(window.Control("cmdOK"), BM_CLICK, 0, 0);
  PumpMessages();

  EXPECT_FALSE(app.config_window().loaded());
  EXPECT_EQ(app.main_form().TimerInterval, 30000);
  EXPECT_TRUE(settings.values.empty());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Pellux");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::kNone);
}

}  // namespace
}  // namespace pellux
