// The configuration window on Qt: the interval selected on opening, what
// "OK", "Cancel" and the close box leave in the settings file, the About
// panel, and the place the window takes above the panel.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

#include "config/frm_config.h"
#include "config/program_version.h"
#include "settings/settings.h"
#include "tests/qt/helpers.h"
#include "tests/qt/qt_tests.h"
#include "tests/unit/fakes.h"
#include "ui/form_window_qt.h"

namespace pellux::qt_tests {
namespace {

QString SettingsFile() { return qEnvironmentVariable("XDG_CONFIG_HOME") + "/Pellux/Pellux.conf"; }

QByteArray SettingsFileText() {
  QFile file(SettingsFile());
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// The form on the real settings file and its real window, opened by a main
// form over fakes.
struct Rig : pellux::testing::MainFormFakes {
  std::unique_ptr<SettingsStore> stored = MakeSystemSettings();
  frmConfig form{main, *stored, messages, ProgramVersion()};
  FormWindow form_window{form};

  Rig() { QFile::remove(SettingsFile()); }

  QWidget& Open() {
    form_window.Show();
    return *form_window.widget();
  }
};

QComboBox* List(Rig& rig) {
  return qobject_cast<QComboBox*>(rig.form_window.Control(ConfigControl::cboInterval));
}

void Click(Rig& rig, const char* button) {
  QTest::mouseClick(rig.form_window.widget()->findChild<QWidget*>(button), Qt::LeftButton);
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
    QVERIFY(rig.Open().isVisible());
    QCOMPARE(List(rig)->currentText(), shown);
  }

  void okStoresTheChosenIntervalAndClosesTheWindow() {
    Rig rig;
    rig.Open();
    List(rig)->setCurrentIndex(7);
    Click(rig, "cmdOK");
    QVERIFY(!rig.form_window.loaded());
    QCOMPARE(static_cast<int>(rig.main.TimerInterval), 30000);
    QCOMPARE(SettingsFileText(), QByteArray("[Options]\nInterval=30000\n"));
    // The stored value reads back through the binding the main form uses.
    QCOMPARE(QString::fromStdString(
                 rig.stored->GetSetting("Pellux", "Options", "Interval").value_or("<none>")),
             QString("30000"));
    DropUnloadedWindows();
    rig.Open();
    QCOMPARE(List(rig)->currentText(), QString("30 Seconds"));
  }

  void cancelAndTheCloseBoxStoreNothing_data() {
    QTest::addColumn<bool>("close_box");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
  }

  void cancelAndTheCloseBoxStoreNothing() {
    QFETCH(bool, close_box);
    Rig rig;
    QWidget& window = rig.Open();
    List(rig)->setCurrentIndex(0);
    if (close_box) {
      window.close();
    } else {
      Click(rig, "cmdCancel");
    }
    QVERIFY(!rig.form_window.loaded());
    QCOMPARE(static_cast<int>(rig.main.TimerInterval), 5000);
    QVERIFY(!QFile::exists(SettingsFile()));
    DropUnloadedWindows();
    rig.Open();
    QCOMPARE(List(rig)->currentText(), QString("5 Seconds"));
  }

  void aboutButtonSwitchesBetweenThePanels() {
    Rig rig;
    rig.Open();
    auto* about = qobject_cast<QGroupBox*>(rig.form_window.Control(ConfigControl::fraAbout));
    QWidget* interval = rig.form_window.Control(ConfigControl::fraInterval);
    auto* button = qobject_cast<QPushButton*>(rig.form_window.Control(ConfigControl::cmdAbout));
    QCOMPARE(about->title(), QString("About Pellux v1.11"));
    QCOMPARE(qobject_cast<QLabel*>(rig.form_window.Control(ConfigControl::lblAbout))->text(),
             QString("Copyright (C) The Pellux authors.\n\n"
                     "Visit the Pellux home page for more programs."));

    const struct {
      bool about_shown;
      const char* caption;
    } states[] = {{true, "&Config"}, {false, "&About"}, {true, "&Config"}};
    for (const auto& state : states) {
      Click(rig, "cmdAbout");
      QCOMPARE(about->isVisible(), state.about_shown);
      QCOMPARE(interval->isVisible(), !state.about_shown);
      QCOMPARE(button->text(), QString(state.caption));
    }
    // "OK" works from the About panel too, with the hidden list's choice.
    List(rig)->setCurrentIndex(1);
    Click(rig, "cmdOK");
    QCOMPARE(SettingsFileText(), QByteArray("[Options]\nInterval=2000\n"));
  }

  void standsInTheBottomRightCornerOfTheWorkArea() {
    // The offscreen screen has no panel, so the query finds none and the
    // window goes to the corner of the whole work area.
    Rig rig;
    QWidget& window = rig.Open();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    TRY_COMPARE(window.frameGeometry().bottomRight(), work.bottomRight());
    QCOMPARE(static_cast<int>(rig.form.TaskTop), 0);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeConfigWindowTest() { return std::make_unique<ConfigWindowTest>(); }

}  // namespace pellux::qt_tests

#include "config_window_test.moc"
