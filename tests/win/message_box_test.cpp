// Message boxes on the real platform: a report that fits the work area is
// the system's own message box; one too long for it is a box of the same
// caption whose text scrolls, every line of it within reach, and OK or Enter
// closes it. Either comes back to the front when asked.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/frm_main.h"
#include "platform/message_box.h"
#include "platform/text_win.h"

namespace pellux {
namespace {

constexpr wchar_t kTitle[] = L"Recent IP addresses";
// The id of a message box's text.
constexpr int kTextId = 0xFFFF;

// What the open box showed.
struct Seen {
  bool open = false;
  std::wstring text_class;
  std::wstring text;
  DWORD text_style = 0;
  RECT frame{};
  bool last_line_shown = false;
  bool ok_button = false;
  bool stayed_open = false;   // after Enter
  bool came_forward = false;  // in front of another window when brought forward
};

Seen seen;
MessageBoxes* boxes_shown = nullptr;
bool close_with_enter = false;
int ticks = 0;
bool enter_pressed = false;
// Ticks of 50 ms before a box that cannot be found is given up on.
constexpr int kTicksToFind = 400;

// A box that cannot be found by its caption is closed all the same, so that
// the test fails rather than waits.
BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32770") PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

// Run by a timer of the thread, which the box's own message loop runs: reads
// the box once it is up, then closes it.
void CALLBACK InspectBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", kTitle);
  if (enter_pressed) {
    // A tick comes only when the queue is empty: the keys have been handled.
    KillTimer(nullptr, timer);
    seen.stayed_open = box != nullptr;
    if (box != nullptr) SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return;
  }
  if (box == nullptr || !IsWindowVisible(box)) {
    if (++ticks < kTicksToFind) return;
    KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
    return;
  }
  seen.open = true;
  const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                     nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  const bool other_in_front = GetForegroundWindow() == other;
  boxes_shown->BringForward();
  seen.came_forward = other_in_front && GetForegroundWindow() == box;
  DestroyWindow(other);
  GetWindowRect(box, &seen.frame);
  HWND text = GetDlgItem(box, kTextId);
  wchar_t name[32] = {};
  GetClassNameW(text, name, 32);
  seen.text_class = name;
  seen.text.assign(static_cast<std::size_t>(GetWindowTextLengthW(text)) + 1, L'\0');
  seen.text.resize(static_cast<std::size_t>(
      GetWindowTextW(text, seen.text.data(), static_cast<int>(seen.text.size()))));
  seen.text_style = static_cast<DWORD>(GetWindowLongW(text, GWL_STYLE));
  HWND ok = GetDlgItem(box, IDOK);
  seen.ok_button = ok != nullptr && IsWindowVisible(ok);
  if (seen.text_class == L"Edit") {
    // The caret to the end, as Ctrl+End puts it: the view follows.
    const auto end = static_cast<WPARAM>(seen.text.size());
    SendMessageW(text, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
    const auto lines = static_cast<int>(SendMessageW(text, EM_GETLINECOUNT, 0, 0));
    const auto first = static_cast<int>(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0));
    RECT client{};
    GetClientRect(text, &client);
    // The last address ends three characters before the text: CR LF follow.
    const auto position = SendMessageW(text, EM_POSFROMCHAR, end - 3, 0);
    const auto top = static_cast<short>(HIWORD(position));
    seen.last_line_shown = first > 0 && first < lines && top >= 0 && top < client.bottom;
  }
  if (close_with_enter) {
    HWND focus = GetFocus() != nullptr ? GetFocus() : text;
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(focus, WM_KEYUP, VK_RETURN, 0);
    enter_pressed = true;
  } else {
    KillTimer(nullptr, timer);
    SendMessageW(ok, BM_CLICK, 0, 0);
  }
}

std::vector<std::string> History(int count) {
  std::vector<std::string> history;
  for (int i = 0; i < count; ++i) {
    history.push_back("10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256));
  }
  return history;
}

// Shows the report and returns when the box has been closed.
Seen ShowReport(const std::vector<std::string>& history, bool enter) {
  seen = Seen{};
  close_with_enter = enter;
  ticks = 0;
  enter_pressed = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectBox);
  const auto system_boxes = MakeSystemMessageBoxes();
  MessageBoxes& boxes = *system_boxes;
  boxes_shown = &boxes;
  boxes.Show(HistoryReport(history), "Recent IP addresses", MessageIcon::kInformation);
  KillTimer(nullptr, timer);
  return seen;
}

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

TEST(MessageBoxTest, ReportThatFitsIsTheSystemMessageBox) {
  const auto history = History(2);
  const Seen box = ShowReport(history, false);
  ASSERT_TRUE(box.open);
  EXPECT_EQ(box.text_class, L"Static");
  EXPECT_EQ(box.text, Widen(HistoryReport(history)));
  EXPECT_TRUE(box.came_forward);
}

class LongReportTest : public ::testing::TestWithParam<bool> {};

TEST_P(LongReportTest, ScrollsWithinTheWorkAreaAndCloses) {
  const auto history = History(AddressHistory::kMaxItems);
  const Seen box = ShowReport(history, GetParam());
  ASSERT_TRUE(box.open);
  EXPECT_EQ(box.text_class, L"Edit");
  EXPECT_TRUE(box.text_style & ES_READONLY);
  EXPECT_TRUE(box.text_style & WS_VSCROLL);
  EXPECT_EQ(box.text, Widen(HistoryReport(history)));
  const RECT work = WorkArea();
  EXPECT_GE(box.frame.top, work.top);
  EXPECT_LE(box.frame.bottom, work.bottom);
  EXPECT_GE(box.frame.left, work.left);
  EXPECT_LE(box.frame.right, work.right);
  EXPECT_TRUE(box.last_line_shown);
  EXPECT_TRUE(box.ok_button);
  EXPECT_FALSE(box.stayed_open);
  EXPECT_TRUE(box.came_forward);
  // Showing returned: the box was closed.
  EXPECT_EQ(FindWindowW(L"#32770", kTitle), nullptr);
}

INSTANTIATE_TEST_SUITE_P(ClosedBy, LongReportTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param_info) {
                           return std::string(param_info.param ? "Enter" : "Ok");
                         });

}  // namespace
}  // namespace pellux
