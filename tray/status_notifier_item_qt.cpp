#include "tray/status_notifier_item_qt.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QtEndian>

#include <cstdio>

#include "ui/text_qt.h"

namespace pellux {
namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// The layout never changes while the program runs.
constexpr uint kLayoutRevision = 1;

constexpr int kLargestPixmap = 128;

QString ItemXml() {
  return QStringLiteral(R"xml(<interface name="org.kde.StatusNotifierItem">
<property name="Category" type="s" access="read"/>
<property name="Id" type="s" access="read"/>
<property name="Title" type="s" access="read"/>
<property name="Status" type="s" access="read"/>
<property name="WindowId" type="i" access="read"/>
<property name="IconThemePath" type="s" access="read"/>
<property name="Menu" type="o" access="read"/>
<property name="ItemIsMenu" type="b" access="read"/>
<property name="IconName" type="s" access="read"/>
<property name="IconPixmap" type="a(iiay)" access="read"/>
<property name="OverlayIconName" type="s" access="read"/>
<property name="OverlayIconPixmap" type="a(iiay)" access="read"/>
<property name="AttentionIconName" type="s" access="read"/>
<property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
<property name="AttentionMovieName" type="s" access="read"/>
<property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
<method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
<signal name="NewTitle"/>
<signal name="NewIcon"/>
<signal name="NewAttentionIcon"/>
<signal name="NewOverlayIcon"/>
<signal name="NewToolTip"/>
<signal name="NewStatus"><arg name="status" type="s"/></signal>
</interface>
)xml");
}

QString MenuXml() {
  return QStringLiteral(R"xml(<interface name="com.canonical.dbusmenu">
<property name="Version" type="u" access="read"/>
<property name="TextDirection" type="s" access="read"/>
<property name="Status" type="s" access="read"/>
<property name="IconThemePath" type="as" access="read"/>
<method name="GetLayout"><arg name="parentId" type="i" direction="in"/><arg name="recursionDepth" type="i" direction="in"/><arg name="propertyNames" type="as" direction="in"/><arg name="revision" type="u" direction="out"/><arg name="layout" type="(ia{sv}av)" direction="out"/></method>
<method name="GetGroupProperties"><arg name="ids" type="ai" direction="in"/><arg name="propertyNames" type="as" direction="in"/><arg name="properties" type="a(ia{sv})" direction="out"/></method>
<method name="GetProperty"><arg name="id" type="i" direction="in"/><arg name="name" type="s" direction="in"/><arg name="value" type="v" direction="out"/></method>
<method name="Event"><arg name="id" type="i" direction="in"/><arg name="eventId" type="s" direction="in"/><arg name="data" type="v" direction="in"/><arg name="timestamp" type="u" direction="in"/></method>
<method name="EventGroup"><arg name="events" type="a(isvu)" direction="in"/><arg name="idErrors" type="ai" direction="out"/></method>
<method name="AboutToShow"><arg name="id" type="i" direction="in"/><arg name="needUpdate" type="b" direction="out"/></method>
<method name="AboutToShowGroup"><arg name="ids" type="ai" direction="in"/><arg name="updatesNeeded" type="ai" direction="out"/><arg name="idErrors" type="ai" direction="out"/></method>
<signal name="ItemsPropertiesUpdated"><arg name="updatedProps" type="a(ia{sv})"/><arg name="removedProps" type="a(ias)"/></signal>
<signal name="LayoutUpdated"><arg name="revision" type="u"/><arg name="parent" type="i"/></signal>
<signal name="ItemActivationRequested"><arg name="id" type="i"/><arg name="timestamp" type="u"/></signal>
</interface>
)xml");
}

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

void Reply(const QDBusConnection& connection, const QDBusMessage& message,
           const QVariantList& arguments = {}) {
  connection.send(message.createReply(arguments));
}

void ReplyError(const QDBusConnection& connection, const QDBusMessage& message,
                QDBusError::ErrorType type, const QString& text) {
  connection.send(message.createErrorReply(type, text));
}

}  // namespace

void RegisterStatusNotifierTypes() {
  static const bool registered = [] {
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<QList<SniPixmap>>();
    qDBusRegisterMetaType<SniToolTip>();
    qDBusRegisterMetaType<MenuLayoutItem>();
    qDBusRegisterMetaType<MenuItemProperties>();
    qDBusRegisterMetaType<QList<MenuItemProperties>>();
    qDBusRegisterMetaType<MenuEvent>();
    qDBusRegisterMetaType<QList<MenuEvent>>();
    return true;
  }();
  (void)registered;
}

