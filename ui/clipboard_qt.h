// The clipboard on Qt.
#pragma once

#include "ui/clipboard.h"

namespace pellux {

class QtClipboard final : public Clipboard {
 public:
  // Takes the clipboard with the text as its only content. The text goes
  // there byte for byte: line breaks stay CR LF.
  ClipboardResult ReplaceWithText(std::string_view text) override;
};

}  // namespace pellux
