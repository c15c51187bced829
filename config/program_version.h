// The program's own version numbers, as its version resource states them.
#pragma once

#include <optional>

namespace pellux {

struct VersionNumbers {
  int major = 0;
  int minor = 0;
};

class ProgramVersion {
 public:
  virtual ~ProgramVersion() = default;

  // Nothing when the program carries no readable version information.
  virtual std::optional<VersionNumbers> Numbers() = 0;
};

}  // namespace pellux
