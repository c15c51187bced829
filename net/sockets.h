// The sockets seam: the Windows Sockets 1.1 calls in the shape the program
// uses them, so the lookup logic can run against the real library or
// against a scripted fake.
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

  // Starts the library asking for `requested`; returns 0 on success and then
  // fills `version` with the version the library will use (low byte major,
  // high byte minor).
  virtual int WSAStartup(uint16_t requested, uint16_t& version) = 0;

  // Writes the host name, NUL-terminated, into `name`; 0 on success, -1 on
  // failure. `name` may be left untouched on failure.
  virtual int gethostname(char* name, int size) = 0;

  // The error code of the last failed call.
  virtual int WSAGetLastError() = 0;

  // Fills `addresses` with the IPv4 addresses of `name`, the computer's own
  // host name, in the order the system lists them; false when the name
  // cannot be resolved.
  virtual bool gethostbyname(const char* name, std::vector<Ipv4Address>& addresses) = 0;
};

// The platform's own sockets: Windows Sockets on Windows, the interface list
// elsewhere.
std::unique_ptr<Sockets> MakeSystemSockets();

}  // namespace pellux
