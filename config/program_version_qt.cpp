#include "config/program_version.h"

namespace pellux {

std::optional<VersionNumbers> ProgramVersion() {
  return VersionNumbers{PELLUX_VERSION_MAJOR, PELLUX_VERSION_MINOR};
}

}  // namespace pellux
