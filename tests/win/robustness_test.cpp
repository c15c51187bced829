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

// What the process holds: its thread's top-level windows (a form's window
// and the tooltip window it owns among them), its private bytes, and of those
// the bytes in use in the process heap, where Wine's own libraries keep what
// they allocate; the program's own allocations go to the C runtime's heap.
// Wine counts no USER or GDI objects (GetGuiResources is always 0 there), so
// the windows are counted one by one.
struct Holdings {
  int windows = 0;
  SIZE_T private_bytes = 0;
  SIZE_T system_heap = 0;
};

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

SIZE_T BytesInUse(HANDLE heap) {
  SIZE_T total = 0;
  PROCESS_HEAP_ENTRY entry{};
  HeapLock(heap);
  while (HeapWalk(heap, &entry)) {
    if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) total += entry.cbData;
  }
  HeapUnlock(heap);
  return total;
}

Holdings Measure() {
  PumpMessages();
  Holdings now;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&now.windows));
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  // The commit charge; Windows reports it in both fields, Wine only here.
  now.private_bytes = counters.PagefileUsage;
  now.system_heap = BytesInUse(GetProcessHeap());
  return now;
}

// What the private bytes grew by, less what the system's own heap grew by:
// Wine 10 keeps a block of its heap (1512 bytes on 64-bit Wine) of every
// opening of the information window, whose boxes show an address; the
// program keeps nothing of it, and Wine 8 nothing either.
SIZE_T GrowthBesidesTheSystemHeap(const Holdings& before, const Holdings& after) {
  const SIZE_T system =
      after.system_heap > before.system_heap ? after.system_heap - before.system_heap : 0;
  const SIZE_T total =
      after.private_bytes > before.private_bytes ? after.private_bytes - before.private_bytes : 0;
  return total > system ? total - system : 0;
}

class AppRobustnessTest : public ::testing::Test, protected testing::AppFakes {
 protected:
  void SetUp() override {
    sockets.SetAddresses({"192.168.0.5"});
    app.Start();
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
  return GrowthBesidesTheSystemHeap(before, after);
}

// Opens and closes a window a thousand times: the process must hold no more
// windows than after the first few times, and no more private bytes besides
// the system's heap than the platform's own growth and 1% more.
void ExpectFlatOverOpenings(FormWindow& window) {
  // The count sees the window and its tooltip window come and go.
  window.Show();
  const int open = Measure().windows;
  window.Unload();
  ASSERT_GE(open, Measure().windows + 2);

  const SIZE_T platform = PlatformGrowth();
  const auto [before, after] = OverOpenings([&window] {
    window.Show();
    window.Unload();
  });
  EXPECT_FALSE(window.loaded());
  EXPECT_EQ(after.windows, before.windows);
  EXPECT_LE(static_cast<double>(GrowthBesidesTheSystemHeap(before, after)),
            static_cast<double>(platform) + static_cast<double>(before.private_bytes) * 0.01)
      << before.private_bytes << " -> " << after.private_bytes << ", system heap "
      << before.system_heap << " -> " << after.system_heap << ", platform " << platform;
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
  SendMessageW(main_window(), WM_TIMER, MainWindow::kTimerId, 0);

  // Explorer's restart loses every icon, then it broadcasts TaskbarCreated.
  ASSERT_TRUE(ForgetIcon(main_window()));
  SendMessageW(main_window(), WinTrayIcon::TaskbarCreatedMessage(), 0, 0);

  EXPECT_TRUE(IconKnown(main_window()));
  EXPECT_EQ(app.main_form().YourIP, "10.1.2.3");
  EXPECT_TRUE(app.info_window().loaded());
  EXPECT_TRUE(app.config_window().loaded());
}

TEST_F(AppRobustnessTest, IntervalThatCannotBeStoredIsToldAndNotTaken) {
  settings.writable = false;
  app.config_window().Show();
  FormWindow& window = app.config_window();
  SendMessageW(window.Control(ConfigControl::cboInterval), CB_SETCURSEL, 7, 0);  // "30 Seconds"
  SendMessageW(window.Control(ConfigControl::cmdOK), BM_CLICK, 0, 0);
  PumpMessages();

  EXPECT_FALSE(app.config_window().loaded());
  EXPECT_EQ(app.main_form().TimerInterval, 5000);
  EXPECT_TRUE(settings.values.empty());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Pellux");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::kNone);
}

}  // namespace
}  // namespace pellux
