// The network functions shared by the forms: starting sockets, finding the computer's IPv4
// address and reading the names it is known by. No result is reported as empty text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/computer_name.h"
#include "net/sockets.h"
#include "platform/message_box.h"
#include "platform/process.h"

namespace pellux {

constexpr int HighByteOf(uint16_t word) { return (word >> 8) & 0xFF; }
constexpr int LowByteOf(uint16_t word) { return word & 0xFF; }

// Exit code of the process when sockets cannot be used.
inline constexpr int kSocketsFailureExitCode = 1;

// The text before the first NUL of `buffer` (all of it without one), less outer blanks.
std::string NameFromBuffer(const char* buffer, std::size_t size);

// The program's module of shared functions, as an object that holds the seams it works through.
class Module1 {
 public:
  Module1(Sockets& sockets, ComputerName& computer, MessageBoxes& messages, Process& process)
      : sockets_(sockets), computer_(computer), messages_(messages), process_(process) {}

  // Starts sockets at version 1.1; when they are not usable, tells the user, ends the program
  // and returns false (only a test double of the process lets it return at all).
  bool CheckSockets();

  // The address of the computer's own host name: the last one the resolver lists when
  // `PickLast` is true, the one before it otherwise. Failures are told; nothing is cached.
  std::string LookupAddress(bool PickLast);

  // The names the computer is known by; empty text, and no message, when the call fails.
  std::string QueryComputerName();
  std::string QueryHostName();

 private:
  Sockets& sockets_;
  ComputerName& computer_;
  MessageBoxes& messages_;
  Process& process_;
  // The last lookup's answer; kept so that a poll cycle reuses its storage.
  std::vector<Ipv4Address> addresses_;
};

}  // namespace pellux