QList<SniPixmap> IconPixmaps(const QIcon& icon) {
  QList<SniPixmap> pixmaps;
  for (const QSize size : icon.availableSizes()) {
    if (size.width() > kLargestPixmap || size.height() > kLargestPixmap) continue;
    const QImage image = icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    SniPixmap pixmap{image.width(), image.height(), {}};
    pixmap.argb.resize(static_cast<qsizetype>(image.width()) * image.height() * 4);
    auto* out = reinterpret_cast<uchar*>(pixmap.argb.data());
    for (int y = 0; y < image.height(); ++y) {
      const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x, out += 4) qToBigEndian(line[x], out);
    }
    pixmaps.append(pixmap);
  }
  return pixmaps;
}

QPoint FromScreenPixels(QPoint native) {
  // Qt keeps each screen's top-left corner where it is and scales the rest
  // of the screen by its device pixel ratio.
  QScreen* screen = QGuiApplication::primaryScreen();
  for (QScreen* candidate : QGuiApplication::screens()) {
    const QRect logical = candidate->geometry();
    const QRect pixels(logical.topLeft(), logical.size() * candidate->devicePixelRatio());
    if (pixels.contains(native)) {
      screen = candidate;
      break;
    }
  }
  if (screen == nullptr) return native;
  const QPoint origin = screen->geometry().topLeft();
  return origin + (native - origin) / screen->devicePixelRatio();
}

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, std::span<const MenuItemDesign> menu,
                                       const QIcon& icon, StatusNotifierEvents events)
    : bus_(std::move(bus)),
      menu_(menu),
      events_(std::move(events)),
      service_(QStringLiteral("org.kde.StatusNotifierItem-%1-1")
                   .arg(QCoreApplication::applicationPid())),
      pixmaps_(IconPixmaps(icon)) {
  RegisterStatusNotifierTypes();
}

StatusNotifierItem::~StatusNotifierItem() {
  if (!published_) return;
  bus_.unregisterService(service_);
  bus_.unregisterObject(QString::fromLatin1(kItemPath));
  bus_.unregisterObject(QString::fromLatin1(kMenuPath));
}

bool StatusNotifierItem::Publish() {
  published_ = bus_.registerVirtualObject(QString::fromLatin1(kItemPath), this) &&
               bus_.registerVirtualObject(QString::fromLatin1(kMenuPath), this) &&
               bus_.registerService(service_);
  return published_;
}

void StatusNotifierItem::RegisterWithWatcher() {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
      QString::fromLatin1(kWatcherService), QStringLiteral("RegisterStatusNotifierItem"));
  call << service_;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                   [](QDBusPendingCallWatcher* finished) {
                     if (finished->isError()) {
                       std::fprintf(stderr, "pellux: the tray did not take the icon: %s\n",
                                    qPrintable(finished->error().message()));
                     }
                     finished->deleteLater();
                   });
}

void StatusNotifierItem::SetToolTip(const QString& text) {
  if (text == tool_tip_) return;
  tool_tip_ = text;
  if (!published_) return;
  bus_.send(QDBusMessage::createSignal(QString::fromLatin1(kItemPath),
                                       QString::fromLatin1(kItemInterface),
                                       QStringLiteral("NewToolTip")));
}

QString StatusNotifierItem::introspect(const QString& path) const {
  if (path == QLatin1String(kItemPath)) return ItemXml();
  if (path == QLatin1String(kMenuPath)) return MenuXml();
  return {};
}

QVariantMap StatusNotifierItem::Properties(const QString& path) const {
  if (path == QLatin1String(kMenuPath)) {
    return {
        {QStringLiteral("Version"), uint{3}},
        {QStringLiteral("TextDirection"), QGuiApplication::layoutDirection() == Qt::RightToLeft
                                              ? QStringLiteral("rtl")
                                              : QStringLiteral("ltr")},
        {QStringLiteral("Status"), QStringLiteral("normal")},
        {QStringLiteral("IconThemePath"), QStringList()},
    };
  }
  const QString name = QCoreApplication::applicationName();
  return {
      {QStringLiteral("Category"), QStringLiteral("ApplicationStatus")},
      {QStringLiteral("Id"), name},
      {QStringLiteral("Title"), name},
      {QStringLiteral("Status"), QStringLiteral("Active")},
      {QStringLiteral("WindowId"), 0},
      {QStringLiteral("IconThemePath"), QString()},
      {QStringLiteral("Menu"), QVariant::fromValue(QDBusObjectPath(kMenuPath))},
      {QStringLiteral("ItemIsMenu"), false},
      {QStringLiteral("IconName"), QString()},
      {QStringLiteral("IconPixmap"), QVariant::fromValue(pixmaps_)},
      {QStringLiteral("OverlayIconName"), QString()},
      {QStringLiteral("OverlayIconPixmap"), QVariant::fromValue(QList<SniPixmap>())},
      {QStringLiteral("AttentionIconName"), QString()},
      {QStringLiteral("AttentionIconPixmap"), QVariant::fromValue(QList<SniPixmap>())},
      {QStringLiteral("AttentionMovieName"), QString()},
      {QStringLiteral("ToolTip"), QVariant::fromValue(SniToolTip{{}, {}, tool_tip_, {}})},
  };
}

