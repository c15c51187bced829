// One instance per session, on a private session bus: the first start owns
// the name, a later one hands over to it, one that races it hands over too,
// the name is free again once its owner gives it up, a later start gives up
// on an owner that does not answer, and without a bus the program runs alone.
#include "app/session_instance_qt.h"

#include <QDBusConnectionInterface>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <latch>
#include <thread>
#include <vector>

#include "tests/qt/qt_tests.h"

namespace pellux::qt_tests {
namespace {

using Claim = SessionInstance::Claim;

// A connection of its own, as another process would have.
struct OwnConnection {
  explicit OwnConnection(const QString& name)
      : name_(name), bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {}
  ~OwnConnection() {
    bus = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(name_);
  }
  QString name_;
  QDBusConnection bus;
};

// Later starts, each in a thread and on a connection of its own: they wait
// for their answers while this thread's event loop lets the first instance
// give them (or, with `serve` false, while it does not). Each keeps what it
// claimed until all have claimed.
std::vector<Claim> ClaimFromElsewhere(int starts, int answer_ms = SessionInstance::kAnswerMs,
                                      bool serve = true) {
  std::atomic<int> done = 0;
  std::latch claimed(starts);
  std::vector<Claim> claims(static_cast<std::size_t>(starts), Claim::kUnavailable);
  std::vector<std::thread> later;
  for (int i = 0; i < starts; ++i) {
    later.emplace_back([&, i] {
      OwnConnection connection(QStringLiteral("later-%1").arg(i));
      SessionInstance instance(connection.bus, answer_ms);
      claims[static_cast<std::size_t>(i)] = instance.ClaimSession();
      claimed.arrive_and_wait();
      ++done;
    });
  }
  if (serve && !QTest::qWaitFor([&] { return done.load() == starts; }, 20000)) {
    qWarning("a later start did not finish");
  }
  for (std::thread& thread : later) thread.join();
  return claims;
}

bool NameOwned() {
  return QDBusConnection::sessionBus().interface()->isServiceRegistered(
      QString::fromLatin1(SessionInstance::kServiceName));
}

class SessionInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void theFirstStartOwnsTheNameAndLaterOnesHandOver() {
    OwnConnection connection(QStringLiteral("first"));
    SessionInstance first(connection.bus);
    int shown = 0;
    first.OnShowRequest([&shown] { ++shown; });
    QCOMPARE(first.ClaimSession(), Claim::kFirst);
    QVERIFY(NameOwned());

    QCOMPARE(ClaimFromElsewhere(1), std::vector<Claim>{Claim::kHandedOver});
    QCOMPARE(shown, 1);
    // Five at once: each is told the running one showed itself.
    QCOMPARE(ClaimFromElsewhere(5), std::vector<Claim>(5, Claim::kHandedOver));
    QCOMPARE(shown, 6);

    // Ending gives the name up: the next start is the first again.
    first.Close();
    QVERIFY(!NameOwned());
    OwnConnection next_connection(QStringLiteral("next"));
    SessionInstance next(next_connection.bus);
    QCOMPARE(next.ClaimSession(), Claim::kFirst);
  }

  void racingStartsLeaveOneOwner() {
    // Nobody owns the name: of five starting together, one becomes the
    // session's program. The others ask it, and it answers only once its
    // thread runs an event loop, which none of these threads has: they give
    // up, and it keeps the name until they have.
    const std::vector<Claim> claims = ClaimFromElsewhere(5, 1000, /*serve=*/false);
    QCOMPARE(std::count(claims.begin(), claims.end(), Claim::kFirst), 1);
    QCOMPARE(std::count(claims.begin(), claims.end(), Claim::kNoAnswer), 4);
    // Its connection closed with its thread: the bus took the name back.
    QVERIFY(!NameOwned());
  }

  void aStartGivesUpOnAnOwnerThatDoesNotAnswer() {
    OwnConnection connection(QStringLiteral("hung"));
    SessionInstance first(connection.bus);
    int shown = 0;
    first.OnShowRequest([&shown] { ++shown; });
    QCOMPARE(first.ClaimSession(), Claim::kFirst);
    // This thread, the owner's, is busy joining the later start's thread.
    QCOMPARE(ClaimFromElsewhere(1, 300, /*serve=*/false), std::vector<Claim>{Claim::kNoAnswer});
    QVERIFY(NameOwned());
    QCoreApplication::processEvents();
  }

  void aNameOwnedByAnotherProgramIsNotAnAnswer() {
    // Someone owns the name but offers no such object: not a Pellux that
    // showed itself.
    OwnConnection squatter(QStringLiteral("squatter"));
    QVERIFY(squatter.bus.registerService(QString::fromLatin1(SessionInstance::kServiceName)));
    QCOMPARE(ClaimFromElsewhere(1), std::vector<Claim>{Claim::kNoAnswer});
  }

  void withoutABusTheProgramRunsAlone() {
    SessionInstance alone{QDBusConnection(QStringLiteral("no-such-connection"))};
    QCOMPARE(alone.ClaimSession(), Claim::kUnavailable);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeSessionInstanceTest() {
  return std::make_unique<SessionInstanceTest>();
}

}  // namespace pellux::qt_tests

#include "session_instance_test.moc"
