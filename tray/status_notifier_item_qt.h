// The tray icon as a StatusNotifierItem on the session bus: the item under
// /StatusNotifierItem, and the command menu under /MenuBar over
// com.canonical.dbusmenu, which the panel draws as its own menu.
#pragma once

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QIcon>
#include <QList>
#include <QPoint>
#include <QTimer>
#include <QVariantMap>

#include <functional>
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

class SniMenuObject;

// The item as panels read it; Qt answers its properties and introspection from these declarations.
class StatusNotifierItem final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
  Q_PROPERTY(QString Category READ Category)
  Q_PROPERTY(QString Id READ Name)
  Q_PROPERTY(QString Title READ Name)
  Q_PROPERTY(QString Status READ Status)
  Q_PROPERTY(int WindowId READ NoWindow)
  Q_PROPERTY(QString IconThemePath READ NoText)
  Q_PROPERTY(QDBusObjectPath Menu READ Menu)
  Q_PROPERTY(bool ItemIsMenu READ IsMenu)
  Q_PROPERTY(QString IconName READ IconName)
  Q_PROPERTY(QList<pellux::SniPixmap> IconPixmap READ IconPixmap)
  Q_PROPERTY(QString OverlayIconName READ NoText)
  Q_PROPERTY(QList<pellux::SniPixmap> OverlayIconPixmap READ NoPixmaps)
  Q_PROPERTY(QString AttentionIconName READ NoText)
  Q_PROPERTY(QList<pellux::SniPixmap> AttentionIconPixmap READ NoPixmaps)
  Q_PROPERTY(QString AttentionMovieName READ NoText)
  Q_PROPERTY(pellux::SniToolTip ToolTip READ ToolTip)

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
  ~StatusNotifierItem() override;

  // Puts the item on the bus under its own name; false when refused.
  bool Publish();
  // Asks the watcher, which tells panels about items, to show the item.
  void RegisterWithWatcher();
  // Sent on the bus only while the item is there.
  void SetToolTip(const QString& text) {
    tool_tip_.title = text;
    emit NewToolTip();
  }

  QString Category() const { return QStringLiteral("ApplicationStatus"); }
  QString Name() const { return QCoreApplication::applicationName(); }
  QString Status() const { return QStringLiteral("Active"); }
  int NoWindow() const { return 0; }
  QString NoText() const { return {}; }
  QDBusObjectPath Menu() const { return QDBusObjectPath(kMenuPath); }
  bool IsMenu() const { return false; }
  QString IconName() const { return icon_name_; }
  QList<SniPixmap> IconPixmap();
  QList<SniPixmap> NoPixmaps() const { return {}; }
  SniToolTip ToolTip() const { return tool_tip_; }

 public slots:
  void ContextMenu(int x, int y) {
    Later([this, x, y] { events_.Trayicon1_MouseButton(kRightButton, ScreenPoint{x, y}); });
  }
  void Activate(int /*x*/, int /*y*/) {
    Later([this] { events_.Trayicon1_Activate(); });
  }
  void SecondaryActivate(int /*x*/, int /*y*/) {
    Later([this] { events_.Trayicon1_MouseButton(kMiddleButton, std::nullopt); });
  }
  void Scroll(int /*delta*/, const QString& /*orientation*/) {}

 signals:
  void NewTitle();
  void NewIcon();
  void NewAttentionIcon();
  void NewOverlayIcon();
  void NewToolTip();
  void NewStatus(const QString& status);

 private:
  // Runs `action` from the event loop, unless the item is gone by then.
  void Later(std::function<void()> action) {
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
  }

  QDBusConnection bus_;
  QString service_;
  TrayEvents& events_;
  std::unique_ptr<SniMenuObject> menu_;
  bool published_ = false;
  const QList<SniPixmap> pixmaps_;
  const QString icon_name_;
  SniToolTip tool_tip_;
  int pixmap_answers_;
  QElapsedTimer refill_;
  QTimer announce_icon_;
};

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
