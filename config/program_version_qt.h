// The program's version on Qt: the project's version, built in.
#pragma once

#include "config/program_version.h"

namespace pellux {

class ProjectVersion final : public ProgramVersion {
 public:
  std::optional<VersionNumbers> Numbers() override;
};

}  // namespace pellux
