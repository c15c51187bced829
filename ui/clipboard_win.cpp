#include <windows.h>

#include <cstring>
#include <string>

#include "ui/clipboard.h"

#include "ui/text_win.h"

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

// Movable global memory, freed unless the clipboard has taken it over.
class GlobalMemory {
 public:
  explicit GlobalMemory(std::size_t bytes) : handle_(GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  ~GlobalMemory() {
    if (handle_ != nullptr) GlobalFree(handle_);
  }

  HGLOBAL get() const { return handle_; }
  // The clipboard owns the memory now.
  void Release() { handle_ = nullptr; }

 private:
  HGLOBAL handle_;
};

// Copies `text` with its terminating NUL into `memory`; false when there is
// no memory to copy into.
bool Fill(GlobalMemory& memory, const std::wstring& text) {
  if (memory.get() == nullptr) return false;
  void* bytes = GlobalLock(memory.get());
  if (bytes == nullptr) return false;
  std::memcpy(bytes, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory.get());
  return true;
}

class WinClipboard final : public Clipboard {
 public:
  // Tries to open the clipboard this often before giving up.
  static constexpr int kAttempts = 5;

  explicit WinClipboard(std::function<void()> pause) : pause_(std::move(pause)) {}
  WinClipboard(const WinClipboard&) = delete;
  WinClipboard& operator=(const WinClipboard&) = delete;
  ~WinClipboard() override {
    if (owner_ != nullptr) DestroyWindow(owner_);
  }

  ClipboardResult ReplaceWithText(std::string_view text) override;

 private:
  HWND Owner();

  // A message-only window owns what the program puts on the clipboard:
  // emptying the clipboard while it is opened without an owner would make
  // setting the text fail.
  HWND owner_ = nullptr;
  std::function<void()> pause_;
};

HWND WinClipboard::Owner() {
  // Made at the first copy, not at start-up: the window class comes from the
  // common controls library, which the program loads only when it needs it.
  if (owner_ == nullptr) {
    owner_ = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  return owner_;
}

ClipboardResult WinClipboard::ReplaceWithText(std::string_view text) {
  // The text is made ready first, so the clipboard is held only briefly.
  const std::wstring wide = Widen(text);
  GlobalMemory memory((wide.size() + 1) * sizeof(wchar_t));
  if (!Fill(memory, wide)) return ClipboardResult::kFailed;

  for (int attempt = 1;; ++attempt) {
    const OpenedClipboard clipboard(Owner());
    if (clipboard.open()) {
      if (!EmptyClipboard()) return ClipboardResult::kFailed;
      // The old contents are gone by now: a failure here is not "nothing
      // changed".
      if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
        return ClipboardResult::kCleared;
      }
      memory.Release();
      return ClipboardResult::kCopied;
    }
    if (attempt == kAttempts) return ClipboardResult::kInUse;
    pause_();
  }
}

}  // namespace

std::unique_ptr<Clipboard> MakeSystemClipboard(std::function<void()> pause) {
  if (!pause) pause = [] { Sleep(10); };
  return std::make_unique<WinClipboard>(std::move(pause));
}

}  // namespace pellux
