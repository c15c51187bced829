#include "net/network_identity.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace pellux {
namespace {

// `gethostname` gets 256 bytes when looking up the address, while the name query uses a
// buffer of 255 blanks; both sizes are visible to the platform.
constexpr int kLookupNameSize = 256;
constexpr int kQueryNameSize = 255;

// The sockets version the program asks for: 1.1.
constexpr uint16_t kSocketsVersion = 0x0101;

// An address as dotted decimal text ("192.168.0.5").
std::string AddressText(const Ipv4Address& address) {
  // Written in place into text of the longest length it can have, then cut to size: an IPv4
  // address fits the string's own small buffer, so the poll cycle allocates nothing here.
  std::string text(address.size() * 4 - 1, '\0');
  char* out = text.data();
  for (std::size_t i = 0; i < address.size(); ++i) {
    if (i > 0) *out++ = '.';
    out = std::to_chars(out, text.data() + text.size(), address[i]).ptr;
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

}  // namespace

std::string NameFromBuffer(const char* buffer, std::size_t size) {
  // Through a view, which takes an empty buffer given as a null pointer (memchr may not).
  std::string_view name(buffer, size);
  name = name.substr(0, name.find('\0'));
  const auto first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = name.find_last_not_of(' ');
  return std::string(name.substr(first, last - first + 1));
}

bool Module1::CheckSockets() {
  uint16_t version = 0;
  const bool started = sockets_.WSAStartup(kSocketsVersion, version) == 0;
  const int major = LowByteOf(version);
  const int minor = HighByteOf(version);
  if (started && std::pair(major, minor) >= std::pair(1, 1)) return true;
  const std::string version_text = std::to_string(major) + "." + std::to_string(minor);
  messages_.Message(started ? "Windows Sockets version " + version_text : "Winsock.dll Error.");
  process_.EndProgram(kSocketsFailureExitCode);
  return false;
}

std::string Module1::LookupAddress(bool PickLast) {
  char host_name[kLookupNameSize] = {};
  if (sockets_.gethostname(host_name, kLookupNameSize) != 0) {
    // The code is written after a blank, which a minus sign takes the place of.
    const int error = sockets_.WSAGetLastError();
    messages_.Message("Windows Socket Error " + std::string(error < 0 ? "" : " ") +
                      std::to_string(error));
    return {};
  }
  // A library that filled the whole buffer without a NUL must not make us read past it.
  host_name[kLookupNameSize - 1] = '\0';

  if (!sockets_.gethostbyname(host_name, addresses_)) {
    messages_.Message("Winsock.dll error.");
    return {};
  }
  // The last address, or the one before it; empty text where there is none.
  const std::size_t wanted = PickLast ? 1 : 2;
  if (addresses_.size() < wanted) return {};
  return AddressText(addresses_[addresses_.size() - wanted]);
}

std::string Module1::QueryComputerName() {
  std::string buffer(kQueryNameSize, ' ');
  uint32_t size = kQueryNameSize;
  computer_.GetComputerNameA(buffer.data(), size);
  return NameFromBuffer(buffer.data(), buffer.size());
}

std::string Module1::QueryHostName() {
  std::string buffer(kQueryNameSize, ' ');
  sockets_.gethostname(buffer.data(), kQueryNameSize);
  return NameFromBuffer(buffer.data(), buffer.size());
}

}  // namespace pellux
