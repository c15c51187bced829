// The sockets seam on POSIX systems. There is no library to start, and the
// host's own name is answered from the interface list rather than the
// resolver, so the program shows the same addresses it would on Windows.

#include <ifaddrs.h>
#include <netdb.h>
#include <unistd.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/interface_addresses.h"
#include "net/sockets.h"
#include "net/system_sockets.h"

namespace pellux {
namespace {

// Windows Sockets codes for a failed name lookup. The resolver's own codes
// overlap nothing the caller knows, so failures are reported the way the
// Windows binding would report them.
constexpr int kHostNotFound = 11001;  // WSAHOST_NOT_FOUND
constexpr int kTryAgain = 11002;      // WSATRY_AGAIN
constexpr int kNoRecovery = 11003;    // WSANO_RECOVERY
constexpr int kNoData = 11004;        // WSANO_DATA

// POSIX host names are at most 255 bytes (Linux keeps them to 64).
constexpr std::size_t kMaxHostName = 255;

constexpr Ipv4Address kLoopback = {127, 0, 0, 1};

void AppendUnique(std::vector<Ipv4Address>& addresses, const Ipv4Address& address) {
  if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
    addresses.push_back(address);
  }
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows matches its own host name without regard to case; host names are
// ASCII, so the current locale must not take part.
bool SameHostName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Reads the host name into `out`; returns 0, or the errno value when it
// cannot be read.
int ReadHostName(std::string& out) {
  std::array<char, kMaxHostName + 1> buffer{};
  // The last byte is kept out of reach so the name ends in NUL even where
  // gethostname cuts a long name short without terminating it.
  if (::gethostname(buffer.data(), kMaxHostName) != 0) return errno;
  out.assign(buffer.data());
  return 0;
}

Ipv4Address AddressOf(const sockaddr* address) {
  Ipv4Address bytes{};
  const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
  static_assert(sizeof(ipv4->sin_addr) == bytes.size());
  std::memcpy(bytes.data(), &ipv4->sin_addr, bytes.size());
  return bytes;
}

int LookupError(int status, int saved_errno) {
  switch (status) {
    case EAI_NONAME:
      return kHostNotFound;
#ifdef EAI_NODATA
    case EAI_NODATA:
      return kNoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
      return kNoData;
#endif
    case EAI_AGAIN:
      return kTryAgain;
    case EAI_SYSTEM:
      return saved_errno != 0 ? saved_errno : kNoRecovery;
    default:
      return kNoRecovery;
  }
}

// Fills `out` with the IPv4 addresses the resolver gives for `name`, in its
// order, each once; returns 0, or the error to report.
int ResolveIpv4(const char* name, std::vector<Ipv4Address>& out) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  // One socket type, so each address comes back once rather than once per type.
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* results = nullptr;
  const int status = ::getaddrinfo(name, nullptr, &hints, &results);
  const int saved_errno = errno;
  if (status != 0) return LookupError(status, saved_errno);
  for (const addrinfo* entry = results; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family == AF_INET && entry->ai_addr != nullptr &&
        entry->ai_addrlen >= sizeof(sockaddr_in)) {
      AppendUnique(out, AddressOf(entry->ai_addr));
    }
  }
  ::freeaddrinfo(results);
  return out.empty() ? kNoData : 0;
}

class PosixSockets final : public Sockets {
 public:
  explicit PosixSockets(InterfaceReader read_interfaces) : read_interfaces_(read_interfaces) {}

  // There is nothing to start; the program asks for 1.1 and gets it.
  int WSAStartup(uint16_t /*requested*/, uint16_t& version) override {
    version = 0x0101;
    return 0;
  }

  int gethostname(char* name, int size) override {
    std::string own;
    if (const int error = ReadHostName(own); error != 0) return Fail(error);
    if (name == nullptr || size <= 0) return Fail(EFAULT);
    // A name that does not fit with its NUL is a failure, as on Windows,
    // rather than a truncated name the caller would take for the real one.
    if (own.size() >= static_cast<std::size_t>(size)) return Fail(ENAMETOOLONG);
    std::memcpy(name, own.c_str(), own.size() + 1);
    return 0;
  }

  int WSAGetLastError() override { return last_error_; }

  const HostEntry* gethostbyname(const char* name) override {
    addresses_.clear();
    pointers_.clear();
    entry_ = HostEntry{};

    std::string own;
    const bool own_known = ReadHostName(own) == 0;
    // Windows answers a null or empty name as the host's own name.
    if (name == nullptr || *name == '\0' || (own_known && SameHostName(name, own))) {
      std::vector<InterfaceAddress> interfaces;
      if (const int error = read_interfaces_(interfaces); error != 0) {
        Fail(error);
        return nullptr;
      }
      addresses_ = SelectHostAddresses(interfaces);
    } else if (const int error = ResolveIpv4(name, addresses_); error != 0) {
      Fail(error);
      return nullptr;
    }

    pointers_.reserve(addresses_.size() + 1);
    for (Ipv4Address& address : addresses_) {
      pointers_.push_back(reinterpret_cast<char*>(address.data()));
    }
    pointers_.push_back(nullptr);
    entry_.h_addrtype = AF_INET;
    entry_.h_length = static_cast<int16_t>(sizeof(Ipv4Address));
    entry_.h_addr_list = pointers_.data();
    return &entry_;
  }

 private:
  int Fail(int error) {
    last_error_ = error;
    return -1;
  }

  InterfaceReader read_interfaces_;
  int last_error_ = 0;
  // The last answer; kept until the next lookup, like the library's own
  // per-thread buffer on Windows.
  std::vector<Ipv4Address> addresses_;
  std::vector<char*> pointers_;
  HostEntry entry_;
};

}  // namespace

std::vector<Ipv4Address> SelectHostAddresses(std::span<const InterfaceAddress> interfaces) {
  std::vector<Ipv4Address> addresses;
  for (const InterfaceAddress& entry : interfaces) {
    if (entry.family == AF_INET && (entry.flags & IFF_UP) != 0 &&
        (entry.flags & IFF_LOOPBACK) == 0) {
      AppendUnique(addresses, entry.address);
    }
  }
  if (addresses.empty()) addresses.push_back(kLoopback);
  return addresses;
}

int ReadSystemInterfaces(std::vector<InterfaceAddress>& out) {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return errno != 0 ? errno : EIO;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    InterfaceAddress record;
    record.flags = entry->ifa_flags;
    record.family = entry->ifa_addr != nullptr ? entry->ifa_addr->sa_family : AF_UNSPEC;
    if (record.family == AF_INET) record.address = AddressOf(entry->ifa_addr);
    out.push_back(record);
  }
  ::freeifaddrs(list);
  return 0;
}

std::unique_ptr<Sockets> MakePosixSockets(InterfaceReader read_interfaces) {
  return std::make_unique<PosixSockets>(read_interfaces);
}

std::unique_ptr<Sockets> MakeSystemSockets() { return MakePosixSockets(ReadSystemInterfaces); }

}  // namespace pellux
