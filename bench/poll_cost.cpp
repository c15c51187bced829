// The poll cycle with the platform's real sockets, to be counted by
// callgrind: frmMain::Timer1_Timer runs a given number of times (10,000 by
// default) against the POSIX sockets binding. Every call into the binding
// goes through MeasuredSockets, whose functions callgrind reports on their
// own, so bench/run.sh can tell the resolver's share of a cycle from the
// program's own work.
//
// Usage: poll_cost [cycles]
// Prints the address it found, the number of cycles and the history length.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "monitor/frm_main.h"
#include "net/system_sockets.h"

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
  [[gnu::noinline]] const HostEntry* gethostbyname(const char* name) override {
    return real_.gethostbyname(name);
  }

 private:
  Sockets& real_;
};

// The other seams do as little as their real counterparts ask of the
// program: the tray keeps the tip, a message is counted, nothing else.
class KeptTip final : public TrayIcon {
 public:
  void SetTip(const std::string& tip) override { tip_ = tip; }

 private:
  std::string tip_;
};

class CountedMessages final : public MessageBoxes {
 public:
  int shown = 0;
  void Show(const std::string&, const std::string&, MessageIcon) override { ++shown; }
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

class IdleTimer final : public PollTimer {
 public:
  void Arm(uint32_t) override {}
};

class NoMenus final : public PopupMenus {
 public:
  std::optional<std::string_view> Popup(std::span<const MenuItemDesign>) override {
    return std::nullopt;
  }
};

class NoForms final : public Forms {
 public:
  void Show(FormId) override {}
  std::vector<FormId> Loaded() const override { return {FormId::kMain}; }
  void Unload(FormId) override {}
};

class ExitProcess final : public Process {
 public:
  void EndProgram(int exit_code) override { std::exit(exit_code); }
};

int Run(long cycles) {
  const auto system_sockets = MakeSystemSockets();
  const auto computer = MakeSystemComputerName();
  MeasuredSockets sockets(*system_sockets);
  CountedMessages messages;
  ExitProcess process;
  NoSettings settings;
  KeptTip tray;
  IdleTimer timer;
  NoMenus menus;
  NoForms forms;
  Module1 module1(sockets, *computer, messages, process);
  frmMain form({module1, settings, tray, timer, messages, menus, forms, process});

  form.Form_Load();
  for (long i = 0; i < cycles; ++i) form.Timer1_Timer();

  std::printf("address %s\ncycles %ld\nhistory %d\nmessages %d\n", form.YourIP.c_str(), cycles,
              form.lstIPs.ListCount(), messages.shown);
  return messages.shown == 0 ? 0 : 1;
}

}  // namespace
}  // namespace pellux::bench

int main(int argc, char** argv) {
  const long cycles = argc > 1 ? std::atol(argv[1]) : 10000;
  return pellux::bench::Run(cycles);
}
