#include "app/session_instance_qt.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace pellux {
namespace {

// The one request and its answer, each a line.
constexpr char kShowRequest[] = "show\n";
constexpr char kShownAnswer[] = "shown\n";

// How long a start waits for the running instance: connecting and answering
// take a few milliseconds, unless that process hangs.
constexpr int kAnswerMs = 5000;
// How long a start waits while another one sets up the socket.
constexpr int kLockMs = 10000;

}  // namespace

QString RuntimeFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SessionInstance::SessionInstance(QString folder)
    : folder_(std::move(folder)), socket_path_(QDir(folder_).filePath(QStringLiteral("pellux"))) {
  QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] { Serve(); });
}

SessionInstance::Claim SessionInstance::ClaimSession() {
  if (folder_.isEmpty()) return Claim::kUnavailable;
  // Two starts at the same moment must not both find no instance and then
  // remove each other's socket: the lock lets one set up at a time. A lock
  // left by a process that ended is taken over.
  QLockFile lock(QDir(folder_).filePath(QStringLiteral("pellux.lock")));
  if (!lock.tryLock(kLockMs)) return Claim::kUnavailable;

  QLocalSocket running;
  running.connectToServer(socket_path_);
  if (running.waitForConnected(kAnswerMs)) return AskRunning(running);
  // Nobody listens: whatever is at the path is left from a Pellux that did
  // not end normally.
  QLocalServer::removeServer(socket_path_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  return server_.listen(socket_path_) ? Claim::kFirst : Claim::kUnavailable;
}

SessionInstance::Claim SessionInstance::AskRunning(QLocalSocket& socket) {
  socket.write(kShowRequest);
  if (!socket.waitForBytesWritten(kAnswerMs)) return Claim::kNoAnswer;
  QByteArray answer;
  while (!answer.endsWith('\n') && socket.waitForReadyRead(kAnswerMs)) answer += socket.readAll();
  return answer == kShownAnswer ? Claim::kHandedOver : Claim::kNoAnswer;
}

void SessionInstance::Serve() {
  while (QLocalSocket* client = server_.nextPendingConnection()) {
    QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
      if (!client->canReadLine()) return;
      const QByteArray request = client->readLine();
      if (request == kShowRequest && show_) {
        show_();
        client->write(kShownAnswer);
      }
      client->disconnectFromServer();
    });
  }
}

void SessionInstance::Close() {
  if (server_.isListening()) server_.close();
}

}  // namespace pellux
