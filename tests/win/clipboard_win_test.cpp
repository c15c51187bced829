// The clipboard binding against the platform's real clipboard.
#include "platform/clipboard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/clipboard_probe.h"

namespace pellux {
namespace {

using testing::ClipboardAnsi;
using testing::ClipboardHolder;
using testing::ClipboardUnicode;
using testing::FillClipboard;
using testing::HasTestFormat;

TEST(WinClipboardTest, TextReplacesEverythingThatWasThere) {
  ASSERT_TRUE(FillClipboard(L"before"));
  ASSERT_TRUE(HasTestFormat());
  const auto clipboard = MakeSystemClipboard();
  // Program text is in the ANSI code page: \xE9 is an e with an acute accent.
  EXPECT_EQ(clipboard->ReplaceWithText("Caf\xE9\r\nline"), ClipboardResult::kCopied);
  EXPECT_EQ(ClipboardUnicode(), L"Caf\u00E9\r\nline");
  EXPECT_EQ(ClipboardAnsi(), "Caf\xE9\r\nline");
  EXPECT_FALSE(HasTestFormat());
  EXPECT_EQ(clipboard->ReplaceWithText(""), ClipboardResult::kCopied);
  EXPECT_EQ(ClipboardUnicode(), L"");
}

TEST(WinClipboardTest, AClipboardHeldThroughEveryTryIsLeftAlone) {
  ASSERT_TRUE(FillClipboard(L"before"));
  int pauses = 0;
  const auto clipboard = MakeSystemClipboard([&pauses] { ++pauses; });
  ClipboardHolder holder;
  ASSERT_TRUE(holder.held());
  EXPECT_EQ(clipboard->ReplaceWithText("new"), ClipboardResult::kInUse);
  EXPECT_EQ(pauses, 20);  // 21 tries, a pause between each two
  holder.Release();
  EXPECT_CLIPBOARD_LEFT_AS_IT_WAS(L"before");
}

ClipboardHolder* releasing = nullptr;
void CALLBACK LetGo(HWND, UINT, UINT_PTR, DWORD) { releasing->Release(); }

TEST(WinClipboardTest, AClipboardReleasedWhileWaitingIsUsed) {
  ASSERT_TRUE(FillClipboard(L"before"));
  ClipboardHolder holder;
  ASSERT_TRUE(holder.held());
  // The other program lets go on a timer message, which only the wait handles.
  releasing = &holder;
  const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, LetGo);
  EXPECT_EQ(MakeSystemClipboard()->ReplaceWithText("new"), ClipboardResult::kCopied);
  KillTimer(nullptr, timer);
  EXPECT_EQ(ClipboardUnicode(), L"new");
}

}  // namespace
}  // namespace pellux