bool StatusNotifierItem::handleMessage(const QDBusMessage& message,
                                       const QDBusConnection& /*connection*/) {
  if (message.type() != QDBusMessage::MethodCallMessage) return false;
  // What is not handled here, introspection among it, Qt answers.
  if (message.interface() == kPropertiesInterface) return HandleProperties(message);
  if (message.path() == QLatin1String(kItemPath)) return HandleItemCall(message);
  if (message.path() == QLatin1String(kMenuPath)) return HandleMenuCall(message);
  return false;
}

bool StatusNotifierItem::HandleProperties(const QDBusMessage& message) {
  const QString interface =
      message.path() == QLatin1String(kMenuPath) ? kMenuInterface : kItemInterface;
  const QVariantList arguments = message.arguments();
  const QString member = message.member();
  if (member == QLatin1String("GetAll") && message.signature() == QLatin1String("s")) {
    const QString asked = arguments[0].toString();
    Reply(bus_, message,
          {asked.isEmpty() || asked == interface ? Properties(message.path()) : QVariantMap()});
    return true;
  }
  if (member == QLatin1String("Get") && message.signature() == QLatin1String("ss")) {
    const QVariantMap properties = Properties(message.path());
    const auto found = properties.constFind(arguments[1].toString());
    if (found == properties.constEnd()) {
      ReplyError(bus_, message, QDBusError::UnknownProperty,
                 QStringLiteral("no property %1").arg(arguments[1].toString()));
    } else {
      Reply(bus_, message, {QVariant::fromValue(QDBusVariant(*found))});
    }
    return true;
  }
  if (member == QLatin1String("Set")) {
    ReplyError(bus_, message, QDBusError::PropertyReadOnly,
               QStringLiteral("the properties are read-only"));
    return true;
  }
  return false;
}

bool StatusNotifierItem::HandleItemCall(const QDBusMessage& message) {
  const QString member = message.member();
  const QString signature = message.signature();
  if (member == QLatin1String("Scroll") && signature == QLatin1String("is")) {
    Reply(bus_, message);
    return true;
  }
  if (signature != QLatin1String("ii")) return false;
  const QVariantList arguments = message.arguments();
  const QPoint at(arguments[0].toInt(), arguments[1].toInt());
  if (member == QLatin1String("Activate")) {
    Reply(bus_, message);
    events_.activate();
  } else if (member == QLatin1String("SecondaryActivate")) {
    Reply(bus_, message);
    events_.secondary_activate();
  } else if (member == QLatin1String("ContextMenu")) {
    Reply(bus_, message);
    events_.context_menu(at);
  } else {
    return false;
  }
  return true;
}

