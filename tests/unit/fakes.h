// Scripted stand-ins for the platform seams, shared by the unit tests.
#pragma once

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "monitor/frm_main.h"
#include "net/computer_name.h"
#include "net/network_identity.h"
#include "net/sockets.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "settings/settings.h"
#include "ui/form_view.h"

namespace pellux::testing {

// Parses "a.b.c.d" into four bytes.
inline Ipv4Address Bytes(const std::string& dotted) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
  return {static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c),
          static_cast<uint8_t>(d)};
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
  std::vector<Ipv4Address> addresses;

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

  bool gethostbyname(const char* name, std::vector<Ipv4Address>& out) override {
    ++lookups;
    names_resolved.emplace_back(name);
    if (!resolves) return false;
    out = addresses;
    return true;
  }

  uint16_t requested_version = 0;
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
  int brought_forward = 0;
  // Runs while a box is open, as a nested message loop would.
  std::function<void()> while_open;

  void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
    shown.push_back({text, title, icon});
    ++open;
    most_open = std::max(most_open, open);
    if (while_open) while_open();
    --open;
  }
  void BringForward() override { ++brought_forward; }

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

// The main form's tray icon and poll timer: the tips it showed, the timer it
// runs and the menus it popped up (and where), choosing what the test
// scripted.
class FakeTray final : public TrayIcon, public PollTimer {
 public:
  std::vector<std::string> tips;
  std::optional<uint32_t> interval_ms;
  std::optional<ControlId> choice;
  std::vector<std::vector<MenuItemDesign>> menus;
  std::vector<std::optional<ScreenPoint>> places;
  int open = 0;
  int most_open = 0;
  // Runs while a menu is open, as its loop would.
  std::function<void()> while_open;

  void Show() override {}
  void Hide() override {}
  void SetTip(const std::string& tip) override { tips.push_back(tip); }
  void StartTimer(uint32_t interval) override { interval_ms = interval; }
  std::optional<ControlId> PopupMenu(std::span<const MenuItemDesign> items,
                                     std::optional<ScreenPoint> place) override {
    menus.emplace_back(items.begin(), items.end());
    places.push_back(place);
    ++open;
    most_open = std::max(most_open, open);
    if (while_open) while_open();
    --open;
    return choice;
  }
};

// A screen in pixels at some DPI, with a taskbar, and the outer size of a
// window on it.
struct FakeScreen {
  int width = 1024;
  int height = 768;
  int dpi = 96;
  std::optional<PixelRect> taskbar = PixelRect{0, 738, 1024, 768};
  int window_width = 236;
  int window_height = 148;
  bool taskbar_answers = true;  // false: asking where the taskbar is fails
};

// A form's window built from its design table: what its controls show, and
// a log of what was done to it. It stands at the screen's top left until it
// is moved.
class FakeFormView final : public FormView {
 public:
  // `log`, when given, records "load <form>", "front <form>" and
  // "unload <form>".
  explicit FakeFormView(Form& form, std::vector<std::string>* log = nullptr)
      : form_(form), log_(log) {
    form.Bind(*this);
  }

  FakeScreen screen;
  int loads = 0;
  int unloads = 0;
  std::string caption;
  std::map<std::string, std::string> texts;
  std::map<std::string, bool> visible;
  std::vector<ListItemDesign> items;  // the drop-down list's
  int index = -1;
  std::vector<std::string> flattened;
  TwipsRect frame;
  std::vector<std::pair<double, double>> moves;  // the corners asked for, twips
  std::vector<std::string> calls;                // what changed, in order
  int shows = 0;

  void Show() override {
    ++shows;
    Log(loaded_ ? "front " : "load ");
    if (loaded_) return;
    loaded_ = true;
    ++loads;
    texts.clear();
    items.clear();
    index = -1;
    for (const auto& control : form_.design().controls) {
      const std::string name(control.name);
      texts[name] = control.caption;
      visible[name] = !control.Has(control_flags::kHidden);
      items.insert(items.end(), control.items.begin(), control.items.end());
    }
    frame = {0, 0, Twips(screen.window_width), Twips(screen.window_height)};
    form_.Load();
  }
  void Unload() override {
    if (!loaded_) return;
    Log("unload ");
    loaded_ = false;
    ++unloads;
  }
  bool loaded() const override { return loaded_; }

