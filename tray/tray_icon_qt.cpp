#include "tray/tray_icon_qt.h"

#include <QAction>
#include <QCursor>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QMenu>

#include <cstdio>
#include <utility>

#include "platform/text_qt.h"

namespace pellux {
namespace {

constexpr const char* kNoTrayYet = "pellux: no system tray yet; the icon appears when one starts\n";

// Shown when no tray has come a while after start, so that a user of a
// desktop without one learns why nothing shows.
constexpr const char* kNoTrayNotice =
    "Pellux shows the computer's address in the notification area (the system tray), and "
    "this desktop has none at the moment.\n\n"
    "Its icon appears as soon as a panel with a notification area starts. On GNOME, an "
    "extension that shows AppIndicator and KStatusNotifierItem icons provides one.\n\n"
    "Until then, starting Pellux again opens its information window.";

const QString kWatcherService = QString::fromLatin1(StatusNotifierItem::kWatcherService);
const QString kWatcherPath = QString::fromLatin1(StatusNotifierItem::kWatcherPath);

// What a watcher says when a host comes or goes behind it. (The second is
// not in every watcher.)
constexpr const char* kHostSignals[] = {"StatusNotifierHostRegistered",
                                        "StatusNotifierHostUnregistered"};

// Passes an action on the XEmbed icon on to `events`: a click or double
// click (whichever the tray reports) activates the icon.
void DeliverTrayActivation(QSystemTrayIcon::ActivationReason reason, TrayEvents& events) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
      events.Trayicon1_Activate();
      return;
    case QSystemTrayIcon::Context:
      events.Trayicon1_MouseButton(kRightButton, std::nullopt);
      return;
    case QSystemTrayIcon::MiddleClick:
      events.Trayicon1_MouseButton(kMiddleButton, std::nullopt);
      return;
    case QSystemTrayIcon::Unknown:
      return;
  }
}

}  // namespace

QtTrayIcon::QtTrayIcon(QDBusConnection bus, TrayEvents& events,
                       std::span<const MenuItemDesign> menu)
    : bus_(std::move(bus)), events_(events), menu_(menu), choice_(*this, bus_.isConnected()) {
  for (const TrayTimer timer : {TrayTimer::kSettle, TrayTimer::kPoll, TrayTimer::kNotice}) {
    Timer(timer).setInterval(TrayTimerMs(timer));
    Timer(timer).setSingleShot(timer != TrayTimer::kPoll);
    QObject::connect(&Timer(timer), &QTimer::timeout, &context_,
                     [this, timer] { choice_.TimerFired(timer); });
  }
  if (bus_.isConnected()) {
    // A watcher that starts, ends or changes hands, and a host that comes or
    // goes behind the same watcher, are the changes that move the icon.
    const auto* watcher = new QDBusServiceWatcher(
        kWatcherService, bus_, QDBusServiceWatcher::WatchForOwnerChange, &context_);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, &context_,
                     [this] { choice_.WatcherChanged(); });
    for (const char* signal : kHostSignals) {
      bus_.connect(kWatcherService, kWatcherPath, kWatcherService, QString::fromLatin1(signal),
                   &Timer(TrayTimer::kSettle), SLOT(start()));
    }
  }
}

void QtTrayIcon::SetTip(const std::string& tip) {
  // Compared as the program's own text: an unchanged tip costs no conversion.
  if (tip == tip_) return;
  tip_ = tip;
  if (xembed_) xembed_->setToolTip(ToQString(tip_));
  if (item_) item_->SetToolTip(ToQString(tip_));
}

std::optional<ControlId> QtTrayIcon::PopupMenu(std::span<const MenuItemDesign> items,
                                               std::optional<ScreenPoint> place) {
  QMenu menu;
  for (const MenuItemDesign& item : items) {
    QAction* action =
        item.separator() ? menu.addSeparator() : menu.addAction(ToQString(item.caption));
    action->setObjectName(ToQString(item.name));
  }
  // A separator cannot be chosen, so the chosen action is one of the entries.
  QAction* chosen =
      menu.exec(place ? FromScreenPixels(QPoint(place->x, place->y)) : QCursor::pos());
  if (chosen == nullptr) return std::nullopt;
  return ControlId::At(static_cast<std::size_t>(menu.actions().indexOf(chosen)));
}

void QtTrayIcon::AskForHost(int question) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("Get"));
  call << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
  // Asking must not start a watcher that the desktop did not start.
  call.setAutoStartService(false);
  auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), &context_);
  QObject::connect(
      pending, &QDBusPendingCallWatcher::finished, &context_,
      [this, question](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        const QDBusMessage reply = finished->reply();
        const bool hosted = reply.type() == QDBusMessage::ReplyMessage &&
                            reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
        choice_.HostAnswered(
            question,
            hosted ? std::optional<std::string>(reply.service().toStdString()) : std::nullopt);
      });
}

bool QtTrayIcon::PublishItem() {
  auto item = std::make_unique<StatusNotifierItem>(bus_, menu_, ProgramIcon(), events_);
  item->SetToolTip(ToQString(tip_));
  if (!item->Publish()) return false;
  item_ = std::move(item);
  return true;
}

void QtTrayIcon::ShowXEmbed() {
  // Qt decides once, when the first icon of the process is made, whether
  // its icons go to a StatusNotifierItem host or to an XEmbed tray, and
  // keeps to it. The first is made here, when there is no such host, so
  // Qt's icons are XEmbed ones; the program's own item serves the hosts.
  xembed_ = std::make_unique<QSystemTrayIcon>(ProgramIcon());
  xembed_->setToolTip(ToQString(tip_));
  QObject::connect(
      xembed_.get(), &QSystemTrayIcon::activated, &context_,
      [this](QSystemTrayIcon::ActivationReason reason) { DeliverTrayActivation(reason, events_); },
      Qt::QueuedConnection);
  // Shown even without a tray: Qt puts it into the first XEmbed tray that
  // appears, and again into one that restarts.
  xembed_->show();
}

void QtTrayIcon::CheckTrayLater() {
  QMetaObject::invokeMethod(
      &context_, [this] { choice_.CheckTray(); }, Qt::QueuedConnection);
}

void QtTrayIcon::SayNoTrayYet() { std::fputs(kNoTrayYet, stderr); }

void QtTrayIcon::ShowNotice() {
  UseProgramIconForWindows();
  notice_ = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QStringLiteral("Pellux"),
                                          QString::fromUtf8(kNoTrayNotice), QMessageBox::Ok);
  notice_->setTextFormat(Qt::PlainText);
  notice_->setWindowModality(Qt::NonModal);
  notice_->show();
}

}  // namespace pellux
