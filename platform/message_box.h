// The message box seam. Every box is modal, has an OK button only and returns when closed.
#pragma once

#include <memory>
#include <string>

namespace pellux {

enum class MessageIcon { kNone, kInformation };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // Brings the open box (the innermost of nested ones) to the front; nothing when none is open.
  virtual void BringForward() = 0;

  // A failure message: no icon, the program's name as caption.
  void Message(const std::string& text) { Show(text, "Pellux", MessageIcon::kNone); }
};

// The system's message boxes. A text too long for the screen scrolls.
std::unique_ptr<MessageBoxes> MakeSystemMessageBoxes();

}  // namespace pellux
