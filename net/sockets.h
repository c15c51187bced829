// The sockets seam: the Windows Sockets 1.1 calls in the shape the program uses them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace pellux {

// Four bytes of IPv4 address in network byte order.
using Ipv4Address = std::array<uint8_t, 4>;

class Sockets {
 public:
  virtual ~Sockets() = default;
  // Starts the library asking for `requested`; on success (0) fills `version` with the version
  // it will use, low byte major, high byte minor.
  virtual int WSAStartup(uint16_t requested, uint16_t& version) = 0;
  // Writes the host name, NUL-terminated, into `name`; 0 on success, -1 (maybe untouched) not.
  virtual int gethostname(char* name, int size) = 0;
  // The error code of the last failed call.
  virtual int WSAGetLastError() = 0;
  // Fills `addresses` with the IPv4 addresses of the computer's own host name `name`, in the
  // order the system lists them; false when the name cannot be resolved.
  virtual bool gethostbyname(const char* name, std::vector<Ipv4Address>& addresses) = 0;
};

// The platform's own sockets: Windows Sockets on Windows, the interface list elsewhere.
std::unique_ptr<Sockets> MakeSystemSockets();

}  // namespace pellux
