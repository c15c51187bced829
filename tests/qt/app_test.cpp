// The program wired together on Qt, with scripted sockets, settings, message
// boxes and process: the tray icon's tip and events, the command menu and
// what its entries do.
#include "app/app_qt.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include "tests/qt/app_rig.h"
#include "tests/qt/helpers.h"
#include "tests/qt/qt_tests.h"

namespace pellux::qt_tests {
namespace {

struct Rig : AppRig {
  void Activate(QSystemTrayIcon::ActivationReason reason) {
    emit app.tray().xembed_icon()->activated(reason);
  }

  // Right-clicks the icon and chooses `entry` in the menu that pops up.
  // True once the menu has closed again and the entry's handler has run.
  bool Choose(const QString& entry) {
    bool clicked = false;
    WhenOpen(ActivePopup, [entry, &clicked](QWidget* popup) {
      auto* menu = qobject_cast<QMenu*>(popup);
      // Chosen from the keyboard: Qt 6.8's menu takes a click only after the
      // pointer has moved far enough over it, which a test cannot know.
      menu->setActiveAction(menu->findChild<QAction*>(entry));
      QTest::keyClick(menu, Qt::Key_Return);
      clicked = true;
    });
    Activate(QSystemTrayIcon::Context);
    return QTest::qWaitFor([&clicked] { return clicked && ActivePopup() == nullptr; });
  }
};

class AppTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { DropUnloadedWindows(); }

  void startShowsTheIconWithTheLastAddressAndArmsTheTimer() {
    Rig rig;
    // Without a session bus only an XEmbed tray can show the icon.
    QVERIFY(rig.app.tray().status_notifier_item() == nullptr);
    QSystemTrayIcon& icon = *rig.app.tray().xembed_icon();
    QVERIFY(icon.isVisible());
    QCOMPARE(icon.toolTip(), QString("Pellux: 192.168.0.5"));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
      QVERIFY(icon.icon().availableSizes().contains(QSize(size, size)));
    }
    QVERIFY(rig.app.timer().isActive());
    QCOMPARE(rig.app.timer().interval(), 5000);
  }

  void aTickRefreshesTheTip() {
    Rig rig;
    rig.sockets.SetAddresses({"172.16.0.9"});
    rig.Tick();
    QCOMPARE(rig.app.tray().xembed_icon()->toolTip(), QString("Pellux: 172.16.0.9"));
  }

  void iconActionsReachTheirHandlers_data() {
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<bool>("opens_info");
    QTest::newRow("click") << QSystemTrayIcon::Trigger << true;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << true;
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << false;
    QTest::newRow("unknown") << QSystemTrayIcon::Unknown << false;
  }

  void iconActionsReachTheirHandlers() {
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(bool, opens_info);
    Rig rig;
    rig.Activate(reason);
    // The actions arrive through the event loop.
    QVERIFY(!rig.app.info_window().loaded());
    QCoreApplication::processEvents();
    QCOMPARE(rig.app.info_window().loaded(), opens_info);
    QVERIFY(ActivePopup() == nullptr);
    if (opens_info) {
      QCOMPARE(rig.app.info_window().widget()->windowTitle(), QString("Pellux: 192.168.0.5"));
    }
  }

  void theRightButtonPopsUpTheCommandMenu() {
    Rig rig;
    QStringList entries;
    WhenOpen(ActivePopup, [&entries](QWidget* popup) {
      auto* menu = qobject_cast<QMenu*>(popup);
      for (const QAction* action : menu->actions()) {
        entries << action->objectName() + (action->isSeparator() ? "" : " " + action->text());
      }
      menu->close();
    });
    rig.Activate(QSystemTrayIcon::Context);
    TRY_VERIFY(!entries.isEmpty());
    QCOMPARE(entries, (QStringList{"mnuGetIP &Get IP", "sep1", "mnuRecent &Recent IPs",
                                   "mnuConfigure &Configure", "sep2", "mnuExit E&xit"}));
    QVERIFY(!rig.app.info_window().loaded());
    QVERIFY(!rig.app.config_window().loaded());
  }

  void getIpAndConfigureOpenTheirWindowOnce() {
    Rig rig;
    QVERIFY(rig.Choose("mnuGetIP"));
    QVERIFY(rig.Choose("mnuConfigure"));
    QVERIFY(rig.app.info_window().loaded());
    QVERIFY(rig.app.config_window().loaded());
    QWidget* info = rig.app.info_window().widget();
    QWidget* config = rig.app.config_window().widget();
    QVERIFY(rig.Choose("mnuGetIP"));
    QVERIFY(rig.Choose("mnuConfigure"));
    QCOMPARE(rig.app.info_window().widget(), info);
    QCOMPARE(rig.app.config_window().widget(), config);
  }

  void recentIpsShowsTheHistoryReport() {
    Rig rig;
    rig.Tick();
    QVERIFY(rig.Choose("mnuRecent"));
    QCOMPARE(rig.messages.shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(rig.messages.shown[0].text),
             QString::fromStdString(HistoryReport(std::vector<std::string>{"192.168.0.5"})));
    QCOMPARE(QString::fromStdString(rig.messages.shown[0].title), QString("Recent IP addresses"));
    QVERIFY(rig.messages.shown[0].icon == MessageIcon::kInformation);
  }

  void exitUnloadsEveryWindowTakesTheIconAwayAndEnds() {
    Rig rig;
    QVERIFY(rig.Choose("mnuGetIP"));
    QVERIFY(rig.Choose("mnuConfigure"));
    QVERIFY(rig.Choose("mnuExit"));
    QVERIFY(!rig.app.info_window().loaded());
    QVERIFY(!rig.app.config_window().loaded());
    QVERIFY(rig.app.tray().xembed_icon() == nullptr);
    QVERIFY(!rig.app.timer().isActive());
    QCOMPARE(rig.process.exit_code.value_or(-1), 0);
  }

  // Sockets that fail in the middle of a run end the program as Exit does:
  // the icon leaves the tray first.
  void socketsThatFailLaterTakeTheIconAwayAndEnd() {
    Rig rig;
    rig.sockets.startup_result = 10091;
    rig.Tick();
    QCOMPARE(rig.messages.shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(rig.messages.shown[0].text), QString("Winsock.dll Error."));
    QVERIFY(rig.app.tray().xembed_icon() == nullptr);
    QVERIFY(!rig.app.timer().isActive());
    QCOMPARE(rig.process.exit_code.value_or(-1), kSocketsFailureExitCode);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeAppTest() { return std::make_unique<AppTest>(); }

}  // namespace pellux::qt_tests

#include "app_test.moc"
