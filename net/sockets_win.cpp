// Windows Sockets.
#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "net/sockets.h"
#include "ui/library_win.h"

namespace pellux {
namespace {

// The sockets library is loaded by the first call rather than imported: the
// program's first sockets call comes after its tray icon is up, and loading
// the library before then would only keep the icon waiting.
struct WinsockLibrary {
  decltype(&::WSAStartup) startup = nullptr;
  decltype(&::gethostname) get_host_name = nullptr;
  decltype(&::WSAGetLastError) last_error = nullptr;
  decltype(&::gethostbyname) get_host_by_name = nullptr;

  bool loaded() const {
    return startup != nullptr && get_host_name != nullptr && last_error != nullptr &&
           get_host_by_name != nullptr;
  }
};

const WinsockLibrary& Winsock() {
  static const WinsockLibrary winsock = [] {
    const HMODULE library = LoadLibraryW(L"ws2_32.dll");
    WinsockLibrary api;
    api.startup = LibraryFunction<decltype(api.startup)>(library, "WSAStartup");
    api.get_host_name = LibraryFunction<decltype(api.get_host_name)>(library, "gethostname");
    api.last_error = LibraryFunction<decltype(api.last_error)>(library, "WSAGetLastError");
    api.get_host_by_name =
        LibraryFunction<decltype(api.get_host_by_name)>(library, "gethostbyname");
    return api;
  }();
  return winsock;
}

class WinSockets final : public Sockets {
 public:
  int WSAStartup(uint16_t requested, uint16_t& version) override {
    // Without the library, sockets are not ready, as Windows would say.
    if (!Winsock().loaded()) return WSASYSNOTREADY;
    WSADATA data{};
    const int result = Winsock().startup(requested, &data);
    if (result == 0) version = data.wVersion;
    return result;
  }

  int gethostname(char* name, int size) override {
    if (!Winsock().loaded()) return SOCKET_ERROR;
    return Winsock().get_host_name(name, size);
  }

  int WSAGetLastError() override {
    if (!Winsock().loaded()) return WSASYSNOTREADY;
    return Winsock().last_error();
  }

  bool gethostbyname(const char* name, std::vector<Ipv4Address>& addresses) override {
    if (!Winsock().loaded()) return false;
    const hostent* host = Winsock().get_host_by_name(name);
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
