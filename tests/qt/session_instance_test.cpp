// One instance per session: the first start claims the socket, a later one
// hands over to it, a socket left by a program that did not end normally is
// taken over, and a folder where no socket can be made lets the program run
// alone.
#include "app/session_instance_qt.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "tests/qt/qt_tests.h"

namespace pellux::qt_tests {
namespace {

using Claim = SessionInstance::Claim;

// A later start in a thread of its own: it waits for the answer while this
// thread's event loop lets the first instance give it.
Claim ClaimFromElsewhere(const QString& folder) {
  std::atomic<bool> done = false;
  Claim claim = Claim::kUnavailable;
  std::thread later([&] {
    SessionInstance instance(folder);
    claim = instance.ClaimSession();
    done = true;
  });
  const bool finished = QTest::qWaitFor([&done] { return done.load(); }, 20000);
  later.join();
  if (!finished) qWarning("the later start did not finish");
  return claim;
}

class SessionInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void theFirstStartClaimsAndALaterOneHandsOver() {
    QTemporaryDir folder;
    SessionInstance first(folder.path());
    int shown = 0;
    first.OnShowRequest([&shown] { ++shown; });
    QCOMPARE(first.ClaimSession(), Claim::kFirst);
    QVERIFY(QFile::exists(first.socket_path()));

    QCOMPARE(ClaimFromElsewhere(folder.path()), Claim::kHandedOver);
    QCOMPARE(shown, 1);
    QCOMPARE(ClaimFromElsewhere(folder.path()), Claim::kHandedOver);
    QCOMPARE(shown, 2);

    // Ending gives the session up: the next start is the first again.
    first.Close();
    QVERIFY(!QFile::exists(first.socket_path()));
    SessionInstance next(folder.path());
    QCOMPARE(next.ClaimSession(), Claim::kFirst);
  }

  void aSocketNobodyListensOnIsTakenOver() {
    QTemporaryDir folder;
    // What a program that was killed leaves: the socket's file, and no one
    // listening on it.
    const QByteArray path = QDir(folder.path()).filePath(QStringLiteral("pellux")).toLocal8Bit();
    const int left = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    QCOMPARE(bind(left, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(left);
    QVERIFY(QFile::exists(QString::fromLocal8Bit(path)));

    SessionInstance instance(folder.path());
    QCOMPARE(instance.ClaimSession(), Claim::kFirst);
    int shown = 0;
    instance.OnShowRequest([&shown] { ++shown; });
    QCOMPARE(ClaimFromElsewhere(folder.path()), Claim::kHandedOver);
    QCOMPARE(shown, 1);
  }

  void withoutAFolderTheProgramRunsAlone() {
    QTemporaryDir folder;
    SessionInstance missing(QDir(folder.path()).filePath(QStringLiteral("no-such-folder")));
    QCOMPARE(missing.ClaimSession(), Claim::kUnavailable);
    SessionInstance unnamed{QString()};
    QCOMPARE(unnamed.ClaimSession(), Claim::kUnavailable);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeSessionInstanceTest() {
  return std::make_unique<SessionInstanceTest>();
}

}  // namespace pellux::qt_tests

#include "session_instance_test.moc"
