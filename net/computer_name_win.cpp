// The computer name on Windows: the kernel's NetBIOS name.
#include <windows.h>

#include "net/computer_name.h"

namespace pellux {
namespace {

class WinComputerName final : public ComputerName {
 public:
  bool GetComputerNameA(char* buffer, uint32_t& size) override {
    DWORD length = size;
    const bool ok = ::GetComputerNameA(buffer, &length) != 0;
    size = length;
    return ok;
  }
};

}  // namespace

std::unique_ptr<ComputerName> MakeSystemComputerName() {
  return std::make_unique<WinComputerName>();
}

}  // namespace pellux
