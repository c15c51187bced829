// The computer name on POSIX systems: the node name the kernel reports.
#include <sys/utsname.h>

#include <cstring>

#include "net/computer_name.h"

namespace pellux {
namespace {

class PosixComputerName final : public ComputerName {
 public:
  bool GetComputerNameA(char* buffer, uint32_t& size) override {
    utsname names{};
    if (uname(&names) != 0) return false;
    const std::size_t length = std::strlen(names.nodename);
    // Like Windows, a name that does not fit leaves the buffer alone.
    if (size == 0 || length >= size) return false;
    std::memcpy(buffer, names.nodename, length + 1);
    size = static_cast<uint32_t>(length);
    return true;
  }
};

}  // namespace

std::unique_ptr<ComputerName> MakeSystemComputerName() {
  return std::make_unique<PosixComputerName>();
}

}  // namespace pellux
