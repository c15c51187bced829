#include "tray/tray_icon_qt.h"

#include "ui/text_qt.h"

namespace pellux {

std::optional<TrayEvent> TranslateTrayActivation(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
      return TrayEvent{TrayEvent::Kind::kActivate};
    case QSystemTrayIcon::Context:
      return TrayEvent{TrayEvent::Kind::kButton, kRightButton};
    case QSystemTrayIcon::MiddleClick:
      return TrayEvent{TrayEvent::Kind::kButton, kMiddleButton};
    case QSystemTrayIcon::Unknown:
      break;
  }
  return std::nullopt;
}

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/pellux/pellux.ico")); }

QtTrayIcon::QtTrayIcon() { icon_.setIcon(ProgramIcon()); }

void QtTrayIcon::Connect(MainFormEvents& form) {
  QObject::connect(
      &icon_, &QSystemTrayIcon::activated, &icon_,
      [&form](QSystemTrayIcon::ActivationReason reason) {
        const auto event = TranslateTrayActivation(reason);
        if (!event) return;
        if (event->kind == TrayEvent::Kind::kActivate) {
          form.Trayicon1_Activate();
        } else {
          form.Trayicon1_MouseButton(event->button);
        }
      },
      Qt::QueuedConnection);
}

void QtTrayIcon::Show() { icon_.show(); }

void QtTrayIcon::Hide() { icon_.hide(); }

void QtTrayIcon::SetTip(const std::string& tip) { icon_.setToolTip(ToQString(tip)); }

}  // namespace pellux
