#include <windows.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "platform/clipboard.h"

#include "platform/text_win.h"
#include "ui/form_window_win.h"

namespace pellux {
namespace {

// The clipboard held open by this program for as long as the object lives.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }

  bool open() const { return open_; }

 private:
  bool open_;
};

// Handles this thread's messages for `ms` milliseconds, so that the
// program's windows go on painting and answering while it waits.
void HandleMessagesFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    // The program's own loop ends at WM_QUIT: it is left for that loop.
    if (const auto exit_code = FormWindow::HandleQueuedMessages()) {
      return PostQuitMessage(*exit_code);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

// Movable global memory, freed unless the clipboard has taken it over.
using GlobalMemory = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, decltype(&GlobalFree)>;

class WinClipboard final : public Clipboard {
 public:
  // Clipboard history, a remote desktop or a password manager may hold the
  // clipboard for a moment after each change: opening it is tried for about
  // a second before giving up.
  static constexpr int kAttempts = 21;
  static constexpr DWORD kPauseMs = 50;

  explicit WinClipboard(std::function<void()> pause) : pause_(std::move(pause)) {}

  ClipboardResult ReplaceWithText(std::string_view text) override {
    // The text is made ready first, so the clipboard is held only briefly.
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes), GlobalFree);
    void* copy = memory != nullptr ? GlobalLock(memory.get()) : nullptr;
    if (copy == nullptr) return ClipboardResult::kFailed;
    std::memcpy(copy, wide.c_str(), bytes);
    GlobalUnlock(memory.get());

    for (int attempt = 1;; ++attempt) {
      const OpenedClipboard clipboard(Owner());
      if (clipboard.open()) {
        if (!EmptyClipboard()) return ClipboardResult::kFailed;
        // The old contents are gone by now: a failure here is not "nothing
        // changed".
        if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
          return ClipboardResult::kCleared;
        }
        memory.release();  // the clipboard owns it now
        return ClipboardResult::kCopied;
      }
      if (attempt == kAttempts) return ClipboardResult::kInUse;
      pause_();
    }
  }

 private:
  HWND Owner() {
    // Made at the first copy, not at start-up: the window class comes from
    // the common controls library, which the program loads only when it
    // needs it.
    if (owner_ == nullptr) {
      owner_.reset(CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    }
    return owner_.get();
  }

  // A message-only window owns what the program puts on the clipboard:
  // emptying the clipboard while it is opened without an owner would make
  // setting the text fail.
  std::unique_ptr<HWND__, decltype(&DestroyWindow)> owner_{nullptr, DestroyWindow};
  std::function<void()> pause_;
};

}  // namespace

std::unique_ptr<Clipboard> MakeSystemClipboard(std::function<void()> pause) {
  if (!pause) pause = [] { HandleMessagesFor(WinClipboard::kPauseMs); };
  return std::make_unique<WinClipboard>(std::move(pause));
}

}  // namespace pellux
