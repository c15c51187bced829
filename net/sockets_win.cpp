#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "net/sockets.h"

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

  bool gethostbyname(const char* name, std::vector<Ipv4Address>& addresses) override {
    const hostent* host = ::gethostbyname(name);
    if (host == nullptr) return false;
    // The entry belongs to the library and lives only until its next call:
    // every address is copied out at once.
    addresses.clear();
    if (host->h_addrtype != AF_INET || host->h_length != sizeof(Ipv4Address)) return true;
    for (char** item = host->h_addr_list; item != nullptr && *item != nullptr; ++item) {
      Ipv4Address& address = addresses.emplace_back();
      std::memcpy(address.data(), *item, address.size());
    }
    return true;
  }
};

}  // namespace

std::unique_ptr<Sockets> MakeSystemSockets() { return std::make_unique<WinSockets>(); }

}  // namespace pellux
