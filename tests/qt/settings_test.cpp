// The settings file on Qt: where the interval is stored, how values in the
// file read back, what saving does to the rest of the file, and a file that
// cannot be written or is no file at all.
#include "settings/settings.h"

#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <chrono>
#include <future>

#include "tests/qt/qt_tests.h"

namespace pellux::qt_tests {
namespace {

QString ConfigHome() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }
QString SettingsFile() { return ConfigHome() + "/Pellux/Pellux.conf"; }

QByteArray ReadSettingsFile() {
  QFile file(SettingsFile());
  if (!file.open(QIODevice::ReadOnly)) return "(no file)";
  return file.readAll();
}

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
    const auto settings = MakeSystemSettings();
    QVERIFY(settings->SaveSetting("Pellux", "Options", "Interval", "10000"));
    QFile file(SettingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Options]\nInterval=10000\n"));
    QCOMPARE(QString::fromStdString(settings->GetSetting("Pellux", "Options", "Interval").value()),
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
    QTest::newRow("quoted") << QByteArray("[Options]\nInterval=\"4000\"\n") << true << "4000";
    QTest::newRow("a comma") << QByteArray("[Options]\nInterval=10, 00\n") << true << "10, 00";
    QTest::newRow("comment, blanks, CR LF")
        << QByteArray("\xEF\xBB\xBF[Options]\r\n  Interval = 4000  ; mine\r\n") << true << "4000";
    QTest::newRow("last of duplicate keys")
        << QByteArray("[Options]\nInterval=1000\nInterval=4000\n") << true << "4000";
    QTest::newRow("section twice")
        << QByteArray("[Options]\nInterval=1000\n[Other]\nx=1\n[Options]\nInterval=4000\n") << true
        << "4000";
    QTest::newRow("commented out") << QByteArray("[Options]\n;Interval=4000\n") << false << "";
    QTest::newRow("escaped key") << QByteArray("[Options]\n%49nterval=4000\n") << false << "";
    QTest::newRow("other key") << QByteArray("[Options]\nSpeed=4000\n") << false << "";
    QTest::newRow("other section") << QByteArray("[Other]\nInterval=4000\n") << false << "";
    QTest::newRow("no file") << QByteArray() << false << "";
  }

  void valuesInTheFileReadBackAsText() {
    QFETCH(QByteArray, file);
    QFETCH(bool, found);
    QFETCH(QString, text);
    if (!file.isNull()) WriteSettingsFile(file);
    const auto settings = MakeSystemSettings();
    const auto value = settings->GetSetting("Pellux", "Options", "Interval");
    QCOMPARE(value.has_value(), found);
    if (found) QCOMPARE(QString::fromStdString(*value), text);
  }

