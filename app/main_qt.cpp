// Program entry on Linux and other systems with Qt.
#include <QApplication>
#include <QDBusConnection>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_qt.h"
#include "app/command_line.h"
#include "app/session_instance_qt.h"

namespace {

// A platform the user chose counts as a display.
bool HasDisplay() {
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
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

// Writes the answer to --help or --version. A script that reads it must be
// able to tell when it was lost (a closed or full output): then the program
// says so and fails.
int Answer(const std::string& text) {
  if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "pellux: cannot write to the standard output: %s\n", std::strerror(errno));
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
  const pellux::CommandLine line = pellux::ParseCommandLine(arguments);
  switch (line.action) {
    case pellux::CommandLine::Action::kHelp:
      return Answer(pellux::UsageText());
    case pellux::CommandLine::Action::kVersion:
      return Answer(pellux::VersionText(PELLUX_VERSION));
    case pellux::CommandLine::Action::kError:
      std::fprintf(stderr, "pellux: %s\n%s\n", line.error.c_str(), pellux::kUsageHint.data());
      return pellux::kUsageExitCode;
    case pellux::CommandLine::Action::kRun:
      break;
  }

  if (!HasDisplay()) {
    std::fprintf(stderr, "pellux: no display to show the tray icon on (DISPLAY is not set)\n");
    return EXIT_FAILURE;
  }
  // Qt sees no arguments of the command line: Pellux takes none, not even
  // Qt's own.
  int qt_argc = std::min(argc, 1);
  qInstallMessageHandler(StartupMessage);
  QApplication application(qt_argc, argv);
  qInstallMessageHandler(nullptr);
  // The program lives in the tray: closing its last window does not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("Pellux"));
  QApplication::setApplicationVersion(QStringLiteral(PELLUX_VERSION));
  // The desktop entry is named after the bus name: org.pellux.Pellux.desktop.
  QApplication::setDesktopFileName(QString::fromLatin1(pellux::SessionInstance::kServiceName));

  pellux::SessionInstance instance(QDBusConnection::sessionBus());
  switch (instance.ClaimSession()) {
    case pellux::SessionInstance::Claim::kFirst:
      break;
    case pellux::SessionInstance::Claim::kHandedOver:
      return EXIT_SUCCESS;
    case pellux::SessionInstance::Claim::kNoAnswer:
      std::fprintf(stderr, "pellux: Pellux is already running but does not answer\n");
      return EXIT_FAILURE;
    case pellux::SessionInstance::Claim::kUnavailable:
      std::fprintf(stderr,
                   "pellux: no session bus, so Pellux cannot tell whether it already runs; "
                   "starting anyway\n");
      break;
  }

  const pellux::SystemSeams platform;
  pellux::App app(platform.seams());
  // A later start asks for the information window, as "Get IP" opens it.
  instance.OnShowRequest([&app] { app.main_form().mnuMain_Click(pellux::MainMenu::mnuGetIP); });
  app.Start();
  // A start whose sockets failed has ended already; the loop would not see it.
  const int exit_code = app.exit_code() ? *app.exit_code() : QApplication::exec();
  // The name goes before the windows and the icon, so that a start while they
  // go is the session's program. Last goes the application, which hands a
  // copied address over to a clipboard manager.
  instance.Close();
  return exit_code;
}
