// Long runs of the poll cycle: a resolver that keeps changing its answer and
// fails now and then, for as many cycles as days of polling would bring, and
// a lookup that keeps failing while the user leaves its message box open.
#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <random>
#include <set>

#include "monitor/frm_main.h"
#include "tests/unit/fakes.h"

#if defined(__SANITIZE_ADDRESS__)
#define PELLUX_HEAP_FIGURES_FROM_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELLUX_HEAP_FIGURES_FROM_ASAN 1
#endif
#endif

#if defined(PELLUX_HEAP_FIGURES_FROM_ASAN)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace pellux {
namespace {

using testing::FakeSockets;

// Bytes the allocator has handed out and not had back, where the platform
// tells: AddressSanitizer's own count (freed blocks waiting in its quarantine
// are not in it), or glibc's.
std::optional<std::size_t> LiveHeapBytes() {
#if defined(PELLUX_HEAP_FIGURES_FROM_ASAN)
  return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
  return mallinfo2().uordblks;
#else
  return std::nullopt;
#endif
}

// The main form with every seam a fake, as the program wires it.
struct Monitor : testing::MainFormFakes {
  frmMain& form = main;

  // The fakes record every call; a long run keeps only what it checks.
  void ForgetRecords() {
    sockets.hostname_sizes.clear();
    sockets.names_resolved.clear();
    messages.shown.clear();
    tray.tips.clear();
  }
};

const std::vector<std::string> kAddresses = {"10.0.0.1", "192.168.0.5", "172.16.4.20"};

// What the resolver does at one cycle of the soak.
enum class Answer { kAddress, kTwoAddresses, kNoAddress, kResolverFails, kHostNameFails };

struct Step {
  Answer answer;
  std::string address;  // the address the cycle should report
};

// Mostly a different address at every cycle, so the history fills early;
// about one cycle in sixteen something else.
Step ScriptedStep(long cycle, std::minstd_rand& random) {
  const std::string& next = kAddresses[static_cast<std::size_t>(cycle) % kAddresses.size()];
  switch (random() % 64) {
    case 0:
    case 1:
      return {Answer::kNoAddress, ""};
    case 2:
    case 3:
      return {Answer::kResolverFails, ""};
    case 4:
      return {Answer::kHostNameFails, ""};
    default:
      return {random() % 8 == 0 ? Answer::kTwoAddresses : Answer::kAddress, next};
  }
}

void Script(FakeSockets& sockets, const Step& step) {
  sockets.hostname_result = step.answer == Answer::kHostNameFails ? -1 : 0;
  sockets.last_error = 10093;
  switch (step.answer) {
    case Answer::kAddress:
      sockets.SetAddresses({step.address});
      break;
    case Answer::kTwoAddresses:
      sockets.SetAddresses({"127.0.0.1", step.address});
      break;
    case Answer::kNoAddress:
      sockets.SetAddresses({});
      break;
    case Answer::kResolverFails:
    case Answer::kHostNameFails:
      sockets.resolves = false;
      break;
  }
}

TEST(SoakTest, HundredThousandCyclesOfAFlappingResolver) {
  constexpr long kCycles = 100000;
  constexpr long kHalfway = kCycles / 2;
  // Loose on purpose: growth of a few blocks is not a leak, growth with the
  // number of cycles is (50,000 cycles leaking one small string each would
  // be well over a megabyte).
  constexpr std::size_t kSlackBytes = 64 * 1024;

  Monitor m;
  std::minstd_rand random(20240601);
  long failures = 0;
  long ticks_during_boxes = 0;
  // Some boxes stay open across ticks: their modal loop delivers them.
  m.messages.while_open = [&] {
    const auto nested = random() % 3;
    for (unsigned i = 0; i < nested; ++i) {
      ++ticks_during_boxes;
      m.form.Timer1_Timer();
    }
  };

  m.sockets.SetAddresses({kAddresses[0]});
  m.form.Form_Load();
  const int startups_at_load = m.sockets.startups;
  m.ForgetRecords();

  std::optional<std::size_t> heap_halfway;
  std::string first_item;
  std::string last_item;
  for (long cycle = 1; cycle <= kCycles; ++cycle) {
    const Step step = ScriptedStep(cycle, random);
    Script(m.sockets, step);
    m.form.Timer1_Timer();

    ASSERT_EQ(m.form.YourIP, step.address) << "cycle " << cycle;
    ASSERT_EQ(m.tray.tips.size(), 1u) << "cycle " << cycle;
    ASSERT_EQ(m.tray.tips.back(), "Pellux: " + step.address) << "cycle " << cycle;
    const bool fails =
        step.answer == Answer::kResolverFails || step.answer == Answer::kHostNameFails;
    ASSERT_EQ(m.messages.shown.size(), fails ? 1u : 0u) << "cycle " << cycle;
    failures += fails ? 1 : 0;
    ASSERT_FALSE(m.process.exit_code.has_value());
    m.ForgetRecords();

    if (cycle == kHalfway) {
      ASSERT_EQ(m.form.lstIPs.ListCount(), AddressHistory::kMaxItems);
      first_item = m.form.lstIPs.List(0);
      last_item = m.form.lstIPs.List(AddressHistory::kMaxItems - 1);
      heap_halfway = LiveHeapBytes();
    }
  }

  // Boxes never stacked, and every tick that came while one was open was
  // left out: no sockets start-up, no lookup, no box of its own.
  EXPECT_EQ(m.messages.most_open, 1);
  EXPECT_GT(ticks_during_boxes, 0);
  EXPECT_EQ(m.sockets.startups - startups_at_load, kCycles);
  EXPECT_GT(failures, 0);

  // The history stopped at its bound and took nothing after that.
  const AddressHistory& history = m.form.lstIPs;
  ASSERT_EQ(history.ListCount(), AddressHistory::kMaxItems);
  EXPECT_EQ(history.List(0), first_item);
  EXPECT_EQ(history.List(AddressHistory::kMaxItems - 1), last_item);
  std::set<std::string> allowed(kAddresses.begin(), kAddresses.end());
  allowed.insert("");
  for (int16_t i = 0; i < history.ListCount(); ++i) {
    ASSERT_TRUE(allowed.contains(history.List(i))) << i;
    if (i > 0) {
      ASSERT_NE(history.List(i), history.List(static_cast<int16_t>(i - 1))) << i;
    }
  }

  // With the history full, the second half of the run holds no more memory
  // than the first.
  const auto heap_at_end = LiveHeapBytes();
  if (heap_halfway && heap_at_end) {
    EXPECT_LE(*heap_at_end, *heap_halfway + kSlackBytes)
        << "live heap grew from " << *heap_halfway << " to " << *heap_at_end << " bytes";
  }
}

// Ten minutes of one-second ticks while the lookup fails. Each failure shows
// a box; the user leaves it open for a while, and all that time its modal
// loop goes on delivering ticks.
struct LongFailureCase {
  const char* name;
  Answer failure;
  int seconds_open;  // how long the user leaves each box open
  int boxes;         // one a tick that found no box open
};

TEST(LongFailureTest, AtMostOneBoxOpenAtAnyMoment) {
  constexpr int kSeconds = 600;
  const LongFailureCase cases[] = {
      {"resolver, closed at once", Answer::kResolverFails, 0, 600},
      {"resolver, open 5 s", Answer::kResolverFails, 5, 100},
      {"resolver, open 59 s", Answer::kResolverFails, 59, 10},
      {"resolver, never closed", Answer::kResolverFails, kSeconds, 1},
      {"host name, open 1 s", Answer::kHostNameFails, 1, 300},
      {"host name, never closed", Answer::kHostNameFails, kSeconds, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Monitor m;
    m.sockets.SetAddresses({kAddresses[1]});
    m.form.Form_Load();
    Script(m.sockets, {c.failure, ""});

    int now = 0;  // seconds since the lookup began to fail
    int nested_ticks = 0;
    m.messages.while_open = [&] {
      for (int open = 0; open < c.seconds_open && now < kSeconds; ++open) {
        ++now;
        ++nested_ticks;
        m.form.Timer1_Timer();
      }
    };
    while (now < kSeconds) {
      ++now;
      m.form.Timer1_Timer();
    }

    EXPECT_EQ(m.messages.most_open, 1);
    EXPECT_EQ(static_cast<int>(m.messages.shown.size()), c.boxes);
    EXPECT_EQ(nested_ticks, kSeconds - c.boxes);
    // Only the ticks that showed a box looked anything up.
    EXPECT_EQ(m.sockets.startups, 1 + c.boxes);
    EXPECT_EQ(m.form.YourIP, "");

    // The lookup works again: the next tick finds the address, so polling
    // did not stay switched off after so many skipped ticks.
    m.messages.while_open = nullptr;
    Script(m.sockets, {Answer::kAddress, kAddresses[2]});
    m.form.Timer1_Timer();
    EXPECT_EQ(m.form.YourIP, kAddresses[2]);
    EXPECT_EQ(m.tray.tips.back(), "Pellux: " + kAddresses[2]);
  }
}

}  // namespace
}  // namespace pellux
