// Message boxes and ending the process, bound to Windows.
#pragma once

#include "ui/message_box.h"
#include "ui/process.h"

namespace pellux {

class WinMessageBoxes final : public MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

class WinProcess final : public Process {
 public:
  [[noreturn]] void EndProgram(int exit_code) override;
};

}  // namespace pellux
