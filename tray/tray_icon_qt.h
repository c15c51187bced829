// The notification-area icon on Linux desktops, which offer one of two kinds
// of tray: a panel that hosts StatusNotifierItems over D-Bus and draws their
// menus itself (KDE Plasma, Xfce, LXQt, GNOME's AppIndicator extension,
// waybar), or an XEmbed tray that embeds a small window of the program
// (trayer, stalonetray, older panels). The icon uses a StatusNotifierItem
// host when there is one, an XEmbed tray otherwise, and moves when a tray
// appears, restarts or is replaced. Its actions come back as tray events.
#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QMessageBox>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <QPoint>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "tray/status_notifier_item_qt.h"
#include "tray/tray_icon.h"
#include "ui/design.h"
#include "ui/program_icon_qt.h"

namespace pellux {

// Passes an action on the XEmbed icon on to `events`: a click or double
// click (whichever the tray reports) activates the icon; the context-menu
// gesture is the right button; a middle click reports the middle button.
void DeliverTrayActivation(QSystemTrayIcon::ActivationReason reason, TrayEvents& events);

class QtTrayIcon final {
 public:
  // How long tray changes are let settle before the icon moves: a panel
  // takes the XEmbed tray and starts hosting StatusNotifierItems one after
  // the other.
  static constexpr int kSettleMs = 250;
  // How often, while there is no tray at all, the program looks for an
  // XEmbed one (StatusNotifierItem hosts announce themselves).
  static constexpr int kNoTrayPollMs = 1000;
  // How long the program waits for a tray before it explains itself on the
  // screen: long enough for a session's panel to start.
  static constexpr int kNoTrayNoticeMs = 10000;

  // `bus` is the session bus, which may be unconnected: then only XEmbed
  // trays can show the icon. The icon's actions go to `events`; they arrive
  // from the event loop, not from inside the tray's own handling, so a
  // handler may open a menu or a modal box. A panel that draws menus itself
  // draws `menu`, which must outlive the icon.
  QtTrayIcon(QDBusConnection bus, TrayEvents& events, std::span<const MenuItemDesign> menu);
  QtTrayIcon(const QtTrayIcon&) = delete;
  QtTrayIcon& operator=(const QtTrayIcon&) = delete;
  ~QtTrayIcon();

  // Puts the icon into the desktop's tray, or into the first that appears.
  void Show();
  void Hide();
  // Passes the tip on only when its text changes: a panel reads the item's
  // properties again, icons included, at every change it is told of.
  void SetTip(const std::string& tip);

  // Where a panel asked for the command menu, in Qt's screen coordinates,
  // while the right button it stands for is being delivered: the menu opens
  // there rather than at the pointer (the menu key may have asked for it).
  // The place is handed out once.
  std::optional<QPoint> TakeMenuPlace() { return std::exchange(menu_place_, std::nullopt); }

  // What shows the icon at the moment: at most one of the two. The XEmbed
  // icon also stands in while there is no tray at all.
  QSystemTrayIcon* xembed_icon() const { return xembed_.get(); }
  StatusNotifierItem* status_notifier_item() const { return item_.get(); }

 private:
  // Asks whether a StatusNotifierItem host is there, then moves the icon.
  void Follow();
  // `watcher`: the unique bus name of the watcher, when it has a host.
  void Use(const std::optional<QString>& watcher);
  void UseXEmbed();
  void TrayFound();
  void TrayMissing();
  void ShowNoTrayNotice();
  StatusNotifierEvents ItemEvents();
  // Runs `event` from the event loop.
  void Post(std::function<void()> event);

  QDBusConnection bus_;
  TrayEvents& events_;
  std::span<const MenuItemDesign> menu_;
  std::optional<QPoint> menu_place_;
  // The receiver of everything the icon posts to itself; it lives as long
  // as the icon, so nothing is delivered after that.
  QObject context_;
  QTimer settle_;
  QTimer poll_;
  QTimer notice_timer_;
  std::unique_ptr<QDBusServiceWatcher> watcher_;
  std::unique_ptr<QSystemTrayIcon> xembed_;
  std::unique_ptr<StatusNotifierItem> item_;
  std::unique_ptr<QMessageBox> notice_;
  std::string tip_text_;
  QString tip_;
  QString registered_with_;  // the watcher that knows of the item
  int follows_ = 0;          // only the latest answer counts
  bool shown_ = false;
  bool waiting_ = false;
};

}  // namespace pellux
