// What the tray icon delivers to the program, on every platform: the
// icon's activation, a mouse button on it, and an entry chosen from a
// command menu that the tray shows by itself.
#pragma once

#include "ui/form_view.h"

namespace pellux {

class TrayEvents {
 public:
  virtual ~TrayEvents() = default;
  // Activation of the icon (a click, a double click, Enter or Space on it).
  virtual void Trayicon1_Activate() = 0;
  // A mouse button on the icon: kLeftButton, kRightButton or kMiddleButton.
  // The context-menu gesture (right click, the menu key, Shift+F10) is the
  // right button.
  virtual void Trayicon1_MouseButton(int button) = 0;
  // An entry of the command menu, by its place in the menu. Separators and
  // unknown entries do nothing.
  virtual void mnuMain_Click(ControlId entry) = 0;
};

}  // namespace pellux
