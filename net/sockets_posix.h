// Which interface addresses stand for the host's own name.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "net/sockets.h"

namespace pellux {

// One entry of the interface list as getifaddrs reports it, reduced to what
// decides whether its address names this host.
struct InterfaceAddress {
  unsigned int flags = 0;  // IFF_* flags of the interface
  int family = 0;          // AF_INET, AF_INET6, AF_PACKET, ...
  Ipv4Address address{};   // read only when family is AF_INET
};

// The addresses the host's own name resolves to, as Windows answers it: the
// IPv4 addresses of interfaces that are up, running (connected) and not
// loopback, in list order, each once. A machine with none of them still
// resolves its own name, to 127.0.0.1 alone.
std::vector<Ipv4Address> SelectHostAddresses(std::span<const InterfaceAddress> interfaces);

// Reads the interface list into `out`: 0, or the errno value when the list
// cannot be read.
using InterfaceReader = int (*)(std::vector<InterfaceAddress>& out);

// The POSIX sockets binding, taking the host's own addresses from
// `read_interfaces`. The program only ever looks up its own host name, so
// every lookup answers with those addresses. A list that cannot be read
// fails the lookup, as a resolver failure would: it says nothing about
// whether the host has a network.
std::unique_ptr<Sockets> MakePosixSockets(InterfaceReader read_interfaces);

}  // namespace pellux
