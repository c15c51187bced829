// The sockets seam on POSIX systems: the host's own addresses come from the
// interface list rather than the resolver, as Windows answers them.
#include <ifaddrs.h>
#include <unistd.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "net/sockets_posix.h"

namespace pellux {
namespace {

// POSIX host names are at most 255 bytes (Linux keeps them to 64).
constexpr std::size_t kMaxHostName = 255;

class PosixSockets final : public Sockets {
 public:
  explicit PosixSockets(InterfaceReader read_interfaces) : read_interfaces_(read_interfaces) {}

  // There is nothing to start; the program asks for 1.1 and gets it.
  int WSAStartup(uint16_t /*requested*/, uint16_t& version) override {
    version = 0x0101;
    return 0;
  }

  int gethostname(char* name, int size) override {
    std::array<char, kMaxHostName + 1> own{};
    // The last byte is kept out of reach so the name ends in NUL even where
    // gethostname cuts a long name short without terminating it.
    if (::gethostname(own.data(), kMaxHostName) != 0) return Fail(errno);
    // A name that does not fit with its NUL is a failure, as on Windows,
    // rather than a truncated name the caller would take for the real one.
    const std::size_t length = std::strlen(own.data());
    if (size <= 0 || length >= static_cast<std::size_t>(size)) return Fail(ENAMETOOLONG);
    std::memcpy(name, own.data(), length + 1);
    return 0;
  }

  int WSAGetLastError() override { return last_error_; }

  bool gethostbyname(const char* /*name*/, std::vector<Ipv4Address>& addresses) override {
    std::vector<InterfaceAddress> interfaces;
    if (const int error = read_interfaces_(interfaces); error != 0) {
      last_error_ = error;
      return false;
    }
    addresses = SelectHostAddresses(interfaces);
    return true;
  }

 private:
  int Fail(int error) {
    last_error_ = error;
    return -1;
  }

  InterfaceReader read_interfaces_;
  int last_error_ = 0;
};

// The system's interface list, from getifaddrs.
int ReadSystemInterfaces(std::vector<InterfaceAddress>& out) {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return errno != 0 ? errno : EIO;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    InterfaceAddress record;
    record.flags = entry->ifa_flags;
    record.family = entry->ifa_addr != nullptr ? entry->ifa_addr->sa_family : AF_UNSPEC;
    if (record.family == AF_INET) {
      const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
      static_assert(sizeof(ipv4->sin_addr) == sizeof(record.address));
      std::memcpy(record.address.data(), &ipv4->sin_addr, record.address.size());
    }
    out.push_back(record);
  }
  ::freeifaddrs(list);
  return 0;
}

}  // namespace

std::vector<Ipv4Address> SelectHostAddresses(std::span<const InterfaceAddress> interfaces) {
  // Up is not enough: an interface that is up without a carrier (a cable
  // out, a bridge whose last port went away) is not running, and Windows
  // lists no address of a disconnected adapter.
  constexpr unsigned int kConnected = IFF_UP | IFF_RUNNING;
  std::vector<Ipv4Address> addresses;
  for (const InterfaceAddress& entry : interfaces) {
    if (entry.family == AF_INET && (entry.flags & kConnected) == kConnected &&
        (entry.flags & IFF_LOOPBACK) == 0 &&
        std::find(addresses.begin(), addresses.end(), entry.address) == addresses.end()) {
      addresses.push_back(entry.address);
    }
  }
  if (addresses.empty()) addresses.push_back({127, 0, 0, 1});
  return addresses;
}

std::unique_ptr<Sockets> MakePosixSockets(InterfaceReader read_interfaces) {
  return std::make_unique<PosixSockets>(read_interfaces);
}

std::unique_ptr<Sockets> MakeSystemSockets() { return MakePosixSockets(ReadSystemInterfaces); }

}  // namespace pellux
