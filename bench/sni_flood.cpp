// Floods a running program's StatusNotifierItem with Properties.GetAll
// calls, as a careless or hostile client of the same session could, and
// measures what a panel sees meanwhile and what the program keeps after.
//
// It also plays the panel's watcher, so the program publishes its item on
// the bus it runs on. Prints one line per measurement, "name value unit".
//
// Usage: sni_flood PID [CALLS [WINDOW [PROPERTY]]]
// WINDOW: how many calls are in flight at once (all of them by default).
// PROPERTY: flood with Get of this one property instead of GetAll, to see
// what the bus itself costs.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

class Watcher final : public QDBusVirtualObject {
 public:
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() == QLatin1String("RegisterStatusNotifierItem")) {
      item = message.arguments().value(0).toString();
      connection.send(message.createReply());
      return true;
    }
    if (message.member() == QLatin1String("Get")) {
      connection.send(message.createReply(QVariant::fromValue(QDBusVariant(true))));
      return true;
    }
    return false;
  }
  QString introspect(const QString& /*path*/) const override { return {}; }
  QString item;
};

long ResidentKb(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  }
  return -1;
}

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

void Wait(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QDBusMessage Properties(const QString& item, const char* member, const QVariantList& arguments) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      item, QStringLiteral("/StatusNotifierItem"),
      QStringLiteral("org.freedesktop.DBus.Properties"), QString::fromLatin1(member));
  call.setArguments(arguments);
  return call;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: sni_flood PID [CALLS [WINDOW [PROPERTY]]]\n");
    return 2;
  }
  const qint64 pid = QByteArray(argv[1]).toLongLong();
  const int calls = argc > 2 ? QByteArray(argv[2]).toInt() : 30000;
  const int window = argc > 3 ? QByteArray(argv[3]).toInt() : calls;
  const char* member = argc > 4 ? argv[4] : "GetAll";
  const QString interface = QStringLiteral("org.kde.StatusNotifierItem");

  QDBusConnection watcher_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "w");
  Watcher watcher;
  watcher_bus.registerVirtualObject(kWatcherPath, &watcher);
  watcher_bus.registerService(kWatcher);
  watcher_bus.send(QDBusMessage::createSignal(kWatcherPath, kWatcher,
                                              QStringLiteral("StatusNotifierHostRegistered")));
  QElapsedTimer waiting;
  waiting.start();
  while (watcher.item.isEmpty() && waiting.elapsed() < 20000) Wait(50);
  if (watcher.item.isEmpty()) {
    std::fprintf(stderr, "sni_flood: the program never registered its item\n");
    return 1;
  }
  Wait(1000);

  QDBusConnection panel = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "panel");
  const QDBusMessage tip = Properties(watcher.item, "Get", {interface, QStringLiteral("ToolTip")});
  QElapsedTimer timer;
  timer.start();
  const QDBusMessage idle = panel.call(tip);
  std::printf("tooltip_idle %.1f ms\n", Ms(timer));
  if (idle.type() != QDBusMessage::ReplyMessage) return 1;
  const QDBusMessage all = panel.call(Properties(watcher.item, "GetAll", {interface}));
  std::printf("getall_reply_args %lld\n", static_cast<long long>(all.arguments().size()));
  const long before = ResidentKb(pid);
  const QDBusMessage get_all =
      QByteArray(member) == "GetAll"
          ? Properties(watcher.item, "GetAll", {interface})
          : Properties(watcher.item, "Get", {interface, QString::fromLatin1(member)});
  std::printf("rss_before %ld kB\n", before);

  // The flood: at most `window` calls in flight from one connection, each
  // answer sending the next; a window as large as the flood sends every call
  // at once.
  QDBusConnection flood = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "flood");
  int sent = 0;
  int answered = 0;
  std::function<void()> send_next = [&] {
    if (sent == calls) return;
    ++sent;
    auto* call = new QDBusPendingCallWatcher(flood.asyncCall(get_all, 120000));
    QObject::connect(call, &QDBusPendingCallWatcher::finished,
                     [&](QDBusPendingCallWatcher* done) {
                       ++answered;
                       done->deleteLater();
                       send_next();
                     });
  };
  for (int i = 0; i < std::min(window, calls); ++i) send_next();
  long peak = ResidentKb(pid);

  // A panel reads the tip while the flood is on.
  QList<double> reads;
  waiting.restart();
  while (answered < calls && waiting.elapsed() < 120000) {
    timer.restart();
    const QDBusMessage reply = panel.call(tip, QDBus::BlockWithGui, 15000);
    reads.append(reply.type() == QDBusMessage::ReplyMessage ? Ms(timer) : 15000.0);
    peak = std::max(peak, ResidentKb(pid));
    Wait(20);
  }
  std::sort(reads.begin(), reads.end());
  std::printf("tooltip_reads %lld\n", static_cast<long long>(reads.size()));
  std::printf("tooltip_during_flood_median %.1f ms\n", reads.value(reads.size() / 2));
  std::printf("tooltip_during_flood_worst %.1f ms\n", reads.value(reads.size() - 1));
  std::printf("flood_answered %d of %d in %.1f s\n", answered, calls, Ms(waiting) / 1e3);
  std::printf("rss_peak %ld kB\n", peak);
  Wait(3000);
  const long after = ResidentKb(pid);
  std::printf("rss_after %ld kB (%+.1f %%)\n", after,
              100.0 * static_cast<double>(after - before) / static_cast<double>(before));
  return 0;
}
