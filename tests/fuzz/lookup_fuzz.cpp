// Host entries of any shape: any address length, any number of addresses,
// a list cut short by a null entry or missing altogether, host names that
// fill the buffer without a NUL, failures anywhere. The lookup reads only
// what the entry holds, and the text it returns is the chosen address's
// bytes in dotted decimal.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "net/module1.h"

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

  const pellux::HostEntry* gethostbyname(const char* name) override {
    // The program hands over a name that ends inside its 256-byte buffer.
    if (std::memchr(name, '\0', 256) == nullptr) std::abort();
    addresses_.clear();
    list_.clear();
    readable_.clear();
    if (input_.ConsumeBool()) return nullptr;

    entry_.h_addrtype = input_.ConsumeIntegral<int16_t>();
    entry_.h_length = input_.ConsumeIntegral<int16_t>();
    // Every address is exactly h_length bytes long, so reading more is
    // caught. After a null entry, which ends the list, come pointers to
    // memory already given back: reading any of them is caught too.
    const auto length = static_cast<size_t>(std::max<int16_t>(entry_.h_length, 0));
    const int count = input_.ConsumeIntegralInRange(0, kMaxAddresses);
    bool ended = false;
    for (int i = 0; i < count; ++i) {
      if (!ended && input_.ConsumeIntegralInRange(0, 7) == 0) {
        list_.push_back(nullptr);
        ended = true;
        continue;
      }
      auto bytes = std::make_unique<char[]>(length);
      const auto given = input_.ConsumeBytes<char>(length);
      std::copy(given.begin(), given.end(), bytes.get());
      list_.push_back(bytes.get());
      if (ended) continue;  // `bytes` is freed here
      readable_.push_back(bytes.get());
      addresses_.push_back(std::move(bytes));
    }
    list_.push_back(nullptr);
    entry_.h_addr_list = input_.ConsumeIntegralInRange(0, 15) == 0 ? nullptr : list_.data();
    if (entry_.h_addr_list == nullptr) readable_.clear();
    return &entry_;
  }

  // The addresses before the first null entry, as the last lookup gave them.
  const std::vector<char*>& readable() const { return readable_; }
  int16_t length() const { return entry_.h_length; }

 private:
  FuzzedDataProvider& input_;
  std::vector<std::unique_ptr<char[]>> addresses_;
  std::vector<char*> list_;
  std::vector<char*> readable_;
  pellux::HostEntry entry_;
};

class QuietMessages final : public pellux::MessageBoxes {
 public:
  void Show(const std::string&, const std::string&, pellux::MessageIcon) override {}
};

class NoExit final : public pellux::Process {
 public:
  void EndProgram(int) override {}
};

class NoComputerName final : public pellux::ComputerName {
 public:
  bool GetComputerNameA(char*, uint32_t&) override { return false; }
};

// The address text must be the bytes at `address`, each in decimal without
// leading zeros, joined by dots.
void CheckText(const std::string& text, const char* address, int16_t length) {
  size_t at = 0;
  for (int i = 0; i < length; ++i) {
    if (i > 0 && (at >= text.size() || text[at++] != '.')) std::abort();
    const size_t end = std::min(text.find('.', at), text.size());
    const std::string digits = text.substr(at, end - at);
    if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) {
      std::abort();
    }
    if (digits.find_first_not_of("0123456789") != std::string::npos) std::abort();
    if (std::stoi(digits) != static_cast<unsigned char>(address[i])) std::abort();
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

  // The chosen address: the last readable one, or the one before it.
  const auto& readable = sockets.readable();
  const size_t skip = pick_last ? 1 : 2;
  if (sockets.length() < 1 || readable.size() < skip) {
    if (!text.empty()) std::abort();
  } else {
    CheckText(text, readable[readable.size() - skip], sockets.length());
  }
  return 0;
}
