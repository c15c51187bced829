#include "tray/status_notifier_item_qt.h"

#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QStandardPaths>
#include <QtEndian>

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/text_qt.h"

namespace pellux {
namespace {

// The layout never changes while the program runs.
constexpr uint kLayoutRevision = 1;

// Panels draw tray icons at 16 to 48 pixels; 64 leaves room for a scaled
// screen. Each GetAll carries every size, so larger ones would only make
// every answer heavier.
constexpr int kLargestPixmap = 64;

// How many answers with the icon's pixels go out in a burst, and how many
// more each second. A panel reads them when the item appears and at each
// NewIcon; a client asking thousands of times a second gets answers without
// them, so that copies of the images do not crowd the bus.
constexpr int kPixmapBurst = 16;
constexpr int kPixmapsPerSecond = 16;
// After answers went out without the pixels, the item announces its icon
// again once the asking has stopped for this long, so that a panel that
// read it in the middle reads it whole.
constexpr int kNewIconAfterMs = 1000;

QVariantMap ToVariantMap(const std::vector<DbusMenuProperty>& properties) {
  QVariantMap map;
  for (const DbusMenuProperty& property : properties) {
    map.insert(ToQString(property.name), ToQString(property.value));
  }
  return map;
}

MenuLayoutItem ToLayoutItem(const DbusMenuNode& node) {
  MenuLayoutItem item{node.id, ToVariantMap(node.properties), {}};
  for (const DbusMenuNode& child : node.children) item.children.append(ToLayoutItem(child));
  return item;
}

std::vector<std::string> Names(const QStringList& names) {
  std::vector<std::string> result;
  for (const QString& name : names) result.push_back(FromQString(name));
  return result;
}

// The types the two interfaces send, made known to Qt's D-Bus type system.
void RegisterStatusNotifierTypes() {
  qDBusRegisterMetaType<SniPixmap>();
  qDBusRegisterMetaType<QList<SniPixmap>>();
  qDBusRegisterMetaType<SniToolTip>();
  qDBusRegisterMetaType<MenuLayoutItem>();
  qDBusRegisterMetaType<MenuItemProperties>();
  qDBusRegisterMetaType<QList<MenuItemProperties>>();
  qDBusRegisterMetaType<MenuEvent>();
  qDBusRegisterMetaType<QList<MenuEvent>>();
}

// The pixels of the icon at each of its sizes up to 64 pixels.
QList<SniPixmap> IconPixmaps(const QIcon& icon) {
  QList<SniPixmap> pixmaps;
  for (const QSize size : icon.availableSizes()) {
    if (size.width() > kLargestPixmap || size.height() > kLargestPixmap) continue;
    const QImage image = icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    // Rows of 32-bit pixels have no padding, so the pixels are one array.
    SniPixmap pixmap{image.width(), image.height(), QByteArray(image.sizeInBytes(), '\0')};
    qToBigEndian<quint32>(image.constBits(), image.sizeInBytes() / 4, pixmap.argb.data());
    pixmaps.append(pixmap);
  }
  return pixmaps;
}

// The icon's name in the hicolor theme when the package installed it there,
// where panels look for theme icons, else empty.
QString InstalledThemeIcon() {
  const QString file =
      QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                             QStringLiteral("icons/hicolor/scalable/apps/pellux.svg"));
  return file.isEmpty() ? QString() : QStringLiteral("pellux");
}

}  // namespace

QPoint FromScreenPixels(QPoint native) {
  // Qt keeps each screen's top-left corner where it is and scales the rest
  // of the screen by its device pixel ratio. A panel may send any number.
  QPoint result = native;
  int64_t nearest = INT64_MAX;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect logical = screen->geometry();
    const QRect pixels(logical.topLeft(), logical.size() * screen->devicePixelRatio());
    if (pixels.isEmpty()) continue;
    const QPoint clamped(std::clamp(native.x(), pixels.left(), pixels.right()),
                         std::clamp(native.y(), pixels.top(), pixels.bottom()));
    const int64_t distance =
        std::abs(int64_t{native.x()} - clamped.x()) + std::abs(int64_t{native.y()} - clamped.y());
    if (distance < nearest) {
      nearest = distance;
      result = logical.topLeft() + (clamped - logical.topLeft()) / screen->devicePixelRatio();
    }
  }
  return result;
}

