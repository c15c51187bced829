// The message box seam. Every box is modal, carries an OK button only and
// returns when the user has closed it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pellux {

// The caption of the program's own failure messages.
inline constexpr std::string_view kProgramTitle = "Pellux";

enum class MessageIcon { kNone, kInformation };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // Brings the open box to the front, the innermost where boxes are nested
  // (the one to be answered first); nothing when no box is open.
  virtual void BringForward() = 0;

  // A failure message: no icon, the program's title as caption.
  void Message(const std::string& text) {
    Show(text, std::string(kProgramTitle), MessageIcon::kNone);
  }
};

// The system's message boxes. A text too long for the screen scrolls.
std::unique_ptr<MessageBoxes> MakeSystemMessageBoxes();

}  // namespace pellux
