// Windows Sockets and the kernel's computer name.
#include <winsock2.h>
#include <windows.h>

#include "net/computer_name.h"
#include "net/system_sockets.h"

namespace pellux {
namespace {

class WinSockets final : public Sockets {
 public:
  int WSAStartup(uint16_t requested, uint16_t& version) override {
    WSADATA data{};
    const int result = ::WSAStartup(requested, &data);
    if (result == 0) version = data.wVersion;
    return result;
  }

  int gethostname(char* name, int size) override { return ::gethostname(name, size); }

  int WSAGetLastError() override { return ::WSAGetLastError(); }

  const HostEntry* gethostbyname(const char* name) override {
    const hostent* host = ::gethostbyname(name);
    if (host == nullptr) return nullptr;
    entry_ = HostEntry{host->h_addrtype, host->h_length, host->h_addr_list};
    return &entry_;
  }

 private:
  HostEntry entry_;
};

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

std::unique_ptr<Sockets> MakeSystemSockets() { return std::make_unique<WinSockets>(); }

std::unique_ptr<ComputerName> MakeSystemComputerName() {
  return std::make_unique<WinComputerName>();
}

}  // namespace pellux
