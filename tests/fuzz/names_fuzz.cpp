// The two name buffers: whatever the platform leaves in them, with or without
// a NUL, the name read back is the buffer's text before its first NUL with
// the blanks around it taken off, and never reaches past the buffer.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "net/network_identity.h"

namespace {

// Writes fuzzer bytes into the start of the buffer it is given, at most its
// size and without adding a NUL, and reports success or failure as told.
class FuzzedComputerName final : public pellux::ComputerName {
 public:
  explicit FuzzedComputerName(FuzzedDataProvider& input) : input_(input) {}
  bool GetComputerNameA(char* buffer, uint32_t& size) override {
    const auto bytes = input_.ConsumeBytes<char>(input_.ConsumeIntegralInRange<uint32_t>(0, size));
    std::copy(bytes.begin(), bytes.end(), buffer);
    size = input_.ConsumeIntegral<uint32_t>();
    return input_.ConsumeBool();
  }

 private:
  FuzzedDataProvider& input_;
};

class FuzzedSockets final : public pellux::Sockets {
 public:
  explicit FuzzedSockets(FuzzedDataProvider& input) : input_(input) {}
  int WSAStartup(uint16_t, uint16_t& version) override {
    version = 0x0101;
    return 0;
  }
  int gethostname(char* name, int size) override {
    const auto limit = static_cast<size_t>(std::max(size, 0));
    const auto bytes = input_.ConsumeBytes<char>(input_.ConsumeIntegralInRange<size_t>(0, limit));
    std::copy(bytes.begin(), bytes.end(), name);
    return input_.ConsumeBool() ? 0 : -1;
  }
  int WSAGetLastError() override { return 0; }
  bool gethostbyname(const char*, std::vector<pellux::Ipv4Address>&) override { return false; }

 private:
  FuzzedDataProvider& input_;
};

class NoMessages final : public pellux::MessageBoxes {
 public:
  void Show(const std::string&, const std::string&, pellux::MessageIcon) override { std::abort(); }
  void BringForward() override { std::abort(); }
};

class NoExit final : public pellux::Process {
 public:
  void EndProgram(int) override {}
};

// What every name read back must be.
void CheckName(const std::string& name, size_t buffer_size) {
  if (name.size() > buffer_size) std::abort();
  if (name.find('\0') != std::string::npos) std::abort();
  if (!name.empty() && (name.front() == ' ' || name.back() == ' ')) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    // A buffer of exactly the bytes given, so reading past it is caught.
    const std::vector<char> buffer = input.ConsumeRemainingBytes<char>();
    const std::string name = pellux::NameFromBuffer(buffer.data(), buffer.size());
    CheckName(name, buffer.size());
    const std::string_view text(buffer.data(), buffer.size());
    if (text.substr(0, text.find('\0')).find(name) == std::string_view::npos) std::abort();
    return 0;
  }
  FuzzedComputerName computer(input);
  FuzzedSockets sockets(input);
  NoMessages messages;
  NoExit process;
  pellux::Module1 module1(sockets, computer, messages, process);
  // Both buffers hold 255 bytes.
  CheckName(module1.QueryComputerName(), 255);
  CheckName(module1.QueryHostName(), 255);
  return 0;
}