// The command menu under /MenuBar. It never changes, so the signals that
// announce changes are never sent and are left out.
class SniMenuObject final : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
  Q_PROPERTY(uint Version READ Version)
  Q_PROPERTY(QString TextDirection READ TextDirection)
  Q_PROPERTY(QString Status READ Status)
  Q_PROPERTY(QStringList IconThemePath READ IconThemePath)

 public:
  SniMenuObject(TrayEvents& events, std::span<const MenuItemDesign> menu)
      : events_(events), menu_(menu) {}

  uint Version() const { return 3; }
  QString TextDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
  }
  QString Status() const { return QStringLiteral("normal"); }
  QStringList IconThemePath() const { return {}; }

 public slots:
  uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                 pellux::MenuLayoutItem& layout) {
    const auto found = menu_.Layout(parentId, recursionDepth, Names(propertyNames));
    if (!found) {
      sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no such menu item"));
      return 0;
    }
    layout = ToLayoutItem(*found);
    return kLayoutRevision;
  }

  QList<pellux::MenuItemProperties> GetGroupProperties(const QList<int>& ids,
                                                       const QStringList& propertyNames) {
    const auto names = Names(propertyNames);
    QList<MenuItemProperties> items;
    for (const int id : ids) {
      if (const auto properties = menu_.Properties(id, names)) {
        items.append({id, ToVariantMap(*properties)});
      }
    }
    return items;
  }

  QDBusVariant GetProperty(int id, const QString& name) {
    const std::string wanted = FromQString(name);
    const auto properties = menu_.Properties(id, std::span(&wanted, 1));
    if (!properties || properties->empty()) {
      sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no such property"));
      return {};
    }
    return QDBusVariant(ToQString(properties->front().value));
  }

  void Event(int id, const QString& eventId, const QDBusVariant& /*data*/, uint /*timestamp*/) {
    if (eventId != QLatin1String("clicked")) return;
    if (const auto entry = menu_.Entry(id)) {
      QMetaObject::invokeMethod(
          this, [this, entry = *entry] { events_.mnuMain_Click(entry); }, Qt::QueuedConnection);
    }
  }

  // The items that are not in the menu, whose events Event ignores.
  QList<int> EventGroup(const QList<pellux::MenuEvent>& events) {
    QList<int> unknown;
    for (const MenuEvent& event : events) {
      if (!menu_.Properties(event.id, {})) unknown.append(event.id);
      Event(event.id, event.event_id, event.data, event.timestamp);
    }
    return unknown;
  }

  // The menu is the same every time: nothing to bring up to date.
  bool AboutToShow(int /*id*/) { return false; }

  QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (const int id : ids) {
      if (!menu_.Properties(id, {})) idErrors.append(id);
    }
    return {};
  }

 private:
  TrayEvents& events_;
  DbusMenu menu_;
};

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, std::span<const MenuItemDesign> menu,
                                       const QIcon& icon, TrayEvents& events)
    : bus_(std::move(bus)),
      service_(QStringLiteral("org.kde.StatusNotifierItem-%1-1")
                   .arg(QCoreApplication::applicationPid())),
      events_(events),
      menu_(std::make_unique<SniMenuObject>(events, menu)),
      pixmaps_(IconPixmaps(icon)),
      icon_name_(InstalledThemeIcon()),
      pixmap_answers_(kPixmapBurst) {
  RegisterStatusNotifierTypes();
  refill_.start();
  announce_icon_.setSingleShot(true);
  announce_icon_.setInterval(kNewIconAfterMs);
  connect(&announce_icon_, &QTimer::timeout, this, [this] {
    emit NewIcon();
    // The answers to the burst are gone; the allocator keeps the pages
    // they used until asked to give them back.
    malloc_trim(0);
  });
}

// Qt takes the two objects off the bus as they go.
StatusNotifierItem::~StatusNotifierItem() {
  if (published_) bus_.unregisterService(service_);
}

bool StatusNotifierItem::Publish() {
  constexpr auto kExport = QDBusConnection::ExportAllContents;
  published_ = bus_.registerObject(QString::fromLatin1(kItemPath), this, kExport) &&
               bus_.registerObject(QString::fromLatin1(kMenuPath), menu_.get(), kExport) &&
               bus_.registerService(service_);
  return published_;
}

void StatusNotifierItem::RegisterWithWatcher() {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
      QString::fromLatin1(kWatcherService), QStringLiteral("RegisterStatusNotifierItem"));
  call << service_;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [](QDBusPendingCallWatcher* finished) {
    if (finished->isError()) {
      std::fprintf(stderr, "pellux: the tray did not take the icon: %s\n",
                   qPrintable(finished->error().message()));
    }
    finished->deleteLater();
  });
}

QList<SniPixmap> StatusNotifierItem::IconPixmap() {
  const qint64 earned = refill_.elapsed() * kPixmapsPerSecond / 1000;
  if (earned > 0) {
    pixmap_answers_ = static_cast<int>(std::min<qint64>(kPixmapBurst, pixmap_answers_ + earned));
    refill_.restart();
  }
  if (pixmap_answers_ > 0) {
    --pixmap_answers_;
    return pixmaps_;
  }
  announce_icon_.start();
  return {};
}

QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayoutItem& item) {
  QList<QDBusVariant> children;
  for (const MenuLayoutItem& child : item.children) {
    children.append(QDBusVariant(QVariant::fromValue(child)));
  }
  argument.beginStructure();
  argument << item.id << item.properties << children;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayoutItem& item) {
  QList<QDBusVariant> children;
  argument.beginStructure();
  argument >> item.id >> item.properties >> children;
  argument.endStructure();
  item.children.clear();
  for (const QDBusVariant& child : children) {
    item.children.append(qdbus_cast<MenuLayoutItem>(child.variant()));
  }
  return argument;
}

}  // namespace pellux

#include "status_notifier_item_qt.moc"