  // The file is the user's too: saving changes the value of the key's line
  // and nothing else, byte for byte, and says it saved exactly when the file
  // holds the value afterwards.
  void savingChangesOnlyTheIntervalLine_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("saved");
    const auto row = [](const char* name, const QByteArray& before, const QByteArray& after,
                        bool saved = true) { QTest::newRow(name) << before << after << saved; };
    row("notes, backslashes, other bytes",
        "; my note\n[Options]\nInterval=2000\n[Paths]\nhome=C:\\Users\\me\\new\nname=Jos\xe9\n",
        "; my note\n[Options]\nInterval=30000\n[Paths]\nhome=C:\\Users\\me\\new\nname=Jos\xe9\n");
    row("blanks in keys and at line ends",
        "[Paths]\nspaced key = a b  \n[Options]\n  Interval = 2000   ; was 5000\n",
        "[Paths]\nspaced key = a b  \n[Options]\n  Interval = 30000   ; was 5000\n");
    row("byte order mark, hash comment", "\xEF\xBB\xBF# my note\n[Options]\nInterval=2000\n",
        "\xEF\xBB\xBF# my note\n[Options]\nInterval=30000\n");
    row("CR LF", "[Options]\r\nInterval=2000\r\n[Other]\r\nx=1\r\n",
        "[Options]\r\nInterval=30000\r\n[Other]\r\nx=1\r\n");
    row("CR LF, key missing", "[Options]\r\nOther=1\r\n",
        "[Options]\r\nInterval=30000\r\nOther=1\r\n");
    row("not UTF-8", "[Options]\nNote=\xff\xfe\x80\nInterval=2000\n",
        "[Options]\nNote=\xff\xfe\x80\nInterval=30000\n");
    row("quoted value with a semicolon", "[Options]\nInterval=\"2000;x\" ; note\n",
        "[Options]\nInterval=30000 ; note\n");
    row("same key in other sections",
        "[Paths]\nInterval=1\n[Options]\nInterval=2000\n[Later]\nInterval=3\n",
        "[Paths]\nInterval=1\n[Options]\nInterval=30000\n[Later]\nInterval=3\n");
    row("duplicate keys: the last counts", "[Options]\nInterval=1000\nInterval=2000\n",
        "[Options]\nInterval=1000\nInterval=30000\n");
    row("section twice: the last key counts",
        "[Options]\nInterval=1000\n[Paths]\nx=1\n[Options]\nInterval=2000\n",
        "[Options]\nInterval=1000\n[Paths]\nx=1\n[Options]\nInterval=30000\n");
    row("key commented out", "[Options]\n;Interval=1000\n",
        "[Options]\nInterval=30000\n;Interval=1000\n");
    row("heading last, no line break", "x=1\n[Options]", "x=1\n[Options]\nInterval=30000\n");
    row("no section", "; notes\n[Paths]\nhome=x\n",
        "; notes\n[Paths]\nhome=x\n[Options]\nInterval=30000\n");
    row("no section, no final line break", "[Paths]\nhome=x",
        "[Paths]\nhome=x\n[Options]\nInterval=30000\n");
    row("names differ in case", "[options]\ninterval=1000\n",
        "[options]\ninterval=1000\n[Options]\nInterval=30000\n");
    row("lines that are no setting", "not a setting\n\x01\x02junk\n[Options]\nInterval=2000\n",
        "not a setting\n\x01\x02junk\n[Options]\nInterval=30000\n");
    row("empty file", "", "[Options]\nInterval=30000\n");
    row("byte order mark alone", "\xEF\xBB\xBF", "\xEF\xBB\xBF[Options]\nInterval=30000\n");
    // A key spelled with an escape is another key, to the reading as to the
    // edit.
    row("escaped key", "[Options]\nInterval=1000\n%49nterval=2000\n",
        "[Options]\nInterval=30000\n%49nterval=2000\n");
  }

  void savingChangesOnlyTheIntervalLine() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(bool, saved);
    WriteSettingsFile(before);
    const auto settings = MakeSystemSettings();
    QCOMPARE(settings->SaveSetting("Pellux", "Options", "Interval", "30000"), saved);
    QCOMPARE(ReadSettingsFile(), after);
    // Nothing is left beside it.
    QCOMPARE(QDir(ConfigHome() + "/Pellux")
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Pellux.conf"});
  }

  void aChangeByAnotherProgramIsSeen() {
    const auto settings = MakeSystemSettings();
    QVERIFY(settings->SaveSetting("Pellux", "Options", "Interval", "1000"));
    WriteSettingsFile("[Options]\nInterval=30000\n");
    QCOMPARE(QString::fromStdString(settings->GetSetting("Pellux", "Options", "Interval").value()),
             QString("30000"));
  }

  // The new file is read back before it is taken: a value that would read
  // as another (a comment in it) leaves the file as it was.
  void aValueThatWouldReadAsAnotherIsNotSaved() {
    WriteSettingsFile("[Options]\nInterval=2000\n");
    const auto settings = MakeSystemSettings();
    QVERIFY(!settings->SaveSetting("Pellux", "Options", "Interval", "1000;1"));
    QCOMPARE(ReadSettingsFile(), QByteArray("[Options]\nInterval=2000\n"));
  }

  void aFileThatCannotBeWrittenIsReported() {
    // A plain file where the program's folder belongs: nothing can be made
    // under it, whoever runs the test.
    QFile blocker(ConfigHome() + "/Pellux");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto settings = MakeSystemSettings();
    QVERIFY(!settings->SaveSetting("Pellux", "Options", "Interval", "1000"));
    QVERIFY(!settings->GetSetting("Pellux", "Options", "Interval").has_value());
  }

  // A FIFO where the file belongs counts as a file that cannot be read, and
  // reading it does not wait for a writer that never comes.
  void aFifoIsNeitherReadNorReplaced() {
    QDir().mkpath(ConfigHome() + "/Pellux");
    const QByteArray fifo = QFile::encodeName(SettingsFile());
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    const auto settings = MakeSystemSettings();
    auto read = std::async(std::launch::async,
                           [&] { return settings->GetSetting("Pellux", "Options", "Interval"); });
    if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // Lets the waiting open go on, so that the test ends.
      ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
      QFAIL("reading the settings waits on the FIFO");
    }
    QVERIFY(!read.get().has_value());
    QVERIFY(!settings->SaveSetting("Pellux", "Options", "Interval", "1000"));
    QVERIFY(QFileInfo(SettingsFile()).isFile() == false);
    QFile::remove(SettingsFile());
  }
};

}  // namespace

std::unique_ptr<QObject> MakeSettingsTest() { return std::make_unique<SettingsTest>(); }

}  // namespace pellux::qt_tests

#include "settings_test.moc"
