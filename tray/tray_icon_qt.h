// The notification-area icon on QSystemTrayIcon, which serves an XEmbed tray
// and a StatusNotifierItem host alike. The icon's actions come back to the
// main form as its two tray events.
#pragma once

#include <QSystemTrayIcon>

#include <optional>

#include "monitor/frm_main.h"
#include "tray/tray_icon.h"

namespace pellux {

// What an action on the icon means to the program: a click or double click
// (whichever the tray reports) activates it; the context-menu gesture is the
// right button; a middle click reports the middle button.
std::optional<TrayEvent> TranslateTrayActivation(QSystemTrayIcon::ActivationReason reason);

// The program icon, from the program's resources.
QIcon ProgramIcon();

class QtTrayIcon final : public TrayIcon {
 public:
  QtTrayIcon();
  QtTrayIcon(const QtTrayIcon&) = delete;
  QtTrayIcon& operator=(const QtTrayIcon&) = delete;

  // Sends the icon's actions to `form`. They arrive from the event loop, not
  // from inside the tray's own mouse handling, so a handler may open a menu
  // or a modal box.
  void Connect(MainFormEvents& form);

  // Puts the icon into the tray, or into the first tray that appears.
  void Show();
  void Hide();
  void SetTip(const std::string& tip) override;

  QSystemTrayIcon& icon() { return icon_; }

 private:
  QSystemTrayIcon icon_;
};

}  // namespace pellux
