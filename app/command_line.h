// The command line of the Linux program. Pellux takes no arguments; it only
// answers the two questions every command-line program answers.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace pellux {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kError };
  Action action = Action::kRun;
  // For kError: what was wrong, as one line without the program's name; the
  // argument in it with its control characters escaped.
  std::string error;
};

// Reads the arguments after the program's name. "--help" and "-h" ask for the
// usage, "--version" and "-v" for the version; anything else is an error,
// even beside one of those, so that a mistyped line never starts the program.
CommandLine ParseCommandLine(std::span<const std::string_view> arguments);

// What "--help" prints, and what "--version" prints for `version` ("1.11").
std::string UsageText();
std::string VersionText(std::string_view version);

// The line that follows an error message.
inline constexpr std::string_view kUsageHint = "Try 'pellux --help' for more information.";

// The exit status of a command line that cannot be run.
inline constexpr int kUsageExitCode = 2;

}  // namespace pellux
