// Message boxes and the end of the process on Qt.
#pragma once

#include "ui/message_box.h"
#include "ui/process.h"

namespace pellux {

class QtMessageBoxes final : public MessageBoxes {
 public:
  // A modal box with an OK button only, the text shown as plain text.
  void Show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

class QtProcess final : public Process {
 public:
  // Ends the process there and then: no window, form or object of the
  // program is torn down first.
  [[noreturn]] void EndProgram(int exit_code) override;
};

}  // namespace pellux
