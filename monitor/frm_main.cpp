#include "monitor/frm_main.h"

#include <charconv>

namespace pellux {
namespace {

// Where the poll interval is stored.
constexpr std::string_view kSettingsApp = "Pellux";
constexpr std::string_view kSettingsSection = "Options";
constexpr std::string_view kIntervalKey = "Interval";

// Holds a flag up for as long as it lives.
class FlagUp {
 public:
  explicit FlagUp(bool& flag) : flag_(flag) { flag_ = true; }
  FlagUp(const FlagUp&) = delete;
  FlagUp& operator=(const FlagUp&) = delete;
  ~FlagUp() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

int16_t IntervalFromSetting(const std::optional<std::string>& stored) {
  if (!stored) return kDefaultInterval;
  const std::string_view text = *stored;
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return kDefaultInterval;
  const char* const last = text.data() + text.find_last_not_of(' ') + 1;
  // from_chars stops quietly at the first character that is no digit, and
  // takes a minus sign, which the lower bound turns away.
  int16_t value = 0;
  const auto [end, error] = std::from_chars(text.data() + first, last, value);
  if (error != std::errc() || end != last || value < 1) return kDefaultInterval;
  return value;
}

int16_t ReadInterval(SettingsStore& settings) {
  return IntervalFromSetting(settings.GetSetting(kSettingsApp, kSettingsSection, kIntervalKey));
}

bool SaveInterval(SettingsStore& settings, int16_t interval) {
  return settings.SaveSetting(kSettingsApp, kSettingsSection, kIntervalKey,
                              std::to_string(interval));
}

std::string HistoryReport(std::span<const std::string> history) {
  std::string list = "\r\n";
  for (const auto& address : history) list += address + "\r\n";
  return "This is a list of all IPs used on this computer while Pellux was running:\r\n" + list;
}

bool AddressHistory::AddItem(std::string item) {
  if (items_.size() >= static_cast<std::size_t>(kMaxItems)) return false;
  items_.push_back(std::move(item));
  return true;
}

void frmMain::Form_Load() {
  TimerInterval = ReadInterval(services_.settings);
  if (!services_.module1.CheckSockets()) return;
  YourIP = services_.module1.LookupAddress(true);
  ShowTip();
  services_.timer.StartTimer(static_cast<uint32_t>(static_cast<int32_t>(TimerInterval)));
}

void frmMain::Timer1_Timer() {
  // A message box shown by a cycle runs its own message loop, which goes on
  // delivering ticks; running the cycle again from there would stack boxes.
  if (polling_) return;
  const FlagUp polling(polling_);

  if (!services_.module1.CheckSockets()) return;
  previous_address_ = YourIP;
  const int16_t count = lstIPs.ListCount();
  const std::string_view last = count > 0 ? std::string_view(lstIPs.List(count - 1)) : "";
  if (previous_address_ != last) lstIPs.AddItem(previous_address_);
  YourIP = services_.module1.LookupAddress(true);
  ShowTip();
}

void frmMain::ShowTip() {
  tip_.assign(kTrayTipPrefix);
  tip_ += YourIP;
  services_.tray.SetTip(tip_);
}

void frmMain::Trayicon1_Activate() { mnuGetIP_Click(); }

void frmMain::Trayicon1_MouseButton(int button, std::optional<ScreenPoint> menu_place) {
  if (button != kRightButton || menu_open_) return;
  std::optional<ControlId> entry;
  {
    const FlagUp open(menu_open_);
    entry = services_.tray.PopupMenu(kMainMenu, menu_place);
  }
  // The menu is closed by now: the chosen entry's box or window may open
  // another menu.
  if (entry) mnuMain_Click(*entry);
}

void frmMain::mnuMain_Click(ControlId entry) { RunClickHandler(kMainMenuHandlers, *this, entry); }

void frmMain::mnuGetIP_Click() { services_.info.Show(); }

void frmMain::mnuRecent_Click() {
  if (report_open_) {
    services_.messages.BringForward();
    return;
  }
  const FlagUp open(report_open_);
  services_.messages.Show(HistoryReport(lstIPs.Items()), "Recent IP addresses",
                          MessageIcon::kInformation);
}

void frmMain::mnuConfigure_Click() { services_.config.Show(); }

void frmMain::mnuExit_Click() {
  services_.info.Unload();
  services_.config.Unload();
  services_.process.EndProgram(0);
}

}  // namespace pellux
