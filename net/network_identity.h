// The network functions shared by the forms: starting sockets, finding the
// computer's IPv4 address and reading the names it is known by. Absence of a
// result is reported as empty text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/computer_name.h"
#include "net/sockets.h"
#include "ui/message_box.h"
#include "ui/process.h"

namespace pellux {

constexpr int HighByteOf(uint16_t word) { return (word >> 8) & 0xFF; }
constexpr int LowByteOf(uint16_t word) { return word & 0xFF; }

// The sockets version the program asks for: 1.1.
inline constexpr uint16_t kSocketsVersion = 0x0101;

// Exit code of the process when sockets cannot be used.
inline constexpr int kSocketsFailureExitCode = 1;

// An address as dotted decimal text ("192.168.0.5").
std::string AddressText(const Ipv4Address& address);

// A number the way the program writes error codes: a leading blank, or the
// minus sign in its place.
std::string NumberWithSignPlace(long long value);

// The text before the first NUL of `buffer` (all of it when there is none),
// without leading and trailing blanks.
std::string NameFromBuffer(const char* buffer, std::size_t size);

// Module1, the program's module of shared functions, is an object, so that
// it holds the seams it works through.
class Module1 {
 public:
  Module1(Sockets& sockets, ComputerName& computer, MessageBoxes& messages, Process& process)
      : sockets_(sockets), computer_(computer), messages_(messages), process_(process) {}

  // Starts sockets at version 1.1. Returns true when they are usable;
  // otherwise tells the user, ends the program and returns false (only a
  // test double of the process lets it return at all).
  bool CheckSockets();

  // The address of the computer's own host name: the last one the resolver
  // lists when `PickLast` is true, the one before it otherwise; empty text
  // when there is none. Failures are told to the user. Nothing is cached.
  std::string LookupAddress(bool PickLast);

  // The names the computer is known by; empty text when the call fails.
  // Neither shows a message.
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
