#include "net/network_identity.h"

#include <gtest/gtest.h>

#include "tests/unit/fakes.h"

namespace pellux {
namespace {

using testing::FakeComputerName;
using testing::FakeMessages;
using testing::FakeProcess;
using testing::FakeSockets;

class Module1Test : public ::testing::Test {
 protected:
  FakeSockets sockets;
  FakeComputerName computer;
  FakeMessages messages;
  FakeProcess process;
  Module1 module1{sockets, computer, messages, process};
};

TEST(ByteOfTest, SplitsTheVersionWord) {
  EXPECT_EQ(HighByteOf(0x0201), 2);
  EXPECT_EQ(LowByteOf(0x0201), 1);
  EXPECT_EQ(HighByteOf(0xFFFF), 255);
  EXPECT_EQ(LowByteOf(0xFF00), 0);
}

struct VersionCase {
  int startup_result;
  uint16_t version;
  bool usable;
  std::vector<std::string> messages;
};

TEST_F(Module1Test, CheckSocketsAcceptsOnlyVersionOnePointOneAndLater) {
  const VersionCase cases[] = {
      {0, 0x0101, true, {}},
      {0, 0x0201, true, {}},  // read as 1.2
      {0, 0x0002, true, {}},  // 2.0
      {0, 0x0001, false, {"Windows Sockets version 1.0"}},
      {0, 0x0100, false, {"Windows Sockets version 0.1"}},
      {10091, 0x0101, false, {"Winsock.dll Error."}},
      {-1, 0x0001, false, {"Winsock.dll Error."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "result " << c.startup_result << " version " << c.version);
    FakeSockets s;
    FakeMessages m;
    FakeProcess p;
    Module1 module{s, computer, m, p};
    s.startup_result = c.startup_result;
    s.version = c.version;

    EXPECT_EQ(module.CheckSockets(), c.usable);
    EXPECT_EQ(s.requested_version, 0x0101);
    EXPECT_EQ(m.Texts(), c.messages);
    EXPECT_EQ(p.exit_code.has_value(), !c.usable);
  }
}

TEST_F(Module1Test, FailureMessagesAreFailureBoxes) {
  sockets.startup_result = 1;
  module1.CheckSockets();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Pellux");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::kNone);
}

struct PickCase {
  std::vector<std::string> addresses;
  std::string last;
  std::string before_last;
};

TEST_F(Module1Test, LookupAddressPicksTheLastOrTheOneBefore) {
  const PickCase cases[] = {
      {{}, "", ""},
      {{"192.168.0.5"}, "192.168.0.5", ""},
      {{"10.0.0.1", "192.168.0.5"}, "192.168.0.5", "10.0.0.1"},
      {{"1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4"}, "4.4.4.4", "3.3.3.3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.addresses.size());
    sockets.SetAddresses(c.addresses);
    EXPECT_EQ(module1.LookupAddress(true), c.last);
    EXPECT_EQ(module1.LookupAddress(false), c.before_last);
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Module1Test, AddressBytesAreWrittenWithoutLeadingZeros) {
  const std::pair<std::string, std::string> cases[] = {
      {"10.0.0.1", "10.0.0.1"},
      {"0.0.0.0", "0.0.0.0"},
      {"255.255.255.255", "255.255.255.255"},
      {"1.20.100.9", "1.20.100.9"},
  };
  for (const auto& [input, text] : cases) {
    sockets.SetAddresses({input});
    EXPECT_EQ(module1.LookupAddress(true), text);
  }
}

TEST_F(Module1Test, HostNameFailureShowsTheCodeAfterTwoBlanks) {
  const std::pair<int, std::string> cases[] = {
      {10093, "Windows Socket Error  10093"},
      {0, "Windows Socket Error  0"},
      {-5, "Windows Socket Error -5"},
  };
  sockets.hostname_result = -1;
  for (const auto& [code, text] : cases) {
    sockets.last_error = code;
    messages.shown.clear();
    EXPECT_EQ(module1.LookupAddress(true), "");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{text});
  }
  EXPECT_EQ(sockets.lookups, 0);
}

TEST_F(Module1Test, ResolverFailureShowsItsOwnMessageWithoutACode) {
  sockets.resolves = false;
  EXPECT_EQ(module1.LookupAddress(true), "");
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Winsock.dll error."});
  EXPECT_EQ(sockets.error_queries, 0);
}

TEST_F(Module1Test, EveryLookupAsksTheResolverForTheHostName) {
  sockets.host_name = "pc1";
  sockets.SetAddresses({"192.168.0.5"});
  EXPECT_EQ(module1.LookupAddress(true), module1.LookupAddress(true));
  EXPECT_EQ(sockets.names_resolved, (std::vector<std::string>{"pc1", "pc1"}));
  EXPECT_EQ(sockets.hostname_sizes, (std::vector<int>{256, 256}));
}

TEST_F(Module1Test, HostNameFillingTheBufferIsCutAtItsEnd) {
  sockets.host_name = std::string(300, 'h');
  sockets.SetAddresses({"10.0.0.1"});
  EXPECT_EQ(module1.LookupAddress(true), "10.0.0.1");
  EXPECT_EQ(sockets.names_resolved.back(), std::string(255, 'h'));
}

TEST_F(Module1Test, NameQueriesReturnTheNameExactly) {
  computer.name = "PC01";
  sockets.host_name = "workstation7";
  EXPECT_EQ(module1.QueryComputerName(), "PC01");
  EXPECT_EQ(module1.QueryHostName(), "workstation7");
  // Nothing is cached: a second call asks again.
  EXPECT_EQ(module1.QueryComputerName(), "PC01");
  EXPECT_EQ(module1.QueryHostName(), "workstation7");
  EXPECT_EQ(computer.sizes, (std::vector<uint32_t>{255, 255}));
  EXPECT_EQ(sockets.hostname_sizes, (std::vector<int>{255, 255}));
}

TEST_F(Module1Test, FailedNameQueriesGiveEmptyTextAndNoMessage) {
  computer.name.reset();
  sockets.hostname_result = -1;
  EXPECT_EQ(module1.QueryComputerName(), "");
  EXPECT_EQ(module1.QueryHostName(), "");
  EXPECT_TRUE(messages.shown.empty());
}

TEST(NameFromBufferTest, CutsAtTheFirstNulAndTrimsBlanks) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string("PC01\0junk", 9), "PC01"},
      {"  padded  ", "padded"},
      {std::string(255, ' '), ""},
      {std::string(255, 'x'), std::string(255, 'x')},  // no NUL at all
      {std::string("\0PC01", 5), ""},
      {std::string(" a b \0", 6), "a b"},
  };
  for (const auto& [buffer, name] : cases) {
    EXPECT_EQ(NameFromBuffer(buffer.data(), buffer.size()), name);
  }
}

TEST(NameFromBufferTest, EmptyBufferWithoutStorageIsAnEmptyName) {
  // An empty vector's data() may be null; the buffer is still empty.
  const std::vector<char> empty;
  EXPECT_EQ(NameFromBuffer(empty.data(), empty.size()), "");
  EXPECT_EQ(NameFromBuffer(nullptr, 0), "");
}

}  // namespace
}  // namespace pellux
