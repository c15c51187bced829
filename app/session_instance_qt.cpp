#include "app/session_instance_qt.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>

namespace pellux {
namespace {

const QString kService = QString::fromLatin1(SessionInstance::kServiceName);
const QString kPath = QStringLiteral("/org/pellux/Pellux");

// How often a start tries again when the owner ends between its claim and
// its call: enough for a program that is ending, not a loop.
constexpr int kAttempts = 3;

}  // namespace

SessionInstance::SessionInstance(QDBusConnection bus, int answer_ms)
    : bus_(std::move(bus)), answer_ms_(answer_ms) {}

void SessionInstance::Activate(const QVariantMap& /*platform_data*/) {
  if (show_) show_();
}

SessionInstance::Claim SessionInstance::ClaimSession() {
  if (!bus_.isConnected() || bus_.interface() == nullptr) return Claim::kUnavailable;
  // The object is there before the name, so that a call that follows the
  // name at once finds it; calls wait in the queue until the event loop runs.
  bus_.registerObject(kPath, this, QDBusConnection::ExportScriptableSlots);
  std::optional<Claim> claim;
  for (int attempt = 0; attempt < kAttempts && !claim; ++attempt) {
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus_.interface()->registerService(kService, QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
      claim = Claim::kUnavailable;
    } else if (reply.value() == QDBusConnectionInterface::ServiceRegistered) {
      owner_ = true;
      return Claim::kFirst;
    } else {
      // An owner that ended meanwhile leaves the name free for this start.
      claim = AskRunning();
    }
  }
  Close();
  return claim.value_or(Claim::kNoAnswer);
}

std::optional<SessionInstance::Claim> SessionInstance::AskRunning() {
  QDBusMessage call = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
  call << QVariantMap();
  call.setAutoStartService(false);
  const QDBusMessage answer = bus_.call(call, QDBus::Block, answer_ms_);
  if (answer.type() == QDBusMessage::ReplyMessage) return Claim::kHandedOver;
  const QString error = answer.errorName();
  if (error == QDBusError::errorString(QDBusError::ServiceUnknown) ||
      error == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner")) {
    return std::nullopt;
  }
  return Claim::kNoAnswer;
}

void SessionInstance::Close() {
  if (owner_ && bus_.isConnected()) bus_.interface()->unregisterService(kService);
  owner_ = false;
  bus_.unregisterObject(kPath);
}

}  // namespace pellux
