#include "net/module1.h"

#include <string_view>

namespace pellux {
namespace {

// `gethostname` gets 256 bytes when looking up the address, while the name
// query uses a buffer of 255 blanks; both sizes are visible to the platform.
constexpr int kLookupNameSize = 256;
constexpr int kQueryNameSize = 255;

}  // namespace

std::string AddressText(const unsigned char* bytes, int length) {
  if (length < 1) return {};
  // Written in place into text of the longest length it can have (three
  // digits and a dot a byte), then cut to size: an IPv4 address fits the
  // string's own small buffer, so the poll cycle allocates nothing here.
  std::string text(static_cast<std::size_t>(length) * 4 - 1, '\0');
  char* out = text.data();
  for (int i = 0; i < length; ++i) {
    if (i > 0) *out++ = '.';
    const unsigned byte = bytes[i];
    if (byte >= 100) *out++ = static_cast<char>('0' + byte / 100);
    if (byte >= 10) *out++ = static_cast<char>('0' + byte / 10 % 10);
    *out++ = static_cast<char>('0' + byte % 10);
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

std::string NumberWithSignPlace(long long value) {
  return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string NameFromBuffer(const char* buffer, std::size_t size) {
  // Through a view, which takes an empty buffer given as a null pointer
  // (memchr may not be handed one, even for no bytes).
  std::string_view name(buffer, size);
  name = name.substr(0, name.find('\0'));
  const auto first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = name.find_last_not_of(' ');
  return std::string(name.substr(first, last - first + 1));
}

bool Module1::CheckSockets() {
  uint16_t version = 0;
  if (sockets_.WSAStartup(kSocketsVersion, version) != 0) {
    messages_.Message("Winsock.dll Error.");
    process_.EndProgram(kSocketsFailureExitCode);
    return false;
  }
  const int major = LowByteOf(version);
  const int minor = HighByteOf(version);
  if (major < 1 || (major == 1 && minor < 1)) {
    messages_.Message("Windows Sockets version " + std::to_string(major) + "." +
                      std::to_string(minor));
    process_.EndProgram(kSocketsFailureExitCode);
    return false;
  }
  return true;
}

std::string Module1::LookupAddress(bool PickLast) {
  char host_name[kLookupNameSize] = {};
  if (sockets_.gethostname(host_name, kLookupNameSize) != 0) {
    messages_.Message("Windows Socket Error " + NumberWithSignPlace(sockets_.WSAGetLastError()));
    return {};
  }
  // A library that filled the whole buffer without a NUL must not make us
  // read past it.
  host_name[kLookupNameSize - 1] = '\0';

  const HostEntry* entry = sockets_.gethostbyname(host_name);
  if (entry == nullptr) {
    messages_.Message("Winsock.dll error.");
    return {};
  }
  // The entry belongs to the library and lives only until its next call, so
  // it is copied and every address is read before anything else happens.
  const HostEntry host = *entry;
  if (host.h_length < 1 || host.h_addr_list == nullptr) return {};

  std::string current;
  std::string previous;
  for (char** item = host.h_addr_list; *item != nullptr; ++item) {
    previous = std::move(current);
    current = AddressText(reinterpret_cast<const unsigned char*>(*item), host.h_length);
  }
  return PickLast ? current : previous;
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
