// The clipboard on Windows.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/clipboard.h"

namespace pellux {

class WindowsClipboard final : public Clipboard {
 public:
  // Another program may hold the clipboard open for a moment; opening it is
  // tried this often, pausing between tries, before giving up.
  static constexpr int kAttempts = 5;
  static constexpr DWORD kPauseMs = 10;

  // `pause` runs between two tries; by default it sleeps kPauseMs.
  explicit WindowsClipboard(std::function<void()> pause = {});
  WindowsClipboard(const WindowsClipboard&) = delete;
  WindowsClipboard& operator=(const WindowsClipboard&) = delete;
  ~WindowsClipboard() override;

  ClipboardResult ReplaceWithText(std::string_view text) override;

 private:
  HWND Owner();

  // A message-only window owns what the program puts on the clipboard:
  // emptying the clipboard while it is opened without an owner would make
  // setting the text fail.
  HWND owner_ = nullptr;
  std::function<void()> pause_;
};

}  // namespace pellux