bool StatusNotifierItem::HandleMenuCall(const QDBusMessage& message) {
  const QString member = message.member();
  const QString signature = message.signature();
  const QVariantList arguments = message.arguments();

  if (member == QLatin1String("GetLayout") && signature == QLatin1String("iias")) {
    const auto names = Names(arguments[2].toStringList());
    const auto layout = menu_.Layout(arguments[0].toInt(), arguments[1].toInt(), names);
    if (!layout) {
      ReplyError(bus_, message, QDBusError::InvalidArgs, QStringLiteral("no such menu item"));
    } else {
      Reply(bus_, message, {kLayoutRevision, QVariant::fromValue(ToLayoutItem(*layout))});
    }
    return true;
  }
  if (member == QLatin1String("GetGroupProperties") && signature == QLatin1String("aias")) {
    const auto names = Names(arguments[1].toStringList());
    QList<MenuItemProperties> items;
    for (const int id : qdbus_cast<QList<int>>(arguments[0])) {
      if (const auto properties = menu_.Properties(id, names)) {
        items.append({id, ToVariantMap(*properties)});
      }
    }
    Reply(bus_, message, {QVariant::fromValue(items)});
    return true;
  }
  if (member == QLatin1String("GetProperty") && signature == QLatin1String("is")) {
    const std::string name = FromQString(arguments[1].toString());
    const auto properties = menu_.Properties(arguments[0].toInt(), std::span(&name, 1));
    if (!properties || properties->empty()) {
      ReplyError(bus_, message, QDBusError::InvalidArgs, QStringLiteral("no such property"));
    } else {
      Reply(bus_, message,
            {QVariant::fromValue(QDBusVariant(ToQString(properties->front().value)))});
    }
    return true;
  }
  if (member == QLatin1String("Event") && signature == QLatin1String("isvu")) {
    Reply(bus_, message);
    if (arguments[1].toString() == QLatin1String("clicked")) {
      if (const auto entry = menu_.Entry(arguments[0].toInt())) events_.menu_entry(*entry);
    }
    return true;
  }
  if (member == QLatin1String("EventGroup") && signature == QLatin1String("a(isvu)")) {
    QList<int> unknown;
    std::vector<std::string_view> chosen;
    for (const MenuEvent& event : qdbus_cast<QList<MenuEvent>>(arguments[0])) {
      if (!menu_.Properties(event.id, {})) {
        unknown.append(event.id);
      } else if (event.event_id == QLatin1String("clicked")) {
        if (const auto entry = menu_.Entry(event.id)) chosen.push_back(*entry);
      }
    }
    Reply(bus_, message, {QVariant::fromValue(unknown)});
    for (const std::string_view entry : chosen) events_.menu_entry(entry);
    return true;
  }
  if (member == QLatin1String("AboutToShow") && signature == QLatin1String("i")) {
    // The menu is the same every time: nothing to bring up to date.
    Reply(bus_, message, {false});
    return true;
  }
  if (member == QLatin1String("AboutToShowGroup") && signature == QLatin1String("ai")) {
    QList<int> unknown;
    for (const int id : qdbus_cast<QList<int>>(arguments[0])) {
      if (!menu_.Properties(id, {})) unknown.append(id);
    }
    Reply(bus_, message, {QVariant::fromValue(QList<int>()), QVariant::fromValue(unknown)});
    return true;
  }
  return false;
}

namespace {

// A structure as D-Bus sends it: its fields in order, between the
// structure's brackets.
template <class... Fields>
QDBusArgument& WriteStructure(QDBusArgument& argument, const Fields&... fields) {
  argument.beginStructure();
  (argument << ... << fields);
  argument.endStructure();
  return argument;
}

template <class... Fields>
const QDBusArgument& ReadStructure(const QDBusArgument& argument, Fields&... fields) {
  argument.beginStructure();
  (argument >> ... >> fields);
  argument.endStructure();
  return argument;
}

}  // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap) {
  return WriteStructure(argument, pixmap.width, pixmap.height, pixmap.argb);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap) {
  return ReadStructure(argument, pixmap.width, pixmap.height, pixmap.argb);
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& tip) {
  return WriteStructure(argument, tip.icon_name, tip.pixmaps, tip.title, tip.text);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& tip) {
  return ReadStructure(argument, tip.icon_name, tip.pixmaps, tip.title, tip.text);
}

// The children go as variants, each holding a layout item in turn.
QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayoutItem& item) {
  argument.beginStructure();
  argument << item.id << item.properties;
  argument.beginArray(QMetaType::fromType<QDBusVariant>());
  for (const MenuLayoutItem& child : item.children) {
    argument << QDBusVariant(QVariant::fromValue(child));
  }
  argument.endArray();
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayoutItem& item) {
  argument.beginStructure();
  argument >> item.id >> item.properties;
  item.children.clear();
  argument.beginArray();
  while (!argument.atEnd()) {
    QDBusVariant child;
    argument >> child;
    item.children.append(qdbus_cast<MenuLayoutItem>(child.variant()));
  }
  argument.endArray();
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemProperties& item) {
  return WriteStructure(argument, item.id, item.properties);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemProperties& item) {
  return ReadStructure(argument, item.id, item.properties);
}

QDBusArgument& operator<<(QDBusArgument& argument, const MenuEvent& event) {
  return WriteStructure(argument, event.id, event.event_id, event.data, event.timestamp);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuEvent& event) {
  return ReadStructure(argument, event.id, event.event_id, event.data, event.timestamp);
}

}  // namespace pellux
