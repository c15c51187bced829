// One Pellux per user session: the first to start owns the name
// org.pellux.Pellux on the session bus; a later start asks its owner to show
// its information window (Activate of org.freedesktop.Application) and ends.
// The bus takes the name back however its owner ends: nothing is left behind.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <functional>
#include <optional>

namespace pellux {

// The claim on the name, and the object a later start calls over the
// desktops' interface for asking a running program to come forward.
class SessionInstance final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

 public:
  enum class Claim {
    kFirst,        // this process is the session's Pellux
    kHandedOver,   // the running one was asked to show itself and did
    kNoAnswer,     // one is running but did not answer in time
    kUnavailable,  // there is no session bus: this one runs alone
  };

  static constexpr const char* kServiceName = "org.pellux.Pellux";
  // How long a later start waits for the running one: answering takes a
  // few milliseconds, unless that process hangs.
  static constexpr int kAnswerMs = 5000;

  // `bus` is the session bus, which may be unconnected.
  explicit SessionInstance(QDBusConnection bus, int answer_ms = kAnswerMs);
  ~SessionInstance() override { Close(); }

  // Becomes the session's instance or hands over to the running one.
  Claim ClaimSession();

  // What the first instance does when a later start asks it to show itself.
  void OnShowRequest(std::function<void()> show) { show_ = std::move(show); }

  // Gives the name up, so that the next start is the first at once.
  void Close();

 public slots:
  Q_SCRIPTABLE void Activate(const QVariantMap& platform_data);

 private:
  // What asking the name's owner came to; nothing when it has none any more.
  std::optional<Claim> AskRunning();

  QDBusConnection bus_;
  int answer_ms_;
  std::function<void()> show_;
  bool owner_ = false;
};

}  // namespace pellux
