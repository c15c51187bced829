// The configuration window on Qt: the interval selected on opening, what
// "OK", "Cancel" and the close box leave in the settings file, the About
// panel, and the place the window takes above the panel.
#include "config/config_window_qt.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "config/program_version_qt.h"
#include "config/taskbar_qt.h"
#include "tests/qt/helpers.h"
#include "tests/qt/qt_tests.h"
#include "tests/unit/fakes.h"
#include "settings/settings_qt.h"

namespace pellux::qt_tests {
namespace {

using pellux::testing::FakeComputerName;
using pellux::testing::FakeForms;
using pellux::testing::FakeMenus;
using pellux::testing::FakeMessages;
using pellux::testing::FakeProcess;
using pellux::testing::FakeSettings;
using pellux::testing::FakeSockets;
using pellux::testing::FakeTimer;
using pellux::testing::FakeTray;

QString SettingsFile() { return qEnvironmentVariable("XDG_CONFIG_HOME") + "/Pellux/Pellux.conf"; }

QByteArray SettingsFileText() {
  QFile file(SettingsFile());
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

struct Rig {
  FakeSockets sockets;
  FakeComputerName computer;
  FakeMessages messages;
  FakeProcess process;
  FakeSettings main_settings;
  FakeTray tray;
  FakeTimer timer;
  FakeMenus menus;
  FakeForms forms;
  Module1 module1{sockets, computer, messages, process};
  frmMain main{{module1, main_settings, tray, timer, messages, menus, forms, process}};
  QtSettings settings;
  ScreenAppBar app_bar;
  ProjectVersion version;
  ConfigWindowHost host{main, settings, messages, app_bar, version};

  Rig() { QFile::remove(SettingsFile()); }

  ConfigWindow& Open() {
    host.Show();
    return *host.window();
  }
};

QComboBox* List(ConfigWindow& window) {
  return qobject_cast<QComboBox*>(window.Control("cboInterval"));
}

void Click(ConfigWindow& window, const char* button) {
  QTest::mouseClick(window.Control(button), Qt::LeftButton);
}

class ConfigWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { DropUnloadedWindows(); }

  void opensWithTheCurrentIntervalSelected_data() {
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("shown");
    QTest::newRow("5000") << 5000 << "5 Seconds";
    QTest::newRow("4000") << 4000 << "4 Seconds ";
    QTest::newRow("2500") << 2500 << "";
  }

  void opensWithTheCurrentIntervalSelected() {
    QFETCH(int, interval);
    QFETCH(QString, shown);
    Rig rig;
    rig.main.TimerInterval = static_cast<int16_t>(interval);
    ConfigWindow& window = rig.Open();
    QVERIFY(window.isVisible());
    QCOMPARE(List(window)->currentText(), shown);
  }

  void okStoresTheChosenIntervalAndClosesTheWindow() {
    Rig rig;
    ConfigWindow& window = rig.Open();
    List(window)->setCurrentIndex(7);
    Click(window, "cmdOK");
    QVERIFY(!rig.host.loaded());
    QCOMPARE(static_cast<int>(rig.main.TimerInterval), 30000);
    QCOMPARE(SettingsFileText(), QByteArray("[Options]\nInterval=30000\n"));
    // The stored value reads back through the binding the main form uses.
    QCOMPARE(QString::fromStdString(
                 rig.settings.GetSetting("Pellux", "Options", "Interval").value_or("<none>")),
             QString("30000"));
    DropUnloadedWindows();
    QCOMPARE(List(rig.Open())->currentText(), QString("30 Seconds"));
  }

  void cancelAndTheCloseBoxStoreNothing_data() {
    QTest::addColumn<bool>("close_box");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
  }

  void cancelAndTheCloseBoxStoreNothing() {
    QFETCH(bool, close_box);
    Rig rig;
    ConfigWindow& window = rig.Open();
    List(window)->setCurrentIndex(0);
    if (close_box) {
      window.close();
    } else {
      Click(window, "cmdCancel");
    }
    QVERIFY(!rig.host.loaded());
    QCOMPARE(static_cast<int>(rig.main.TimerInterval), 5000);
    QVERIFY(!QFile::exists(SettingsFile()));
    DropUnloadedWindows();
    QCOMPARE(List(rig.Open())->currentText(), QString("5 Seconds"));
  }

  void aboutButtonSwitchesBetweenThePanels() {
    Rig rig;
    ConfigWindow& window = rig.Open();
    auto* about = qobject_cast<QGroupBox*>(window.Control("fraAbout"));
    QWidget* interval = window.Control("fraInterval");
    auto* button = qobject_cast<QPushButton*>(window.Control("cmdAbout"));
    QCOMPARE(about->title(), QString("About Pellux v1.11"));
    QCOMPARE(qobject_cast<QLabel*>(window.Control("lblAbout"))->text(),
             QString("Copyright (C) The Pellux authors.\n\n"
                     "Visit the Pellux home page for more programs."));

    const struct {
      bool about_shown;
      const char* caption;
    } states[] = {{true, "&Config"}, {false, "&About"}, {true, "&Config"}};
    for (const auto& state : states) {
      Click(window, "cmdAbout");
      QCOMPARE(about->isVisible(), state.about_shown);
      QCOMPARE(interval->isVisible(), !state.about_shown);
      QCOMPARE(button->text(), QString(state.caption));
    }
    // "OK" works from the About panel too, with the hidden list's choice.
    List(window)->setCurrentIndex(1);
    Click(window, "cmdOK");
    QCOMPARE(SettingsFileText(), QByteArray("[Options]\nInterval=2000\n"));
  }

  void standsInTheBottomRightCornerOfTheWorkArea() {
    // The offscreen screen has no panel, so the query finds none and the
    // window goes to the corner of the whole work area.
    Rig rig;
    ConfigWindow& window = rig.Open();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    QTRY_COMPARE(window.frameGeometry().bottomRight(), work.bottomRight());
    QCOMPARE(static_cast<int>(rig.host.form().TaskTop), 0);
  }

  void panelEdgesFollowFromTheScreenAndItsAvailableArea_data() {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QRect>("panel");  // left, top, right, bottom as a rectangle's corners
    const QRect screen(0, 0, 1024, 768);
    QTest::newRow("bottom") << QRect(0, 0, 1024, 744) << true
                            << QRect(QPoint(0, 744), QPoint(1024, 768));
    QTest::newRow("top") << QRect(0, 30, 1024, 738) << true
                         << QRect(QPoint(0, 0), QPoint(1024, 30));
    QTest::newRow("left") << QRect(48, 0, 976, 768) << true << QRect(QPoint(0, 0), QPoint(48, 768));
    QTest::newRow("right") << QRect(0, 0, 976, 768) << true
                           << QRect(QPoint(976, 0), QPoint(1024, 768));
    QTest::newRow("none") << screen << false << QRect();
  }

  void panelEdgesFollowFromTheScreenAndItsAvailableArea() {
    QFETCH(QRect, available);
    QFETCH(bool, found);
    QFETCH(QRect, panel);
    const auto result = PanelFromScreen(QRect(0, 0, 1024, 768), available);
    QCOMPARE(result.has_value(), found);
    if (!found) return;
    QCOMPARE(QPoint(result->rc.left, result->rc.top), panel.topLeft());
    QCOMPARE(QPoint(result->rc.right, result->rc.bottom), panel.bottomRight());
  }
};

}  // namespace

std::unique_ptr<QObject> MakeConfigWindowTest() { return std::make_unique<ConfigWindowTest>(); }

}  // namespace pellux::qt_tests

#include "config_window_test.moc"
