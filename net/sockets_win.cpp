// Windows Sockets and the kernel's computer name.
#include <winsock2.h>
#include <windows.h>

#include "net/computer_name.h"
#include "net/system_sockets.h"
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

  const HostEntry* gethostbyname(const char* name) override {
    if (!Winsock().loaded()) return nullptr;
    const hostent* host = Winsock().get_host_by_name(name);
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
