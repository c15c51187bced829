// The clipboard seam: the program only ever puts plain text there.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace pellux {

enum class ClipboardResult {
  kCopied,   // the text is on the clipboard, and nothing else is
  kInUse,    // another program kept the clipboard open; nothing changed
  kFailed,   // the clipboard was open to us but did not take the text
  kCleared,  // the clipboard was emptied, then did not take the text
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Empties the clipboard and puts `text` on it as plain text, both while holding the
  // clipboard once, so no other program can slip in between.
  virtual ClipboardResult ReplaceWithText(std::string_view text) = 0;
};

// The system clipboard. On Windows another program may hold it open for a moment: opening it
// is tried for about a second, with `pause` between two tries (by default 50 ms in which the
// program's windows go on handling their messages).
std::unique_ptr<Clipboard> MakeSystemClipboard(std::function<void()> pause = {});

}  // namespace pellux
