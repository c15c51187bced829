// The main form: the program's start-up object and its only long-lived one.
// It owns the address currently reported, the poll interval and the history
// of addresses, which the other windows read.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "net/network_identity.h"
#include "settings/settings.h"
#include "tray/tray_icon.h"
#include "ui/form_view.h"

namespace pellux {

inline constexpr int16_t kDefaultInterval = 5000;

// The poll interval for a stored value: its whole decimal number of
// milliseconds from 1 to 32767, blanks around it allowed. Anything else —
// missing, 0, negative, fractional, too large, not a number — gives the
// default.
int16_t IntervalFromSetting(const std::optional<std::string>& stored);

// The user's stored poll interval, read and saved as its decimal number;
// SaveInterval is false when the value could not be stored.
int16_t ReadInterval(SettingsStore& settings);
bool SaveInterval(SettingsStore& settings, int16_t interval);

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

// The entries under mnuMain ("&Main"), in order.
#define PELLUX_MAIN_MENU(X) X(mnuGetIP) X(sep1) X(mnuRecent) X(mnuConfigure) X(sep2) X(mnuExit)
enum class MainMenu { PELLUX_MAIN_MENU(PELLUX_ENUMERATOR) };

inline constexpr MenuItemDesign kMainMenu[] = {
    {"mnuGetIP", "&Get IP"},        {"sep1", "-"}, {"mnuRecent", "&Recent IPs"},
    {"mnuConfigure", "&Configure"}, {"sep2", "-"}, {"mnuExit", "E&xit"},
};
static_assert(NamesMatch(kMainMenu, {PELLUX_MAIN_MENU(PELLUX_NAME_OF)}));

// The text of the history report: a heading, an empty line, then every
// address of the history, oldest first, each followed by a line break.
std::string HistoryReport(std::span<const std::string> history);

// The poll timer, whose ticks reach Timer1_Timer.
class PollTimer {
 public:
  virtual ~PollTimer() = default;
  // Starts (or restarts) periodic ticks every `interval_ms` milliseconds.
  virtual void StartTimer(uint32_t interval_ms) = 0;
};

// What the main form works with.
struct MainFormServices {
  Module1& module1;
  SettingsStore& settings;
  MessageBoxes& messages;
  Process& process;
  TrayIcon& tray;
  PollTimer& timer;
  // The other forms' windows, which the menu opens.
  FormView& info;
  FormView& config;
};

// The poll timer's ticks and the tray icon's events.
class MainFormEvents : public TrayEvents {
 public:
  virtual void Timer1_Timer() = 0;
};

class frmMain final : public MainFormEvents {
 public:
  explicit frmMain(const MainFormServices& services) : services_(services) {}

  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Read by the other forms. lstIPs is the history itself, not a list box.
  std::string YourIP;
  int16_t TimerInterval = kDefaultInterval;
  AddressHistory lstIPs;

  // Runs once at start: interval, sockets, address, tip, timer.
  void Form_Load();

  // The poll cycle. A tick that arrives while an earlier cycle is still
  // running (a message box of it is open) is skipped.
  void Timer1_Timer() override;

  // Activation opens the information window; the right button pops up the
  // command menu, unless it is open already: the open one holds the pointer
  // and the keys, and another would only nest in its loop.
  void Trayicon1_Activate() override;
  void Trayicon1_MouseButton(int button, std::optional<ScreenPoint> menu_place) override;
  void mnuMain_Click(ControlId entry) override;

  // The command menu. Asked for again while its box is open, the history
  // report brings that box forward rather than stacking a second one.
  void mnuGetIP_Click();
  void mnuRecent_Click();
  void mnuConfigure_Click();
  // Unloads the other forms and ends the program.
  void mnuExit_Click();

 private:
  void ShowTip();

  MainFormServices services_;
  std::string previous_address_;
  // Kept from cycle to cycle, so that a cycle allocates nothing for the tip.
  std::string tip_;
  // Each set while its own modal loop runs: a poll cycle's box, the command
  // menu, the history report's box. Loops of different kinds may nest (the
  // menu over the report), never two of one kind.
  bool polling_ = false;
  bool menu_open_ = false;
  bool report_open_ = false;
};

// The handler each entry of the command menu runs.
inline constexpr ClickHandler<frmMain, MainMenu> kMainMenuHandlers[] = {
    {MainMenu::mnuGetIP, &frmMain::mnuGetIP_Click},
    {MainMenu::mnuRecent, &frmMain::mnuRecent_Click},
    {MainMenu::mnuConfigure, &frmMain::mnuConfigure_Click},
    {MainMenu::mnuExit, &frmMain::mnuExit_Click},
};

}  // namespace pellux
