#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace pellux {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, OnlyTheTwoQuestionsAreTaken) {
  struct Case {
    std::vector<std::string_view> arguments;
    Action action;
    std::string error;
  };
  const Case cases[] = {
      {{}, Action::kRun, ""},
      {{"--help"}, Action::kHelp, ""},
      {{"-h"}, Action::kHelp, ""},
      {{"--version"}, Action::kVersion, ""},
      {{"-v"}, Action::kVersion, ""},
      {{"-v", "--help"}, Action::kHelp, ""},
      {{"--help", "-v"}, Action::kHelp, ""},
      {{"--version", "--version"}, Action::kVersion, ""},
      {{"--verbose"}, Action::kError, "unknown option '--verbose'"},
      {{"-hv"}, Action::kError, "unknown option '-hv'"},
      {{"--help=all"}, Action::kError, "unknown option '--help=all'"},
      {{"--"}, Action::kError, "unknown option '--'"},
      {{"-platform", "offscreen"}, Action::kError, "unknown option '-platform'"},
      {{"--HELP"}, Action::kError, "unknown option '--HELP'"},
      {{"help"}, Action::kError, "unexpected argument 'help'"},
      {{"-"}, Action::kError, "unexpected argument '-'"},
      {{""}, Action::kError, "unexpected argument ''"},
      // A mistake beside a question is still a mistake.
      {{"--help", "extra"}, Action::kError, "unexpected argument 'extra'"},
      {{"--version", "--nope"}, Action::kError, "unknown option '--nope'"},
      // Control characters are shown as escapes, and so is the backslash;
      // other text, UTF-8 among it, as it is.
      {{"--\x1b[2J"}, Action::kError, "unknown option '--\\x1b[2J'"},
      {{"a\tb\\c\x7f"}, Action::kError, "unexpected argument 'a\\x09b\\x5cc\\x7f'"},
      {{"caf\xc3\xa9"}, Action::kError, "unexpected argument 'caf\xc3\xa9'"},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.arguments);
    EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(line.error, c.error) << ::testing::PrintToString(c.arguments);
  }
}

TEST(CommandLineTest, UsageNamesBothOptionsAndVersionNamesTheProgram) {
  const std::string usage = UsageText();
  EXPECT_TRUE(usage.starts_with("Usage: pellux [OPTION]\n"));
  EXPECT_NE(usage.find("-h, --help"), std::string::npos);
  EXPECT_NE(usage.find("-v, --version"), std::string::npos);
  EXPECT_TRUE(usage.ends_with("\n"));
  EXPECT_EQ(VersionText("1.11"), "Pellux 1.11\n");
}

}  // namespace
}  // namespace pellux
