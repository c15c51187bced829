// The tray icon as the main form sees it. The icon itself appears when the
// main window is created and goes away with it; the form only sets the tip.
// Mouse and keyboard actions on the icon come back as the two events below.
#pragma once

#include <string>

namespace pellux {

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  virtual void SetTip(const std::string& tip) = 0;
};

// Mouse buttons as the button event reports them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// What an action on the icon means to the program.
struct TrayEvent {
  enum class Kind { kActivate, kButton };
  Kind kind;
  int button = 0;  // for kButton only

  friend bool operator==(const TrayEvent&, const TrayEvent&) = default;
};

}  // namespace pellux
