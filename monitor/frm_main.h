// The main form: the program's start-up object and its only long-lived one.
// It owns the address currently reported, the poll interval and the history
// of addresses, which the other windows read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/forms.h"
#include "monitor/poll_timer.h"
#include "net/module1.h"
#include "tray/tray_icon.h"
#include "ui/popup_menu.h"
#include "ui/settings.h"

namespace pellux {

// Where the poll interval is stored.
inline constexpr std::string_view kSettingsApp = "Pellux";
inline constexpr std::string_view kSettingsSection = "Options";
inline constexpr std::string_view kIntervalKey = "Interval";

inline constexpr int16_t kDefaultInterval = 5000;

// The poll interval for a stored value: its whole decimal number of
// milliseconds from 1 to 32767, blanks around it allowed. Anything else —
// missing, 0, negative, fractional, too large, not a number — gives the
// default.
int16_t IntervalFromSetting(const std::optional<std::string>& stored);

// The tip of the tray icon: this prefix, then the address.
inline constexpr std::string_view kTrayTipPrefix = "Pellux: ";

// The addresses seen while the program runs, oldest first. Counts and indexes
// are 16-bit, so it holds at most 32767 items; once full it takes no more.
class AddressHistory {
 public:
  static constexpr int16_t kMaxItems = INT16_MAX;

  int16_t ListCount() const { return static_cast<int16_t>(items_.size()); }
  const std::string& List(int16_t index) const { return items_[static_cast<std::size_t>(index)]; }
  const std::vector<std::string>& Items() const { return items_; }

  // False when the history is full and the item was not added.
  bool AddItem(std::string item);

 private:
  std::vector<std::string> items_;
};

// What the main window delivers to its form: the poll timer's ticks, the
// tray icon's two events, and the entry chosen from a command menu that the
// tray shows by itself or that comes from outside the program.
class MainFormEvents {
 public:
  virtual ~MainFormEvents() = default;
  virtual void Timer1_Timer() = 0;
  // Activation of the icon; the argument the icon passes is not read.
  virtual void Trayicon1_Activate() = 0;
  // A mouse button on the icon: 1 left, 2 right, 4 middle.
  virtual void Trayicon1_MouseButton(int button) = 0;
  // An entry of the command menu, by name ("mnuExit"), chosen from a menu
  // that the tray showed by itself, or asked for from outside: a second start
  // of the program asks for "mnuGetIP", a request to close it (an installer
  // replacing it, the system) is "mnuExit". Separators and unknown names do
  // nothing.
  virtual void mnuMain_Click(std::string_view entry) = 0;
};

// What the main form works with.
struct MainFormServices {
  Module1& module1;
  SettingsStore& settings;
  TrayIcon& tray;
  PollTimer& timer;
  MessageBoxes& messages;
  PopupMenus& menus;
  Forms& forms;
  Process& process;
};

class frmMain final : public MainFormEvents {
 public:
  explicit frmMain(const MainFormServices& services) : services_(services) {}

  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Read by the other forms.
  std::string YourIP;
  int16_t TimerInterval = kDefaultInterval;
  AddressHistory lstIPs;

  // Runs once at start: interval, sockets, address, tip, timer.
  void Form_Load();

  // The poll cycle. A tick that arrives while an earlier cycle is still
  // running (a message box of it is open) is skipped.
  void Timer1_Timer() override;

  // Activation opens the information window; the right button pops up
  // the command menu, other buttons do nothing.
  void Trayicon1_Activate() override;
  void Trayicon1_MouseButton(int button) override;
  void mnuMain_Click(std::string_view entry) override;

  // The command menu.
  void mnuGetIP_Click();
  void mnuRecent_Click();
  void mnuConfigure_Click();
  void mnuExit_Click();

 private:
  void ShowTip();

  MainFormServices services_;
  std::string previous_address_;
  // The tray tip is built here; kept from cycle to cycle, so that once it is
  // long enough a cycle allocates nothing for it.
  std::string tip_;
  bool polling_ = false;
};

}  // namespace pellux
