#include "config/program_version_qt.h"

namespace pellux {

// The build passes the project's version numbers in, so the About panel
// shows the version the program was built as.
std::optional<VersionNumbers> ProjectVersion::Numbers() {
  return VersionNumbers{PELLUX_VERSION_MAJOR, PELLUX_VERSION_MINOR};
}

}  // namespace pellux
