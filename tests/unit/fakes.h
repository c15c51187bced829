// Scripted stand-ins for the platform seams, shared by the unit tests.
#pragma once

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "config/program_version.h"
#include "config/taskbar.h"
#include "monitor/forms.h"
#include "monitor/frm_main.h"
#include "monitor/poll_timer.h"
#include "net/computer_name.h"
#include "net/module1.h"
#include "net/sockets.h"
#include "tray/tray_icon.h"
#include "ui/clipboard.h"
#include "ui/message_box.h"
#include "ui/popup_menu.h"
#include "ui/process.h"
#include "settings/settings.h"

namespace pellux::testing {

// Parses "a.b.c.d" into four bytes.
inline std::vector<char> Bytes(const std::string& dotted) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
  return {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c), static_cast<char>(d)};
}

class FakeSockets final : public Sockets {
 public:
  // Scripted answers.
  int startup_result = 0;
  uint16_t version = 0x0101;
  int hostname_result = 0;
  std::string host_name = "workstation7";
  int last_error = 0;
  bool resolves = true;
  int16_t h_length = 4;
  std::vector<std::vector<char>> addresses;

  // What happened.
  int startups = 0;
  int lookups = 0;
  int error_queries = 0;
  std::vector<int> hostname_sizes;
  std::vector<std::string> names_resolved;

  void SetAddresses(const std::vector<std::string>& dotted) {
    resolves = true;
    addresses.clear();
    for (const auto& text : dotted) addresses.push_back(Bytes(text));
  }

  int WSAStartup(uint16_t requested, uint16_t& out) override {
    ++startups;
    requested_version = requested;
    if (startup_result == 0) out = version;
    return startup_result;
  }

  int gethostname(char* name, int size) override {
    hostname_sizes.push_back(size);
    if (hostname_result != 0) return hostname_result;
    const std::size_t n = std::min(host_name.size(), static_cast<std::size_t>(size));
    host_name.copy(name, n);
    if (n < static_cast<std::size_t>(size)) name[n] = '\0';
    return 0;
  }

  int WSAGetLastError() override {
    ++error_queries;
    return last_error;
  }

  const HostEntry* gethostbyname(const char* name) override {
    ++lookups;
    names_resolved.emplace_back(name);
    if (!resolves) return nullptr;
    storage_ = addresses;
    list_.clear();
    for (auto& bytes : storage_) list_.push_back(bytes.data());
    list_.push_back(nullptr);
    entry_ = HostEntry{2, h_length, list_.data()};
    return &entry_;
  }

  uint16_t requested_version = 0;

 private:
  std::vector<std::vector<char>> storage_;
  std::vector<char*> list_;
  HostEntry entry_;
};

class FakeComputerName final : public ComputerName {
 public:
  std::optional<std::string> name = "PC01";  // nothing: the call fails untouched
  std::vector<uint32_t> sizes;

  bool GetComputerNameA(char* buffer, uint32_t& size) override {
    sizes.push_back(size);
    // Like Windows, a name that does not fit with its NUL leaves the buffer
    // alone.
    if (!name || name->size() >= size) return false;
    name->copy(buffer, name->size());
    buffer[name->size()] = '\0';
    size = static_cast<uint32_t>(name->size());
    return true;
  }
};

class FakeMessages final : public MessageBoxes {
 public:
  struct Box {
    std::string text;
    std::string title;
    MessageIcon icon;
    friend bool operator==(const Box&, const Box&) = default;
  };
  std::vector<Box> shown;
  int open = 0;
  int most_open = 0;
  // Runs while a box is open, as a nested message loop would.
  std::function<void()> while_open;

  void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
    shown.push_back({text, title, icon});
    ++open;
    most_open = std::max(most_open, open);
    if (while_open) while_open();
    --open;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : shown) texts.push_back(box.text);
    return texts;
  }
};

class FakeProcess final : public Process {
 public:
  std::optional<int> exit_code;
  void EndProgram(int code) override { exit_code = code; }
};

class FakeSettings final : public SettingsStore {
 public:
  using Key = std::tuple<std::string, std::string, std::string>;
  std::map<Key, std::string> values;
  bool writable = true;
  int reads = 0;
  int writes = 0;

  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override {
    ++reads;
    const auto found = values.find(Key(app, section, key));
    if (found == values.end()) return std::nullopt;
    return found->second;
  }

  bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override {
    ++writes;
    if (!writable) return false;
    values[Key(app, section, key)] = std::string(value);
    return true;
  }
};

class FakeTray final : public TrayIcon {
 public:
  std::vector<std::string> tips;
  void SetTip(const std::string& tip) override { tips.push_back(tip); }
};

class FakeTimer final : public PollTimer {
 public:
  std::optional<uint32_t> interval_ms;
  void Arm(uint32_t interval) override { interval_ms = interval; }
};

// A menu that records what it offered and chooses what the test scripted.
class FakeMenus final : public PopupMenus {
 public:
  std::optional<std::string> choice;
  std::vector<std::vector<MenuItemDesign>> shown;

  std::optional<std::string_view> Popup(std::span<const MenuItemDesign> items) override {
    shown.emplace_back(items.begin(), items.end());
    if (!choice) return std::nullopt;
    for (const auto& item : items) {
      if (item.name == *choice) return item.name;
    }
    return std::nullopt;
  }
};

// The program's windows as a list of loaded forms, with a log of what was
// done to them.
class FakeForms final : public Forms {
 public:
  std::vector<FormId> loaded{FormId::kMain};
  std::vector<std::string> log;

  void Show(FormId form) override {
    if (std::find(loaded.begin(), loaded.end(), form) == loaded.end()) {
      loaded.push_back(form);
      log.push_back("load " + Name(form));
    } else {
      log.push_back("front " + Name(form));
    }
  }
  std::vector<FormId> Loaded() const override { return loaded; }
  void Unload(FormId form) override {
    std::erase(loaded, form);
    log.push_back("unload " + Name(form));
  }

  static std::string Name(FormId form) {
    switch (form) {
      case FormId::kMain:
        return "frmMain";
      case FormId::kInfo:
        return "frmInfo";
      case FormId::kConfig:
        return "frmConfig";
    }
    return "?";
  }
};

// The shell's taskbar query: fills in the scripted rectangle, or leaves the
// record alone as a failed query does.
class FakeAppBar final : public AppBar {
 public:
  struct Rect {
    int32_t left, top, right, bottom;
  };
  std::optional<Rect> taskbar;  // nothing: the query fails
  std::vector<uint32_t> messages;
  std::vector<uint32_t> sizes;  // cbSize as each query found it

  uint32_t SHAppBarMessage(uint32_t message, AppBarData& data) override {
    messages.push_back(message);
    sizes.push_back(data.cbSize);
    if (!taskbar) return 0;
    data.rc.left = taskbar->left;
    data.rc.top = taskbar->top;
    data.rc.right = taskbar->right;
    data.rc.bottom = taskbar->bottom;
    return 1;
  }
};

class FakeVersion final : public ProgramVersion {
 public:
  std::optional<VersionNumbers> numbers = VersionNumbers{1, 11};
  std::optional<VersionNumbers> Numbers() override { return numbers; }
};

class FakeClipboard final : public Clipboard {
 public:
  ClipboardResult result = ClipboardResult::kCopied;  // scripted
  std::optional<std::string> text;                    // what the clipboard holds
  std::vector<std::string> attempts;                  // every text offered

  ClipboardResult ReplaceWithText(std::string_view offered) override {
    attempts.emplace_back(offered);
    if (result == ClipboardResult::kCopied) text = std::string(offered);
    return result;
  }
};

// The main form over fakes of all its seams: what the other forms' tests
// start from.
struct MainFormFakes {
  FakeSockets sockets;
  FakeComputerName computer;
  FakeMessages messages;
  FakeProcess process;
  FakeSettings settings;
  FakeTray tray;
  FakeTimer timer;
  FakeMenus menus;
  FakeForms forms;
  Module1 module1{sockets, computer, messages, process};
  frmMain main{{module1, settings, tray, timer, messages, menus, forms, process}};
};

// The whole program of either front end (its App) on its real windows,
// over fakes of the platform seams.
template <class Program>
struct ProgramOnFakes {
  FakeSockets sockets;
  FakeComputerName computer;
  FakeMessages messages;
  FakeSettings settings;
  FakeProcess process;
  Program app{{sockets, computer, messages, settings, process}};
};

}  // namespace pellux::testing
