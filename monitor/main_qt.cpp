// Program entry on Linux and other systems with Qt.
#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "monitor/app_qt.h"
#include "net/system_sockets.h"
#include "ui/message_box_qt.h"
#include "ui/settings_qt.h"

namespace {

// How long the program waits for a tray to show its icon in, when it starts
// before the desktop's panel. Without a tray it could be neither seen nor
// ended.
constexpr int kTrayWaitSeconds = 60;

bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0') return true;  // the user chose one
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// While Qt starts: a platform that cannot start reports a fatal message.
// The program can then show nothing, not even a message box, so it says why
// and ends, rather than aborting.
void StartupMessage(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
  std::fprintf(stderr, "pellux: %s\n", qPrintable(message));
  if (type == QtFatalMsg) std::_Exit(EXIT_FAILURE);
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fprintf(stderr, "pellux: no display to show the tray icon on (DISPLAY is not set)\n");
    return EXIT_FAILURE;
  }
  qInstallMessageHandler(StartupMessage);
  QApplication application(argc, argv);
  qInstallMessageHandler(nullptr);
  // The program lives in the tray: closing its last window does not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationVersion(QStringLiteral(PELLUX_VERSION));

  const auto sockets = pellux::MakeSystemSockets();
  const auto computer = pellux::MakeSystemComputerName();
  pellux::QtMessageBoxes messages;
  pellux::QtSettings settings;
  pellux::QtProcess process;
  pellux::App app({*sockets, *computer, messages, settings, process});

  QTimer tray_wait;
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    std::fprintf(stderr, "pellux: no system tray yet; the icon appears when one starts\n");
    tray_wait.setSingleShot(true);
    QObject::connect(&tray_wait, &QTimer::timeout, [&process] {
      if (QSystemTrayIcon::isSystemTrayAvailable()) return;
      std::fprintf(stderr, "pellux: no system tray appeared within %d seconds\n", kTrayWaitSeconds);
      process.EndProgram(EXIT_FAILURE);
    });
    tray_wait.start(kTrayWaitSeconds * 1000);
  }
  app.Start();
  return QApplication::exec();
}
