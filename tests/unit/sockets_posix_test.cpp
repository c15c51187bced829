#include <ifaddrs.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "net/network_identity.h"
#include "net/sockets.h"
#include "net/sockets_posix.h"
#include "tests/unit/fakes.h"

namespace pellux {
namespace {

constexpr unsigned int kUp = IFF_UP | IFF_RUNNING;
constexpr unsigned int kLoop = IFF_UP | IFF_RUNNING | IFF_LOOPBACK;
constexpr Ipv4Address kLocal = {127, 0, 0, 1};
constexpr Ipv4Address kA = {192, 168, 1, 5};
constexpr Ipv4Address kB = {10, 0, 0, 2};

struct SelectionCase {
  const char* name;
  std::vector<InterfaceAddress> interfaces;
  std::vector<Ipv4Address> expected;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const SelectionCase& c, std::ostream* os) { *os << c.name; }

class SelectHostAddressesTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectHostAddressesTest, Selects) {
  EXPECT_EQ(SelectHostAddresses(GetParam().interfaces), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SelectHostAddressesTest,
    ::testing::Values(
        SelectionCase{"UpKeptInListOrder", {{kUp, AF_INET, kA}, {kUp, AF_INET, kB}}, {kA, kB}},
        SelectionCase{"DownDropped", {{IFF_RUNNING, AF_INET, kB}, {kUp, AF_INET, kA}}, {kA}},
        // A cable out, or a bridge with no ports left (docker0, no container running).
        SelectionCase{"NoCarrierDropped", {{kUp, AF_INET, kA}, {IFF_UP, AF_INET, kB}}, {kA}},
        SelectionCase{"LoopbackDropped", {{kLoop, AF_INET, kLocal}, {kUp, AF_INET, kB}}, {kB}},
        // The flag decides, not the address.
        SelectionCase{
            "LoopbackFlagDropsAnyAddress", {{kLoop, AF_INET, kA}, {kUp, AF_INET, kB}}, {kB}},
        SelectionCase{"NonIpv4Dropped",
                      {{kUp, AF_PACKET, kA}, {kUp, AF_INET6, kA}, {kUp, AF_INET, kB}},
                      {kB}},
        SelectionCase{"DuplicateKeptFirst",
                      {{kUp, AF_INET, kB}, {kUp, AF_INET, kA}, {kUp, AF_INET, kB}},
                      {kB, kA}},
        SelectionCase{"NoneGivesLocalhost", {}, {kLocal}},
        SelectionCase{"OnlyLoopbackGivesLocalhost", {{kLoop, AF_INET, kLocal}}, {kLocal}},
        SelectionCase{
            "OnlyDownOrIpv6GivesLocalhost", {{0, AF_INET, kB}, {kUp, AF_INET6, kA}}, {kLocal}}),
    [](const ::testing::TestParamInfo<SelectionCase>& param_info) {
      return std::string(param_info.param.name);
    });

std::string OwnHostName() {
  std::array<char, 256> buffer{};
  EXPECT_EQ(::gethostname(buffer.data(), buffer.size() - 1), 0);
  return buffer.data();
}

// The addresses the binding answers for `name`, checked for the shape every
// answer shares: at least one, none twice.
std::vector<Ipv4Address> AddressesOf(Sockets& sockets, const char* name) {
  std::vector<Ipv4Address> addresses;
  EXPECT_TRUE(sockets.gethostbyname(name, addresses));
  EXPECT_FALSE(addresses.empty());
  EXPECT_EQ(std::set<Ipv4Address>(addresses.begin(), addresses.end()).size(), addresses.size());
  return addresses;
}

class SystemSocketsTest : public ::testing::Test {
 protected:
  std::unique_ptr<Sockets> sockets_ = MakeSystemSockets();
};

TEST_F(SystemSocketsTest, HostNameFitsWithItsTerminatorOrFails) {
  const std::string own = OwnHostName();
  ASSERT_FALSE(own.empty());
  std::array<char, 256> buffer;
  for (const size_t size : {buffer.size(), own.size() + 1}) {
    buffer.fill('x');
    ASSERT_EQ(sockets_->gethostname(buffer.data(), static_cast<int>(size)), 0) << size;
    EXPECT_EQ(std::string(buffer.data()), own) << size;
  }
  // One byte short: a cut-down name must not pass for the real one.
  for (const size_t size : {own.size(), size_t{0}}) {
    buffer.fill('x');
    EXPECT_EQ(sockets_->gethostname(buffer.data(), static_cast<int>(size)), -1) << size;
    EXPECT_NE(sockets_->WSAGetLastError(), 0) << size;
    EXPECT_EQ(buffer[0], 'x') << size;
  }
}

TEST_F(SystemSocketsTest, OwnHostNameGivesInterfaceAddresses) {
  const std::string own = OwnHostName();
  const std::vector<Ipv4Address> addresses = AddressesOf(*sockets_, own.c_str());
  // Debian's /etc/hosts maps the host name to 127.0.1.1; that is not an
  // address anyone can reach the machine on.
  for (const Ipv4Address& address : addresses) EXPECT_NE(address, (Ipv4Address{127, 0, 1, 1}));

  // The interface list read here independently, to check the binding reads
  // the real one (flags and byte order) the same way.
  std::set<Ipv4Address> expected;
  ifaddrs* list = nullptr;
  ASSERT_EQ(::getifaddrs(&list), 0);
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    if ((entry->ifa_flags & kUp) != kUp || (entry->ifa_flags & IFF_LOOPBACK) != 0) continue;
    const uint32_t host_order =
        ntohl(reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
    expected.insert({static_cast<uint8_t>(host_order >> 24), static_cast<uint8_t>(host_order >> 16),
                     static_cast<uint8_t>(host_order >> 8), static_cast<uint8_t>(host_order)});
  }
  ::freeifaddrs(list);
  if (expected.empty()) expected.insert(kLocal);
  EXPECT_EQ(std::set<Ipv4Address>(addresses.begin(), addresses.end()), expected);
}

// The interface list as the lookup of the host's own name meets it: read
// with some interface up, read with none, or not read at all (out of file
// descriptors, for one).
struct ListOutcome {
  const char* name;
  InterfaceReader read;
  std::string address;
  std::vector<std::string> messages;
};

void PrintTo(const ListOutcome& c, std::ostream* os) { *os << c.name; }

class InterfaceListTest : public ::testing::TestWithParam<ListOutcome> {};

TEST_P(InterfaceListTest, DecidesTheLookup) {
  const auto sockets = MakePosixSockets(GetParam().read);
  testing::FakeComputerName computer;
  testing::FakeMessages messages;
  testing::FakeProcess process;
  Module1 module1(*sockets, computer, messages, process);
  EXPECT_EQ(module1.LookupAddress(true), GetParam().address);
  EXPECT_EQ(messages.Texts(), GetParam().messages);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, InterfaceListTest,
    ::testing::Values(ListOutcome{"InterfaceUp",
                                  [](std::vector<InterfaceAddress>& out) {
                                    out = {{kLoop, AF_INET, kLocal}, {kUp, AF_INET, kA}};
                                    return 0;
                                  },
                                  "192.168.1.5",
                                  {}},
                      ListOutcome{"ReadWithNoneUpIsLocalhost",
                                  [](std::vector<InterfaceAddress>& out) {
                                    out = {{kLoop, AF_INET, kLocal}, {0, AF_INET, kA}};
                                    return 0;
                                  },
                                  "127.0.0.1",
                                  {}},
                      ListOutcome{"UnreadableIsAFailedLookup",
                                  [](std::vector<InterfaceAddress>& out) {
                                    // Whatever was read before the failure counts for nothing.
                                    out = {{kUp, AF_INET, kA}};
                                    return EMFILE;
                                  },
                                  "",
                                  {"Winsock.dll error."}}),
    [](const ::testing::TestParamInfo<ListOutcome>& param_info) {
      return std::string(param_info.param.name);
    });

TEST(InterfaceListFailureTest, IsReportedAsTheLastError) {
  const auto sockets = MakePosixSockets([](std::vector<InterfaceAddress>&) { return EMFILE; });
  std::vector<Ipv4Address> addresses;
  EXPECT_FALSE(sockets->gethostbyname("host", addresses));
  EXPECT_EQ(sockets->WSAGetLastError(), EMFILE);
}

}  // namespace
}  // namespace pellux
