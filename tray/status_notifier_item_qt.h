// The tray icon as a StatusNotifierItem on the session bus: the item under
// /StatusNotifierItem, and the command menu under /MenuBar over
// com.canonical.dbusmenu, which the panel draws as its own menu.
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QIcon>
#include <QList>
#include <QPoint>
#include <QVariantMap>

#include <memory>
#include <span>
#include <tuple>

#include "tray/dbus_menu.h"
#include "tray/tray_icon.h"

namespace pellux {

// One image of the icon: width, height and the pixels as ARGB32 in network
// byte order, row by row.
struct SniPixmap {
  int width = 0;
  int height = 0;
  QByteArray argb;
  static auto Fields(auto& self) { return std::tie(self.width, self.height, self.argb); }
};

struct SniToolTip {
  QString icon_name;
  QList<SniPixmap> pixmaps;
  QString title;
  QString text;
  static auto Fields(auto& self) {
    return std::tie(self.icon_name, self.pixmaps, self.title, self.text);
  }
};

// An item of the menu's layout with the items below it.
struct MenuLayoutItem {
  int id = 0;
  QVariantMap properties;
  QList<MenuLayoutItem> children;
};

// An item's properties, as GetGroupProperties answers them.
struct MenuItemProperties {
  int id = 0;
  QVariantMap properties;
  static auto Fields(auto& self) { return std::tie(self.id, self.properties); }
};

// One event of an EventGroup call.
struct MenuEvent {
  int id = 0;
  QString event_id;
  QDBusVariant data;
  uint timestamp = 0;
  static auto Fields(auto& self) {
    return std::tie(self.id, self.event_id, self.data, self.timestamp);
  }
};

class SniItemObject;
class SniMenuObject;

class StatusNotifierItem final {
 public:
  static constexpr const char* kItemPath = "/StatusNotifierItem";
  static constexpr const char* kMenuPath = "/MenuBar";
  static constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
  static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
  static constexpr const char* kWatcherPath = "/StatusNotifierWatcher";

  // The item shows `icon` and publishes `menu`. The panel's requests reach
  // `events` from the event loop once the panel has its answer, so that a
  // handler may open a menu or a modal box.
  StatusNotifierItem(QDBusConnection bus, std::span<const MenuItemDesign> menu, const QIcon& icon,
                     TrayEvents& events);
  // Takes the item off the bus, and so out of every panel.
  ~StatusNotifierItem();

  // Puts the item on the bus under its own name; false when refused.
  bool Publish();
  // Asks the watcher, which tells panels about items, to show the item.
  void RegisterWithWatcher();

  void SetToolTip(const QString& text);

 private:
  QDBusConnection bus_;
  QString service_;
  // What the bus shows under the two paths; Qt answers their properties
  // and introspection from the objects' declarations.
  std::unique_ptr<SniItemObject> item_;
  std::unique_ptr<SniMenuObject> menu_;
  bool published_ = false;
};

// The icon's name in the icon theme when the package installed it where
// panels look for theme icons, else empty.
QString InstalledThemeIcon();

// A point the panel gave in the screen's own pixels, in Qt's coordinates:
// the same on a screen that is not scaled. A point off every screen comes
// back on the nearest screen's edge.
QPoint FromScreenPixels(QPoint native);

// A structure that D-Bus sends as the fields its Fields names, in order.
template <class T>
concept DbusStructure = requires(T& value) {
  T::Fields(value);
};

template <DbusStructure T>
QDBusArgument& operator<<(QDBusArgument& argument, const T& value) {
  argument.beginStructure();
  std::apply([&argument](const auto&... fields) { (argument << ... << fields); }, T::Fields(value));
  argument.endStructure();
  return argument;
}

template <DbusStructure T>
const QDBusArgument& operator>>(const QDBusArgument& argument, T& value) {
  argument.beginStructure();
  std::apply([&argument](auto&... fields) { (argument >> ... >> fields); }, T::Fields(value));
  argument.endStructure();
  return argument;
}

// The children go as variants, each holding a layout item in turn.
QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayoutItem& item);

}  // namespace pellux

Q_DECLARE_METATYPE(pellux::SniPixmap)
Q_DECLARE_METATYPE(pellux::SniToolTip)
Q_DECLARE_METATYPE(pellux::MenuLayoutItem)
Q_DECLARE_METATYPE(pellux::MenuItemProperties)
Q_DECLARE_METATYPE(pellux::MenuEvent)
