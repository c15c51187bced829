// Looking at the real clipboard from a test, and holding it open from another
// thread the way a different program would.
#pragma once

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <thread>

namespace pellux::testing {

// Opens the clipboard for the test itself. The platform's own clipboard
// manager may look at a fresh clipboard for a moment, so a few tries are
// allowed.
inline bool OpenForTest() {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(10);
  }
  return false;
}

// The bytes of one format on the clipboard, without what follows the
// terminating NUL of a text format; nothing when the format is not there.
template <typename Char>
std::optional<std::basic_string<Char>> ClipboardText(UINT format) {
  if (!OpenForTest()) return std::nullopt;
  std::optional<std::basic_string<Char>> text;
  if (const HANDLE data = GetClipboardData(format)) {
    const auto* chars = static_cast<const Char*>(GlobalLock(data));
    const std::size_t room = GlobalSize(data) / sizeof(Char);
    std::size_t length = 0;
    while (length < room && chars[length] != 0) ++length;
    text.emplace(chars, length);
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

inline std::optional<std::wstring> ClipboardUnicode() {
  return ClipboardText<wchar_t>(CF_UNICODETEXT);
}
inline std::optional<std::string> ClipboardAnsi() { return ClipboardText<char>(CF_TEXT); }

// A format of the test's own, to see that copying removes what was there.
inline UINT TestFormat() { return RegisterClipboardFormatW(L"Clipboard test format"); }

// Replaces the clipboard's contents with `text` and a block of TestFormat().
inline bool FillClipboard(const std::wstring& text) {
  if (!OpenForTest()) return false;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL unicode = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(unicode), text.c_str(), bytes);
  GlobalUnlock(unicode);
  HGLOBAL other = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(other), "abc", 4);
  GlobalUnlock(other);
  const bool done = SetClipboardData(CF_UNICODETEXT, unicode) != nullptr &&
                    SetClipboardData(TestFormat(), other) != nullptr;
  CloseClipboard();
  return done;
}

inline bool HasTestFormat() {
  if (!OpenForTest()) return false;
  const bool present = IsClipboardFormatAvailable(TestFormat()) != FALSE;
  CloseClipboard();
  return present;
}

// Checks that this process left the clipboard as FillClipboard(`text`) made
// it: emptying it would have made one of its windows the owner. Wine's bridge
// to the X selection may empty the clipboard by itself when it loses the
// selection; that shows as an owner in another process, and then the old
// text is gone through no doing of this process's.
#define EXPECT_CLIPBOARD_LEFT_AS_IT_WAS(text)                 \
  do {                                                        \
    DWORD owner_process = 0;                                  \
    if (const HWND owner = GetClipboardOwner()) {             \
      GetWindowThreadProcessId(owner, &owner_process);        \
    }                                                         \
    EXPECT_NE(owner_process, GetCurrentProcessId());          \
    if (owner_process == 0) {                                 \
      EXPECT_EQ(::pellux::testing::ClipboardUnicode(), text); \
      EXPECT_TRUE(::pellux::testing::HasTestFormat());        \
    }                                                         \
  } while (false)

// Another thread holds the clipboard open from construction until Release().
class ClipboardHolder {
 public:
  ClipboardHolder()
      : opened_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        thread_([this] {
          held_ = OpenForTest();
          SetEvent(opened_);
          WaitForSingleObject(release_, INFINITE);
          if (held_) CloseClipboard();
        }) {
    WaitForSingleObject(opened_, INFINITE);
  }
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;
  ~ClipboardHolder() {
    Release();
    CloseHandle(opened_);
    CloseHandle(release_);
  }

  bool held() const { return held_; }

  // Closes the clipboard and waits until it is closed.
  void Release() {
    SetEvent(release_);
    if (thread_.joinable()) thread_.join();
  }

 private:
  HANDLE opened_;
  HANDLE release_;
  bool held_ = false;
  std::thread thread_;
};

}  // namespace pellux::testing
