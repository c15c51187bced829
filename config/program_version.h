// The program's version: from its version resource on Windows, from the build elsewhere.
#pragma once

#include <optional>

namespace pellux {

struct VersionNumbers {
  int major = 0;
  int minor = 0;
};

// Nothing when the program carries no readable version information.
std::optional<VersionNumbers> ProgramVersion();

}  // namespace pellux
