// Requests that arrive while the command menu or the history box is open,
// as the shell delivers them: real windows, the system's own message boxes,
// driven with real messages from a timer that the open loops run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

#include "tests/win/app_fakes.h"

namespace pellux {
namespace {

using RealBoxesRig = testing::ProgramWithRealBoxes<App>;

struct Windows {
  const wchar_t* window_class;
  const wchar_t* title;  // any, when null
  std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM windows) {
  auto& wanted = *reinterpret_cast<Windows*>(windows);
  wchar_t name[64]{};
  GetClassNameW(window, name, 64);
  wchar_t title[64]{};
  GetWindowTextW(window, title, 64);
  if (IsWindowVisible(window) && std::wstring_view(name) == wanted.window_class &&
      (wanted.title == nullptr || std::wstring_view(title) == wanted.title)) {
    wanted.found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> Visible(const wchar_t* window_class, const wchar_t* title = nullptr) {
  Windows windows{window_class, title, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
  return windows.found;
}

std::vector<HWND> Menus() { return Visible(L"#32768"); }
std::vector<HWND> ReportBoxes() { return Visible(L"#32770", L"Recent IP addresses"); }

// Get IP, a separator, then Recent IPs.
void ChooseRecentIps(HWND menu) {
  for (const WPARAM key : {WPARAM{VK_DOWN}, WPARAM{VK_DOWN}, WPARAM{VK_RETURN}})
    PostMessageW(menu, WM_KEYDOWN, key, 0);
}

void AskForTheMenu(HWND main) {
  SendMessageW(main, kTrayCallbackMessage, 0, MAKELPARAM(WM_RBUTTONUP, WinTrayIcon::kIconId));
  SendMessageW(main, kTrayCallbackMessage, 0, MAKELPARAM(WM_CONTEXTMENU, WinTrayIcon::kIconId));
}

// What the driver saw, step by step.
struct Driver {
  HWND main = nullptr;
  int step = 0;
  int ticks = 0;
  int most_menus = 0;
  int most_boxes = 0;
  std::set<HWND> boxes;
  bool box_in_front = false;
} driver;

void Look() {
  const auto menus = Menus();
  const auto boxes = ReportBoxes();
  driver.most_menus = std::max(driver.most_menus, static_cast<int>(menus.size()));
  driver.most_boxes = std::max(driver.most_boxes, static_cast<int>(boxes.size()));
  driver.boxes.insert(boxes.begin(), boxes.end());
}

BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
  wchar_t name[16]{};
  GetClassNameW(window, name, 16);
  if (std::wstring_view(name) == L"#32770") PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

// Run by a timer of the thread, from whichever loop is open.
void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
  Look();
  if (++driver.ticks > 1000) {
    // Lost: close everything, so that the test fails rather than waits.
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
    return;
  }
  const auto menus = Menus();
  switch (driver.step) {
    case 0:  // the menu: Recent IPs
      if (menus.empty()) return;
      driver.step = 1;
      ChooseRecentIps(menus.front());
      return;
    case 1:  // its box: the menu again, over it
      if (ReportBoxes().empty() || !menus.empty()) return;
      driver.step = 2;
      AskForTheMenu(driver.main);
      return;
    case 2:  // the menu over the box: asked for again, then Recent IPs again
      if (menus.empty()) return;
      driver.step = 3;
      AskForTheMenu(driver.main);
      if (driver.step != 3) return;
      Look();
      driver.step = 4;
      ChooseRecentIps(menus.front());
      return;
    case 3:  // a second menu opened inside the first: Recent IPs in it
      driver.step = 4;
      ChooseRecentIps(menus.back());
      return;
    case 4:  // the menus are gone: one box, in front
      if (!menus.empty()) {
        EndMenu();
        return;
      }
      driver.step = 5;
      driver.box_in_front = ReportBoxes().size() == 1 && GetForegroundWindow() == ReportBoxes()[0];
      EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
      return;
    default:
      EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
      return;
  }
}

TEST(ModalLoopTest, TheMenuAndTheHistoryBoxOpenOnceWhileOpen) {
  RealBoxesRig rig;
  rig.sockets.SetAddresses({"10.0.0.1"});
  rig.app.Start();
  driver = {};
  driver.main = rig.app.main_window().hwnd();
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, Drive);
  AskForTheMenu(driver.main);
  KillTimer(nullptr, timer);

  EXPECT_EQ(driver.step, 5);
  EXPECT_EQ(driver.most_menus, 1);
  EXPECT_EQ(driver.most_boxes, 1);
  EXPECT_EQ(driver.boxes.size(), 1u);
  EXPECT_TRUE(driver.box_in_front);
  EXPECT_TRUE(ReportBoxes().empty());
  EXPECT_TRUE(Menus().empty());
}

}  // namespace
}  // namespace pellux
