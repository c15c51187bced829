// The settings file on Qt: where the interval is stored, how values in the
// file read back, and a file that cannot be written.
#include "ui/settings_qt.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "tests/qt/qt_tests.h"

namespace pellux::qt_tests {
namespace {

QString ConfigHome() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }
QString SettingsFile() { return ConfigHome() + "/Pellux/Pellux.conf"; }

void WriteSettingsFile(const QByteArray& text) {
  QDir().mkpath(ConfigHome() + "/Pellux");
  QFile file(SettingsFile());
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QFile::remove(SettingsFile());
    QFile::remove(ConfigHome() + "/Pellux");
    QDir(ConfigHome() + "/Pellux").removeRecursively();
  }

  void savedValueGoesUnderItsSectionInTheUsersConfigFolder() {
    QtSettings settings;
    QVERIFY(settings.SaveSetting("Pellux", "Options", "Interval", "10000"));
    QFile file(SettingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Options]\nInterval=10000\n"));
    QCOMPARE(QString::fromStdString(settings.GetSetting("Pellux", "Options", "Interval").value()),
             QString("10000"));
  }

  void valuesInTheFileReadBackAsText_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("text");
    QTest::newRow("number") << QByteArray("[Options]\nInterval=4000\n") << true << "4000";
    QTest::newRow("blanks kept") << QByteArray("[Options]\nInterval=\"  2000 \"\n") << true
                                 << "  2000 ";
    QTest::newRow("not a number") << QByteArray("[Options]\nInterval=garbage\n") << true
                                  << "garbage";
    QTest::newRow("empty") << QByteArray("[Options]\nInterval=\n") << true << "";
    QTest::newRow("a list") << QByteArray("[Options]\nInterval=10, 00\n") << false << "";
    QTest::newRow("other key") << QByteArray("[Options]\nSpeed=4000\n") << false << "";
    QTest::newRow("other section") << QByteArray("[Other]\nInterval=4000\n") << false << "";
    QTest::newRow("no file") << QByteArray() << false << "";
  }

  void valuesInTheFileReadBackAsText() {
    QFETCH(QByteArray, file);
    QFETCH(bool, found);
    QFETCH(QString, text);
    if (!file.isNull()) WriteSettingsFile(file);
    QtSettings settings;
    const auto value = settings.GetSetting("Pellux", "Options", "Interval");
    QCOMPARE(value.has_value(), found);
    if (found) QCOMPARE(QString::fromStdString(*value), text);
  }

  void aChangeByAnotherProgramIsSeen() {
    QtSettings settings;
    QVERIFY(settings.SaveSetting("Pellux", "Options", "Interval", "1000"));
    // Qt notices a changed file by its time stamp and size; a longer value
    // changes the size even within the time stamp's resolution.
    WriteSettingsFile("[Options]\nInterval=30000\n");
    QCOMPARE(QString::fromStdString(settings.GetSetting("Pellux", "Options", "Interval").value()),
             QString("30000"));
  }

  void aFileThatCannotBeWrittenIsReported() {
    // A plain file where the program's folder belongs: nothing can be made
    // under it, whoever runs the test.
    QFile blocker(ConfigHome() + "/Pellux");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtSettings settings;
    QVERIFY(!settings.SaveSetting("Pellux", "Options", "Interval", "1000"));
    QVERIFY(!settings.GetSetting("Pellux", "Options", "Interval").has_value());
  }
};

}  // namespace

std::unique_ptr<QObject> MakeSettingsTest() { return std::make_unique<SettingsTest>(); }

}  // namespace pellux::qt_tests

#include "settings_test.moc"
