// The clipboard binding against the platform's real clipboard.
#include "ui/clipboard_win.h"

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

TEST(WindowsClipboardTest, TextReplacesEverythingThatWasThere) {
  ASSERT_TRUE(FillClipboard(L"before"));
  ASSERT_TRUE(HasTestFormat());
  WindowsClipboard clipboard;
  // Program text is in the ANSI code page: \xE9 is an e with an acute accent.
  EXPECT_EQ(clipboard.ReplaceWithText("Caf\xE9\r\nline"), ClipboardResult::kCopied);
  EXPECT_EQ(ClipboardUnicode(), L"Caf\u00E9\r\nline");
  EXPECT_EQ(ClipboardAnsi(), "Caf\xE9\r\nline");
  EXPECT_FALSE(HasTestFormat());
  EXPECT_EQ(clipboard.ReplaceWithText(""), ClipboardResult::kCopied);
  EXPECT_EQ(ClipboardUnicode(), L"");
}

TEST(WindowsClipboardTest, AClipboardHeldThroughEveryTryIsLeftAlone) {
  ASSERT_TRUE(FillClipboard(L"before"));
  int pauses = 0;
  WindowsClipboard clipboard([&pauses] { ++pauses; });
  ClipboardHolder holder;
  ASSERT_TRUE(holder.held());
  EXPECT_EQ(clipboard.ReplaceWithText("new"), ClipboardResult::kInUse);
  EXPECT_EQ(pauses, WindowsClipboard::kAttempts - 1);
  holder.Release();
  EXPECT_EQ(ClipboardUnicode(), L"before");
  EXPECT_TRUE(HasTestFormat());
}

TEST(WindowsClipboardTest, AClipboardReleasedWhileWaitingIsUsed) {
  ASSERT_TRUE(FillClipboard(L"before"));
  ClipboardHolder holder;
  ASSERT_TRUE(holder.held());
  // The other program lets go during the first pause.
  WindowsClipboard clipboard([&holder] { holder.Release(); });
  EXPECT_EQ(clipboard.ReplaceWithText("new"), ClipboardResult::kCopied);
  EXPECT_EQ(ClipboardUnicode(), L"new");
}

}  // namespace
}  // namespace pellux
