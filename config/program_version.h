// The program's own version numbers: on Windows as its version resource
// states them, elsewhere as the build passes them in.
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
