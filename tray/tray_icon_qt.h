// The notification-area icon on Linux desktops: a StatusNotifierItem for the
// panels that host them (KDE Plasma, Xfce, LXQt, GNOME's AppIndicator
// extension, waybar), or an XEmbed icon for the trays that embed a window
// (trayer, stalonetray, older panels). Which one shows is the TrayChoice's to
// say; this binds it to the bus, the icons and the timers.
#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QMessageBox>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/program_icon_qt.h"
#include "tray/status_notifier_item_qt.h"
#include "tray/tray_choice.h"
#include "tray/tray_icon.h"
#include "ui/design.h"

namespace pellux {

class QtTrayIcon final : public TrayIcon, private TrayBindings {
 public:
  // `bus` is the session bus, which may be unconnected. The icon's actions
  // reach `events` from the event loop, so a handler may open a menu or a
  // modal box. A panel that draws menus itself draws `menu`.
  QtTrayIcon(QDBusConnection bus, TrayEvents& events, std::span<const MenuItemDesign> menu);
  ~QtTrayIcon() override { Hide(); }

  void Show() override { choice_.Show(); }
  void Hide() override { choice_.Hide(); }
  // Passes the tip on only when its text changes: a panel reads the item's
  // properties again, icons included, at every change it is told of.
  void SetTip(const std::string& tip) override;
  // Each entry's action carries the entry's name as its object name.
  std::optional<ControlId> PopupMenu(std::span<const MenuItemDesign> items,
                                     std::optional<ScreenPoint> place) override;

  // What shows the icon at the moment: at most one of the two. The XEmbed
  // icon also stands in while there is no tray at all.
  QSystemTrayIcon* xembed_icon() const { return xembed_.get(); }
  StatusNotifierItem* status_notifier_item() const { return item_.get(); }

 private:
  void AskForHost(int question) override;
  bool PublishItem() override;
  void RegisterItem() override { item_->RegisterWithWatcher(); }
  void DropItem() override { item_.reset(); }
  void ShowXEmbed() override;
  void DropXEmbed() override { xembed_.reset(); }
  bool XEmbedTrayThere() override { return QSystemTrayIcon::isSystemTrayAvailable(); }
  void CheckTrayLater() override;
  void StartTimer(TrayTimer timer) override { Timer(timer).start(); }
  void StopTimer(TrayTimer timer) override { Timer(timer).stop(); }
  void SayNoTrayYet() override;
  void ShowNotice() override;
  void CloseNotice() override { notice_.reset(); }

  QTimer& Timer(TrayTimer timer) { return timers_[static_cast<int>(timer)]; }

  QDBusConnection bus_;
  TrayEvents& events_;
  std::span<const MenuItemDesign> menu_;
  // Receives everything the icon posts to itself and owns the bus watcher;
  // it lives as long as the icon, so nothing is delivered after that.
  QObject context_;
  QTimer timers_[3];
  std::unique_ptr<QSystemTrayIcon> xembed_;
  std::unique_ptr<StatusNotifierItem> item_;
  std::unique_ptr<QMessageBox> notice_;
  std::string tip_;
  TrayChoice choice_;
};

}  // namespace pellux
