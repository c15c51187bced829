// Lookups of any outcome: any number of addresses with any bytes, host
// names that fill the buffer without a NUL, failures anywhere. The text the
// lookup returns is the chosen address's bytes in dotted decimal, or empty
// text where there is no such address.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/network_identity.h"

namespace {

constexpr int kMaxAddresses = 16;

class FuzzedSockets final : public pellux::Sockets {
 public:
  explicit FuzzedSockets(FuzzedDataProvider& input) : input_(input) {}

  int WSAStartup(uint16_t, uint16_t& version) override {
    version = input_.ConsumeIntegral<uint16_t>();
    return input_.ConsumeBool() ? 0 : input_.ConsumeIntegral<int>();
  }

  // Fills as much of the buffer as the input says, NUL or not.
  int gethostname(char* name, int size) override {
    if (!input_.ConsumeBool()) return -1;
    const auto limit = static_cast<size_t>(std::max(size, 0));
    const auto bytes = input_.ConsumeBytes<char>(input_.ConsumeIntegralInRange<size_t>(0, limit));
    std::copy(bytes.begin(), bytes.end(), name);
    return 0;
  }

  int WSAGetLastError() override { return input_.ConsumeIntegral<int>(); }

  bool gethostbyname(const char* name, std::vector<pellux::Ipv4Address>& addresses) override {
    // The program hands over a name that ends inside its 256-byte buffer.
    if (std::memchr(name, '\0', 256) == nullptr) std::abort();
    if (input_.ConsumeBool()) return false;
    addresses.resize(input_.ConsumeIntegralInRange<size_t>(0, kMaxAddresses));
    for (auto& address : addresses) {
      for (auto& byte : address) byte = input_.ConsumeIntegral<uint8_t>();
    }
    answer_ = addresses;
    return true;
  }

  // The addresses of the last lookup that succeeded.
  const std::vector<pellux::Ipv4Address>& answer() const { return answer_; }

 private:
  FuzzedDataProvider& input_;
  std::vector<pellux::Ipv4Address> answer_;
};

class QuietMessages final : public pellux::MessageBoxes {
 public:
  void Show(const std::string&, const std::string&, pellux::MessageIcon) override {}
  void BringForward() override {}
};

class NoExit final : public pellux::Process {
 public:
  void EndProgram(int) override {}
};

class NoComputerName final : public pellux::ComputerName {
 public:
  bool GetComputerNameA(char*, uint32_t&) override { return false; }
};

// The address text must be the address's bytes, each in decimal without
// leading zeros, joined by dots.
void CheckText(const std::string& text, const pellux::Ipv4Address& address) {
  size_t at = 0;
  for (size_t i = 0; i < address.size(); ++i) {
    if (i > 0 && (at >= text.size() || text[at++] != '.')) std::abort();
    const size_t end = std::min(text.find('.', at), text.size());
    const std::string digits = text.substr(at, end - at);
    if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) {
      std::abort();
    }
    if (digits.find_first_not_of("0123456789") != std::string::npos) std::abort();
    if (std::stoi(digits) != address[i]) std::abort();
    at = end;
  }
  if (at != text.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  FuzzedSockets sockets(input);
  NoComputerName computer;
  QuietMessages messages;
  NoExit process;
  pellux::Module1 module1(sockets, computer, messages, process);

  module1.CheckSockets();
  const bool pick_last = input.ConsumeBool();
  const std::string text = module1.LookupAddress(pick_last);

  // The chosen address: the last one, or the one before it.
  const auto& answer = sockets.answer();
  const size_t skip = pick_last ? 1 : 2;
  if (answer.size() < skip) {
    if (!text.empty()) std::abort();
  } else {
    CheckText(text, answer[answer.size() - skip]);
  }
  return 0;
}
