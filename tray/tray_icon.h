// The tray icon as the program sees it on every platform, and what the icon
// delivers back: its activation, a mouse button on it, and an entry chosen
// from a command menu that the tray shows by itself.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "ui/form_view.h"

namespace pellux {

// A point in the screen's own pixels.
struct ScreenPoint {
  int x = 0;
  int y = 0;
};

class TrayEvents {
 public:
  virtual ~TrayEvents() = default;
  // Activation of the icon (a click, a double click, Enter or Space on it).
  virtual void Trayicon1_Activate() = 0;
  // A mouse button on the icon: kLeftButton, kRightButton or kMiddleButton.
  // The context-menu gesture (right click, the menu key, Shift+F10) is the
  // right button, with the place the menu was asked for where the tray gives
  // one (the icon, for the keyboard); nothing means at the pointer.
  virtual void Trayicon1_MouseButton(int button, std::optional<ScreenPoint> menu_place) = 0;
  // An entry of the command menu, by its place in the menu. Separators and
  // unknown entries do nothing.
  virtual void mnuMain_Click(ControlId entry) = 0;
};

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // Puts the icon into the tray, or into the first that appears; until the
  // tip is set, the icon shows the tip it was made with.
  virtual void Show() = 0;
  // Takes the icon out of the tray.
  virtual void Hide() = 0;
  virtual void SetTip(const std::string& tip) = 0;
  // Shows the command menu at `place` (nothing: at the pointer) and waits
  // until it closes. The chosen entry, or nothing when the user chose none.
  virtual std::optional<ControlId> PopupMenu(std::span<const MenuItemDesign> items,
                                             std::optional<ScreenPoint> place) = 0;
};

}  // namespace pellux
