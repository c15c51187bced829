// One Pellux per user session. The first to start listens on a local socket
// in the user's runtime directory; a later start finds it there, asks it to
// show its information window, and ends.
#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QString>

#include <functional>

namespace pellux {

class SessionInstance {
 public:
  enum class Claim {
    kFirst,        // this process is the session's Pellux
    kHandedOver,   // the running one was asked to show itself and said so
    kNoAnswer,     // one is running but did not answer
    kUnavailable,  // the socket could not be set up: this one runs alone
  };

  // `folder`: where the socket lives, normally the user's runtime
  // directory, which only the user can enter.
  explicit SessionInstance(QString folder);
  SessionInstance(const SessionInstance&) = delete;
  SessionInstance& operator=(const SessionInstance&) = delete;
  // Removes the socket, so the next start need not find it stale.
  ~SessionInstance() { Close(); }

  // Becomes the session's instance or hands over to the running one. A
  // socket left behind by a Pellux that ended without removing it is taken
  // over.
  Claim ClaimSession();

  // What the first instance does when a later start asks it to show itself.
  void OnShowRequest(std::function<void()> show) { show_ = std::move(show); }

  void Close();

  const QString& socket_path() const { return socket_path_; }

 private:
  Claim AskRunning(QLocalSocket& socket);
  void Serve();

  QString folder_;
  QString socket_path_;
  QLocalServer server_;
  std::function<void()> show_;
};

// The user's runtime directory, made when it is missing.
QString RuntimeFolder();

}  // namespace pellux
