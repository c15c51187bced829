// The tray icon on a private session bus, with a watcher of the test's own
// and the test in the panel's place: which kind of icon the program uses as
// trays come and go, what its item tells a panel, and what the panel's
// requests and its menu's clicks do.
#include <QCursor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QDBusVirtualObject>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <climits>
#include <memory>
#include <utility>

#include "tests/qt/app_rig.h"
#include "tests/qt/helpers.h"
#include "tests/qt/qt_tests.h"

namespace pellux::qt_tests {
namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

// A StatusNotifierWatcher on a connection of its own, as a panel runs it.
class FakeWatcher final : public QDBusVirtualObject {
 public:
  explicit FakeWatcher(const QString& connection_name, bool hosted)
      : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connection_name)),
        hosted_(hosted) {
    bus_.registerVirtualObject(kWatcherPath, this);
    bus_.registerService(kWatcher);
  }
  ~FakeWatcher() override {
    const QString name = bus_.name();
    bus_.unregisterObject(kWatcherPath);
    bus_ = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(name);
  }

  // A host starts behind the watcher.
  void AddHost() {
    hosted_ = true;
    bus_.send(QDBusMessage::createSignal(kWatcherPath, kWatcher,
                                         QStringLiteral("StatusNotifierHostRegistered")));
  }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() == QLatin1String("RegisterStatusNotifierItem")) {
      items << message.arguments().value(0).toString();
      connection.send(message.createReply());
      return true;
    }
    if (message.member() == QLatin1String("Get") &&
        message.arguments().value(1).toString() ==
            QLatin1String("IsStatusNotifierHostRegistered")) {
      connection.send(message.createReply(QVariant::fromValue(QDBusVariant(hosted_))));
      return true;
    }
    return false;
  }
  QString introspect(const QString& /*path*/) const override { return {}; }

  QStringList items;  // registered, in order

 private:
  QDBusConnection bus_;
  bool hosted_;
};

struct Rig : AppRig {
  QtTrayIcon& tray() { return app.tray(); }
};

// The panel's side of the bus: a connection apart from the program's.
QDBusConnection Panel() {
  return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("panel"));
}

QDBusMessage Call(const QString& service, const char* path, const char* interface,
                  const char* member, const QVariantList& arguments = {}) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(service, QString::fromLatin1(path),
                                     QString::fromLatin1(interface), QString::fromLatin1(member));
  call.setArguments(arguments);
  // The program answers from this very thread: its event loop must run
  // while the call waits.
  return Panel().call(call, QDBus::BlockWithGui);
}

QVariant ItemProperty(const QString& service, const char* name) {
  const QDBusMessage reply =
      Call(service, StatusNotifierItem::kItemPath, "org.freedesktop.DBus.Properties", "Get",
           {QString::fromLatin1(StatusNotifierItem::kItemInterface), QString::fromLatin1(name)});
  return reply.arguments().value(0).value<QDBusVariant>().variant();
}

// Every StatusNotifierItem on the bus: the program's own, and any other that
// Qt might have put there.
QStringList ItemsOnTheBus() {
  QStringList items;
  for (const QString& name : Panel().interface()->registeredServiceNames().value()) {
    if (name.startsWith(QLatin1String("org.kde.StatusNotifierItem-"))) items << name;
  }
  return items;
}

// The started program with the system's own message boxes.
struct RealBoxesRig : testing::ProgramWithRealBoxes<App> {
  RealBoxesRig() {
    sockets.SetAddresses({"10.0.0.1", "192.168.0.5"});
    app.Start();
  }
};

// Counts the menus and message boxes shown, and how many of each were open
// at once. A second one of a kind is closed as soon as it shows, so that a
// program that stacks them still comes back to the test.
class LoopCounter final : public QObject {
 public:
  struct Kind {
    int shown = 0;
    int open = 0;
    int most_open = 0;
  };
  Kind menus;
  Kind boxes;

  LoopCounter() { qApp->installEventFilter(this); }
  ~LoopCounter() override { qApp->removeEventFilter(this); }

