// The sockets library of the platform the program was built for.
#pragma once

#include <memory>

#include "net/sockets.h"

namespace pellux {

// The platform's own sockets behind the seam: Windows Sockets on Windows, the
// POSIX resolver and interface list elsewhere. Each call gives a separate
// object; host entries it returns belong to that object.
std::unique_ptr<Sockets> MakeSystemSockets();

}  // namespace pellux
