#include "app/command_line.h"

#include <cstdio>

namespace pellux {
namespace {

// An argument as it can be shown on a terminal: control characters, which
// could move the cursor or change the terminal's settings, are written as
// escapes ("\x1b"), and so is the backslash that starts one.
std::string Printable(std::string_view argument) {
  std::string shown;
  for (const char c : argument) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || c == '\\') {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      shown += escape;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string_view> arguments) {
  CommandLine line;
  for (const std::string_view argument : arguments) {
    // The usage says more than the version, so it wins when both are asked.
    if (argument == "--help" || argument == "-h") {
      line.action = CommandLine::Action::kHelp;
    } else if (argument == "--version" || argument == "-v") {
      if (line.action != CommandLine::Action::kHelp) line.action = CommandLine::Action::kVersion;
    } else if (argument.starts_with('-') && argument != "-") {
      return {CommandLine::Action::kError, "unknown option '" + Printable(argument) + "'"};
    } else {
      return {CommandLine::Action::kError, "unexpected argument '" + Printable(argument) + "'"};
    }
  }
  return line;
}

std::string UsageText() {
  return "Usage: pellux [OPTION]\n"
         "Shows the computer's current IPv4 address in the notification area.\n"
         "\n"
         "  -h, --help     show this help and exit\n"
         "  -v, --version  show the version and exit\n"
         "\n"
         "Pellux runs once per user session: starting it again opens the running\n"
         "one's information window.\n";
}

std::string VersionText(std::string_view version) {
  return "Pellux " + std::string(version) + "\n";
}

}  // namespace pellux
