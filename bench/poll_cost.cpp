// The poll cycle with the platform's real sockets, to be counted by
// callgrind: frmMain::Timer1_Timer runs a given number of times (10,000 by
// default) against the POSIX sockets binding. Every call into the binding
// goes through MeasuredSockets, whose functions callgrind reports on their
// own, so bench/run.sh can tell the resolver's share of a cycle from the
// program's own work.
//
// Usage: poll_cost [--canned] [cycles]
// --canned answers every sockets call at once with one fixed address instead, so that timing the
// run times the program's own work. Prints the address it found, the number of cycles, the history
// length and the nanoseconds a cycle took on average.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "monitor/frm_main.h"
#include "net/sockets.h"

namespace pellux::bench {
namespace {

// Passes every sockets call on to the real binding. Kept out of line so that
// each call shows up under these names.
class MeasuredSockets final : public Sockets {
 public:
  explicit MeasuredSockets(Sockets& real) : real_(real) {}

  [[gnu::noinline]] int WSAStartup(uint16_t requested, uint16_t& version) override {
    return real_.WSAStartup(requested, version);
  }
  [[gnu::noinline]] int gethostname(char* name, int size) override {
    return real_.gethostname(name, size);
  }
  [[gnu::noinline]] int WSAGetLastError() override { return real_.WSAGetLastError(); }
  [[gnu::noinline]] bool gethostbyname(const char* name,
                                       std::vector<Ipv4Address>& addresses) override {
    return real_.gethostbyname(name, addresses);
  }

 private:
  Sockets& real_;
};

// A resolver that answers at once: the address 192.0.2.2, which is what a
// real lookup would return on a quiet machine.
class CannedSockets final : public Sockets {
 public:
  int WSAStartup(uint16_t, uint16_t& version) override {
    version = 0x0101;
    return 0;
  }
  int gethostname(char* name, int size) override {
    if (size < 5) return -1;
    std::memcpy(name, "host", 5);
    return 0;
  }
  int WSAGetLastError() override { return 0; }
  bool gethostbyname(const char*, std::vector<Ipv4Address>& addresses) override {
    addresses.assign(1, {192, 0, 2, 2});
    return true;
  }
};

// The other seams do as little as their real counterparts ask of the
// program: the tray icon keeps the tip, a message is counted, nothing
// else.
class KeptTip final : public TrayIcon, public PollTimer {
 public:
  void Show() override {}
  void Hide() override {}
  void SetTip(const std::string& tip) override { tip_ = tip; }
  void StartTimer(uint32_t) override {}
  std::optional<ControlId> PopupMenu(std::span<const MenuItemDesign>,
                                     std::optional<ScreenPoint>) override {
    return std::nullopt;
  }

 private:
  std::string tip_;
};

// The windows of the other forms, which a poll cycle never opens.
class NoWindow final : public FormView {
 public:
  void Show() override {}
  void Unload() override {}
  bool loaded() const override { return false; }
  void SetCaption(std::string_view) override {}
  std::string Text(ControlId) const override { return {}; }
  void SetText(ControlId, std::string_view) override {}
  void SetVisible(ControlId, bool) override {}
  void SelectItemData(ControlId, int32_t) override {}
  std::optional<int32_t> SelectedItemData(ControlId) const override { return std::nullopt; }
  void FlattenButton(ControlId) override {}
  int dpi() const override { return 96; }
  TwipsRect Frame() const override { return {}; }
  TwipsRect Screen() const override { return {}; }
  TwipsRect WorkArea() const override { return {}; }
  std::optional<PixelRect> TaskbarRect() const override { return std::nullopt; }
  void Move(double, double, Corner) override {}
};

class CountedMessages final : public MessageBoxes {
 public:
  int shown = 0;
  void Show(const std::string&, const std::string&, MessageIcon) override { ++shown; }
  void BringForward() override {}
};

class NoSettings final : public SettingsStore {
 public:
  std::optional<std::string> GetSetting(std::string_view, std::string_view,
                                        std::string_view) override {
    return std::nullopt;
  }
  bool SaveSetting(std::string_view, std::string_view, std::string_view,
                   std::string_view) override {
    return false;
  }
};

class ExitProcess final : public Process {
 public:
  void EndProgram(int exit_code) override { std::exit(exit_code); }
};

int Run(bool canned, long cycles) {
  const auto system_sockets = MakeSystemSockets();
  const auto computer = MakeSystemComputerName();
  CannedSockets canned_sockets;
  MeasuredSockets sockets(canned ? canned_sockets : *system_sockets);
  CountedMessages messages;
  ExitProcess process;
  NoSettings settings;
  KeptTip window;
  NoWindow other_windows;
  Module1 module1(sockets, *computer, messages, process);
  frmMain form(
      {module1, settings, messages, process, window, window, other_windows, other_windows});

  form.Form_Load();
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < cycles; ++i) form.Timer1_Timer();
  const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;

  std::printf("address %s\ncycles %ld\nhistory %d\nmessages %d\nns-per-cycle %.1f\n",
              form.YourIP.c_str(), cycles, form.lstIPs.ListCount(), messages.shown,
              cycles > 0 ? elapsed.count() / static_cast<double>(cycles) : 0.0);
  return messages.shown == 0 ? 0 : 1;
}

}  // namespace
}  // namespace pellux::bench

int main(int argc, char** argv) {
  const bool canned = argc > 1 && std::strcmp(argv[1], "--canned") == 0;
  const int first = canned ? 2 : 1;
  const long cycles = argc > first ? std::atol(argv[first]) : 10000;
  return pellux::bench::Run(canned, cycles);
}
