// The program's version numbers from the version resource of its own
// executable.
#pragma once

#include "config/program_version.h"

namespace pellux {

class ModuleVersion final : public ProgramVersion {
 public:
  std::optional<VersionNumbers> Numbers() override;
};

}  // namespace pellux
