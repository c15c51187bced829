// The sockets seam: the four Windows Sockets 1.1 calls in the shape the
// program uses them, so the lookup logic can run against the real library or
// against a scripted fake.
#pragma once

#include <cstdint>

namespace pellux {

// The part of a host entry the program reads. It mirrors the Windows HOSTENT
// fields: `h_addr_list` is a null-terminated array of pointers, each to
// `h_length` bytes of address in network byte order. The arrays belong to the
// sockets library and stay valid only until the next sockets call.
struct HostEntry {
  int16_t h_addrtype = 0;
  int16_t h_length = 0;
  char** h_addr_list = nullptr;
};

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

  // The host entry for `name`, or null when the name cannot be resolved.
  virtual const HostEntry* gethostbyname(const char* name) = 0;
};

}  // namespace pellux
