// The kernel's computer name, behind a seam like the sockets.
#pragma once

#include <cstdint>
#include <memory>

namespace pellux {

class ComputerName {
 public:
  virtual ~ComputerName() = default;
  // Writes the computer name, NUL-terminated, into `buffer` of `size` bytes. The result and
  // the size written back are not relied on.
  virtual bool GetComputerNameA(char* buffer, uint32_t& size) = 0;
};

// The platform's own computer name.
std::unique_ptr<ComputerName> MakeSystemComputerName();

}  // namespace pellux