  bool eventFilter(QObject* object, QEvent* event) override {
    auto* window = qobject_cast<QWidget*>(object);
    if (window == nullptr || !window->isWindow() || event->spontaneous() ||
        window->testAttribute(Qt::WA_DontShowOnScreen)) {
      return false;
    }
    Kind* kind = qobject_cast<QMenu*>(window)         ? &menus
                 : qobject_cast<QMessageBox*>(window) ? &boxes
                                                      : nullptr;
    if (kind == nullptr) return false;
    if (event->type() == QEvent::Show) {
      ++kind->shown;
      kind->most_open = std::max(kind->most_open, ++kind->open);
      if (kind->open > 1) QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
    } else if (event->type() == QEvent::Hide) {
      --kind->open;
    }
    return false;
  }
};

// Sends `call` `count` times from the panel without waiting, then runs the
// event loop until every call was answered and everything the program
// posted to itself while answering has run.
void SendAndSettle(const QDBusMessage& call, int count) {
  QList<QDBusPendingCall> calls;
  for (int i = 0; i < count; ++i) calls << Panel().asyncCall(call);
  const auto answered = [&calls] {
    return std::all_of(calls.begin(), calls.end(),
                       [](const QDBusPendingCall& c) { return c.isFinished(); });
  };
  while (!answered()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  bool settled = false;
  QMetaObject::invokeMethod(
      qApp, [&settled] { settled = true; }, Qt::QueuedConnection);
  while (!settled) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

class TrayTest : public QObject {
  Q_OBJECT

 public slots:
  void CountToolTipChange() { ++tool_tip_changes_; }
  void CountNewIcon() { ++new_icons_; }

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Pellux")); }
  void cleanup() { DropUnloadedWindows(); }

  // The icon starts with a panel that hosts items, then moves to XEmbed
  // and back. (Whether Qt's own icons stay off the bus depends on the
  // platform, which here has no tray of Qt's: the smoke test checks that.)
  void theIconMovesWithTheTrays() {
    auto watcher = std::make_unique<FakeWatcher>(QStringLiteral("watcher1"), true);
    Rig rig;
    TRY_VERIFY(rig.tray().status_notifier_item() != nullptr);
    // The item's bus name: the process id and a count of the process's
    // items, as panels expect it.
    const QString item =
        QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
    TRY_COMPARE(watcher->items, QStringList{item});
    QVERIFY(rig.tray().xembed_icon() == nullptr);
    QCOMPARE(ItemsOnTheBus(), QStringList{item});

    // The panel goes: the XEmbed icon waits for a tray, and the item leaves
    // the bus.
    watcher.reset();
    TRY_VERIFY(rig.tray().xembed_icon() != nullptr);
    QVERIFY(rig.tray().status_notifier_item() == nullptr);
    TRY_COMPARE(ItemsOnTheBus(), QStringList());

    // A new panel: the item comes back and registers with the new watcher;
    // Qt's XEmbed icon goes and leaves nothing on the bus.
    watcher = std::make_unique<FakeWatcher>(QStringLiteral("watcher2"), true);
    TRY_COMPARE(watcher->items, QStringList{item});
    QVERIFY(rig.tray().xembed_icon() == nullptr);
    QCOMPARE(ItemsOnTheBus(), QStringList{item});
  }

  void aWatcherWithoutAHostWaitsForOne() {
    FakeWatcher watcher(QStringLiteral("watcher3"), false);
    Rig rig;
    QTest::qWait(TrayTimerMs(TrayTimer::kSettle) * 2);
    QVERIFY(rig.tray().status_notifier_item() == nullptr);
    QVERIFY(rig.tray().xembed_icon() != nullptr);
    watcher.AddHost();
    TRY_VERIFY(rig.tray().status_notifier_item() != nullptr);
    TRY_COMPARE(watcher.items.size(), 1);
    QVERIFY(rig.tray().xembed_icon() == nullptr);
  }

  void theItemNamesTheProgramAndPublishesItsMenu() {
    FakeWatcher watcher(QStringLiteral("watcher4"), true);
    Rig rig;
    TRY_COMPARE(watcher.items.size(), 1);
    const QString item = watcher.items[0];
    QCOMPARE(ItemProperty(item, "Id").toString(), QString("Pellux"));
    QCOMPARE(ItemProperty(item, "Title").toString(), QString("Pellux"));
    QCOMPARE(ItemProperty(item, "ItemIsMenu").toBool(), false);
    QCOMPARE(qdbus_cast<QDBusObjectPath>(ItemProperty(item, "Menu")).path(), QString("/MenuBar"));
    const auto tip = qdbus_cast<SniToolTip>(ItemProperty(item, "ToolTip"));
    QCOMPARE(tip.title, QString("Pellux: 192.168.0.5"));
    QList<int> sizes;
    for (const SniPixmap& pixmap : qdbus_cast<QList<SniPixmap>>(ItemProperty(item, "IconPixmap"))) {
      QCOMPARE(pixmap.argb.size(), pixmap.width * pixmap.height * 4);
      sizes << pixmap.width;
    }
    QCOMPARE(sizes, (QList<int>{16, 22, 24, 32, 48, 64}));
    // Not installed here: no theme icon to name.
    QCOMPARE(ItemProperty(item, "IconName").toString(), QString());

    const QDBusMessage layout = Call(item, StatusNotifierItem::kMenuPath, "com.canonical.dbusmenu",
                                     "GetLayout", {0, -1, QStringList()});
    QCOMPARE(layout.type(), QDBusMessage::ReplyMessage);
    const auto root = qdbus_cast<MenuLayoutItem>(layout.arguments().value(1));
    QStringList lines;
    for (const MenuLayoutItem& child : root.children) {
      lines << child.properties.value("label", child.properties.value("type")).toString();
    }
    QCOMPARE(lines, (QStringList{"_Get IP", "separator", "_Recent IPs", "_Configure", "separator",
                                 "E_xit"}));

    const QDBusMessage unknown = Call(item, StatusNotifierItem::kMenuPath, "com.canonical.dbusmenu",
                                      "GetLayout", {9, -1, QStringList()});
    QCOMPARE(unknown.type(), QDBusMessage::ErrorMessage);
  }

  void theTipIsAnnouncedOnlyWhenItChanges() {
    FakeWatcher watcher(QStringLiteral("watcher5"), true);
    Rig rig;
    TRY_COMPARE(watcher.items.size(), 1);
    const QString item = watcher.items[0];
    QVERIFY(Panel().connect(item, StatusNotifierItem::kItemPath, StatusNotifierItem::kItemInterface,
                            QStringLiteral("NewToolTip"), this, SLOT(CountToolTipChange())));
    tool_tip_changes_ = 0;
    for (int tick = 0; tick < 3; ++tick) rig.Tick();
    rig.sockets.SetAddresses({"10.1.2.3"});
    rig.Tick();
    rig.Tick();
    TRY_COMPARE(tool_tip_changes_, 1);
    QCOMPARE(qdbus_cast<SniToolTip>(ItemProperty(item, "ToolTip")).title,
             QString("Pellux: 10.1.2.3"));
    // The same signal was not merely late: a last change arrives after it.
    rig.sockets.SetAddresses({"192.168.0.5"});
    rig.Tick();
    TRY_COMPARE(tool_tip_changes_, 2);
    Panel().disconnect(item, StatusNotifierItem::kItemPath, StatusNotifierItem::kItemInterface,
                       QStringLiteral("NewToolTip"), this, SLOT(CountToolTipChange()));
  }

  void thePanelsRequestsReachTheHandlers() {
    FakeWatcher watcher(QStringLiteral("watcher6"), true);
    Rig rig;
    TRY_COMPARE(watcher.items.size(), 1);
    const QString item = watcher.items[0];
    const char* menu = "com.canonical.dbusmenu";
    const QVariant no_data = QVariant::fromValue(QDBusVariant(QString()));

    // Clicks on the separator, and events other than clicks, do nothing.
    Call(item, StatusNotifierItem::kMenuPath, menu, "Event", {2, "clicked", no_data, 0u});
    Call(item, StatusNotifierItem::kMenuPath, menu, "Event", {6, "hovered", no_data, 0u});
    Call(item, StatusNotifierItem::kItemPath, StatusNotifierItem::kItemInterface,
         "SecondaryActivate", {0, 0});
    QCoreApplication::processEvents();
    QVERIFY(!rig.app.info_window().loaded());
    QVERIFY(!rig.process.exit_code);

    Call(item, StatusNotifierItem::kMenuPath, menu, "Event", {3, "clicked", no_data, 0u});
    TRY_COMPARE(rig.messages.shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(rig.messages.shown[0].title), QString("Recent IP addresses"));

    Call(item, StatusNotifierItem::kItemPath, StatusNotifierItem::kItemInterface, "Activate",
         {0, 0});
    TRY_VERIFY(rig.app.info_window().loaded());

    // A panel that draws no menus asks for one at a place of its choosing.
    QPoint opened_at;
    WhenOpen(ActivePopup, [&opened_at](QWidget* popup) {
      opened_at = popup->geometry().topLeft();
      popup->close();
    });
    Call(item, StatusNotifierItem::kItemPath, StatusNotifierItem::kItemInterface, "ContextMenu",
         {120, 90});
    TRY_COMPARE(opened_at, QPoint(120, 90));
    // That place was for that menu only: the next one opens at the pointer.
    QCursor::setPos(40, 50);
    opened_at = QPoint();
    WhenOpen(ActivePopup, [&opened_at](QWidget* popup) {
      opened_at = popup->geometry().topLeft();
      popup->close();
    });
    QVERIFY(!rig.tray().PopupMenu(kMainMenu, std::nullopt));
    QCOMPARE(opened_at, QPoint(40, 50));

    const QDBusMessage group =
        Call(item, StatusNotifierItem::kMenuPath, menu, "EventGroup",
             {QVariant::fromValue(QList<MenuEvent>{{4, "clicked", QDBusVariant(QString()), 0u},
                                                   {42, "clicked", QDBusVariant(QString()), 0u}})});
    QCOMPARE(qdbus_cast<QList<int>>(group.arguments().value(0)), QList<int>{42});
    TRY_VERIFY(rig.app.config_window().loaded());

    Call(item, StatusNotifierItem::kMenuPath, menu, "Event", {6, "clicked", no_data, 0u});
    TRY_COMPARE(rig.process.exit_code.value_or(-1), 0);
    QVERIFY(!rig.app.info_window().loaded());
    QVERIFY(!rig.app.config_window().loaded());
    QVERIFY(rig.tray().status_notifier_item() == nullptr);
    TRY_COMPARE(ItemsOnTheBus(), QStringList());
  }

  // The package puts the icon into the hicolor theme; the item names it
  // when panels can find it there.
  void theInstalledThemeIconIsNamed() {
    QTemporaryDir data;
    QVERIFY(QDir(data.path()).mkpath("icons/hicolor/scalable/apps"));
    QVERIFY(QFile::copy(":/pellux/icons/pellux-16.png",
                        data.filePath("icons/hicolor/scalable/apps/pellux.svg")));
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    FakeWatcher watcher(QStringLiteral("watcher7"), true);
    Rig rig;
    TRY_COMPARE(watcher.items.size(), 1);
    QCOMPARE(ItemProperty(watcher.items[0], "IconName").toString(), QString("pellux"));
    qputenv("XDG_DATA_HOME", saved);
  }

  // A client asks for every property thousands of times without pause:
  // the program answers every call and the panel's reads meanwhile, only
  // a few of the answers carry the icon's pixels, the icon is announced
  // again once the asking stops.
  void aFloodOfGetAllIsAnsweredLightly() {
    FakeWatcher watcher(QStringLiteral("watcher8"), true);
    Rig rig;
    TRY_COMPARE(watcher.items.size(), 1);
    const QString item = watcher.items[0];
    QVERIFY(Panel().connect(item, StatusNotifierItem::kItemPath, StatusNotifierItem::kItemInterface,
                            QStringLiteral("NewIcon"), this, SLOT(CountNewIcon())));
    new_icons_ = 0;
    const long before = ResidentKb();

    constexpr int kCalls = 3000;
    QDBusConnection flood =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("flood"));
    QDBusMessage get_all = QDBusMessage::createMethodCall(
        item, StatusNotifierItem::kItemPath, "org.freedesktop.DBus.Properties", "GetAll");
    get_all << QString::fromLatin1(StatusNotifierItem::kItemInterface);
    QList<QDBusPendingCall> calls;
    for (int i = 0; i < kCalls; ++i) calls << flood.asyncCall(get_all);
    QElapsedTimer read;
    read.start();
    QCOMPARE(qdbus_cast<SniToolTip>(ItemProperty(item, "ToolTip")).title,
             QString("Pellux: 192.168.0.5"));
    const qint64 read_ms = read.elapsed();

    int with_pixels = 0;
    for (QDBusPendingCall& call : calls) {
      // The program answers from this very thread: blocking it until the
      // answer came would wait for ever for calls it has not answered yet.
      TRY_VERIFY_WITH_TIMEOUT(call.isFinished(), 60000);
      QCOMPARE(call.reply().type(), QDBusMessage::ReplyMessage);
      const QVariantMap all = qdbus_cast<QVariantMap>(call.reply().arguments().value(0));
      QCOMPARE(all.value("Id").toString(), QString("Pellux"));
      if (!qdbus_cast<QList<SniPixmap>>(all.value("IconPixmap")).isEmpty()) ++with_pixels;
    }
    calls.clear();
    TRY_COMPARE(new_icons_, 1);
    QCOMPARE(qdbus_cast<QList<SniPixmap>>(ItemProperty(item, "IconPixmap")).size(), 6);
    const long after = ResidentKb();
    qInfo("%d calls: ToolTip read in %lld ms; %d answers with pixels; %ld kB before, %ld after",
          kCalls, read_ms, with_pixels, before, after);
    // A burst's worth, and what the flood's seconds earned: far from all.
    QVERIFY2(with_pixels < kCalls / 4, qPrintable(QString::number(with_pixels)));
    // The memory is printed, not judged: here the sanitizers keep freed
    // memory in quarantine and the flood's client shares the process.
    // bench/sni_flood.sh measures the real program from outside.
    Panel().disconnect(item, StatusNotifierItem::kItemPath, StatusNotifierItem::kItemInterface,
                       QStringLiteral("NewIcon"), this, SLOT(CountNewIcon()));
    QDBusConnection::disconnectFromBus(QStringLiteral("flood"));
  }

  // A client repeats a request while what it asked for is open: the panel's
  // "Recent IPs" opens one box, the item's ContextMenu one menu, which opens
  // on the screen even where the request places it off every screen.
  void repeatedRequestsOpenOneBoxAndOneMenu() {
    FakeWatcher watcher(QStringLiteral("watcher9"), true);
    RealBoxesRig rig;
    TRY_COMPARE(watcher.items.size(), 1);
    const QString item = watcher.items[0];
    LoopCounter counter;
    constexpr int kCalls = 300;

    QDBusMessage click = QDBusMessage::createMethodCall(item, StatusNotifierItem::kMenuPath,
                                                        "com.canonical.dbusmenu", "Event");
    click << 3 << QString("clicked") << QVariant::fromValue(QDBusVariant(QString())) << 0u;
    bool done = false;
    WhenOpen(ActiveModal, [&](QWidget* box) {
      SendAndSettle(click, kCalls - 1);
      box->close();
      done = true;
    });
    Panel().asyncCall(click);
    TRY_VERIFY(done);
    TRY_COMPARE(counter.boxes.open, 0);
    QCOMPARE(counter.boxes.shown, 1);
    QCOMPARE(counter.boxes.most_open, 1);

    QDBusMessage context_menu = QDBusMessage::createMethodCall(
        item, StatusNotifierItem::kItemPath, StatusNotifierItem::kItemInterface, "ContextMenu");
    context_menu << INT_MAX << INT_MAX;
    QRect menu_at;
    done = false;
    WhenOpen(ActivePopup, [&](QWidget* menu) {
      menu_at = menu->geometry();
      SendAndSettle(context_menu, kCalls - 1);
      menu->close();
      done = true;
    });
    Panel().asyncCall(context_menu);
    TRY_VERIFY(done);
    TRY_COMPARE(counter.menus.open, 0);
    QCOMPARE(counter.menus.shown, 1);
    QCOMPARE(counter.menus.most_open, 1);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY2(screen.contains(menu_at), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                      .arg(menu_at.x())
                                                      .arg(menu_at.y())
                                                      .arg(menu_at.width())
                                                      .arg(menu_at.height())));
  }

  // A place a panel gives in the screen's pixels, on and off the screen.
  void aPlaceOffTheScreenIsTakenOntoIt() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int right = screen.right();
    const int bottom = screen.bottom();
    const std::pair<QPoint, QPoint> cases[] = {
        {{120, 90}, {120, 90}},
        {{0, 0}, {0, 0}},
        {{right, bottom}, {right, bottom}},
        {{100000, 90}, {right, 90}},
        {{INT_MAX, INT_MAX}, {right, bottom}},
        {{INT_MIN, INT_MIN}, {0, 0}},
        {{-5, INT_MAX}, {0, bottom}},
    };
    for (const auto& [given, expected] : cases) QCOMPARE(FromScreenPixels(given), expected);
  }

 private:
  static long ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
  }

  int tool_tip_changes_ = 0;
  int new_icons_ = 0;
};

}  // namespace

std::unique_ptr<QObject> MakeTrayTest() { return std::make_unique<TrayTest>(); }

}  // namespace pellux::qt_tests

#include "tray_test.moc"