  void SetCaption(std::string_view text) override { caption = text; }
  // The logs and maps name each control as its design table does.
  std::string Name(ControlId control) const { return std::string(form_.design()[control].name); }
  std::string Text(ControlId control) const override {
    if (form_.design()[control].kind == ControlKind::kDropDownList) {
      return index < 0 ? "" : std::string(items[static_cast<std::size_t>(index)].caption);
    }
    return texts.at(Name(control));
  }
  void SetText(ControlId control, std::string_view text) override {
    calls.push_back("text " + Name(control));
    texts[Name(control)] = text;
  }
  void SetVisible(ControlId control, bool show) override {
    calls.push_back((show ? "show " : "hide ") + Name(control));
    visible[Name(control)] = show;
  }
  void SelectItemData(ControlId, int32_t data) override {
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i].data == data) {
        index = static_cast<int>(i);
        return;
      }
    }
  }
  std::optional<int32_t> SelectedItemData(ControlId) const override {
    if (index < 0) return std::nullopt;
    return items[static_cast<std::size_t>(index)].data;
  }
  void FlattenButton(ControlId control) override { flattened.push_back(Name(control)); }

  int dpi() const override { return screen.dpi; }
  TwipsRect Frame() const override { return frame; }
  TwipsRect Screen() const override { return {0, 0, Twips(screen.width), Twips(screen.height)}; }
  TwipsRect WorkArea() const override {
    // The screen less a taskbar along one of its edges.
    TwipsRect work = Screen();
    if (!screen.taskbar) return work;
    const PixelRect& bar = *screen.taskbar;
    if (bar.width() < screen.width) {
      if (bar.left <= 0) {
        work.left = Twips(bar.right);
      } else {
        work.right = Twips(bar.left);
      }
    } else if (bar.top <= 0) {
      work.top = Twips(bar.bottom);
    } else {
      work.bottom = Twips(bar.top);
    }
    return work;
  }
  std::optional<PixelRect> TaskbarRect() const override {
    return screen.taskbar_answers ? screen.taskbar : std::nullopt;
  }
  void Move(double x, double y, Corner corner) override {
    moves.emplace_back(x, y);
    const double width = frame.width();
    const double height = frame.height();
    if (corner == Corner::kBottomRight) {
      x -= width;
      y -= height;
    }
    frame = {x, y, x + width, y + height};
  }

  // Where the window's edges are on the screen, in pixels.
  int Left() const { return TwipsToPixels(frame.left, screen.dpi); }
  int Top() const { return TwipsToPixels(frame.top, screen.dpi); }
  int Right() const { return TwipsToPixels(frame.right, screen.dpi); }
  int Bottom() const { return TwipsToPixels(frame.bottom, screen.dpi); }

 private:
  double Twips(int pixels) const { return PixelsToTwips(pixels, screen.dpi); }
  void Log(const std::string& what) {
    if (log_ != nullptr) log_->push_back(what + std::string(form_.design().name));
  }

  Form& form_;
  std::vector<std::string>* log_;
  bool loaded_ = false;
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

// A form that stands for one the main form opens.
class StandInForm final : public Form {
 public:
  explicit StandInForm(const FormDesign& design) : Form(design) {}
  void Form_Load() override {}
  void Click(ControlId) override {}
};

inline constexpr FormDesign kStandInInfo{.name = "frmInfo"};
inline constexpr FormDesign kStandInConfig{.name = "frmConfig"};

// The main form over fakes of all its seams: what the other forms' tests
// start from.
struct MainFormFakes {
  FakeSockets sockets;
  FakeComputerName computer;
  FakeMessages messages;
  FakeProcess process;
  FakeSettings settings;
  FakeTray tray;
  std::vector<std::string> forms;  // what was done to the other forms' windows
  StandInForm info_form{kStandInInfo};
  StandInForm config_form{kStandInConfig};
  FakeFormView info{info_form, &forms};
  FakeFormView config{config_form, &forms};
  Module1 module1{sockets, computer, messages, process};
  frmMain main{{module1, settings, messages, process, tray, tray, info, config}};
};

// The whole program of either front end (its App) on its real windows,
// over fakes of the platform seams.
template <class Program>
struct ProgramOnFakes {
  FakeSockets sockets;
  FakeComputerName computer;
  FakeMessages messages;
  FakeSettings settings;
  FakeClipboard clipboard;
  FakeProcess process;
  Program app{{sockets, computer, messages, settings, clipboard, process}};
};

// The same with the system's own message boxes, which are real windows that
// run loops of their own.
template <class Program>
struct ProgramWithRealBoxes {
  FakeSockets sockets;
  FakeComputerName computer;
  std::unique_ptr<MessageBoxes> boxes = MakeSystemMessageBoxes();
  FakeSettings settings;
  FakeClipboard clipboard;
  FakeProcess process;
  Program app{{sockets, computer, *boxes, settings, clipboard, process}};
};

}  // namespace pellux::testing
