// Which tray shows the icon on a Linux desktop: a panel that hosts
// StatusNotifierItems, an XEmbed tray, or none yet. The choice is made afresh
// whenever a tray appears, restarts or is replaced; while there is none, the
// program looks for one every second and, after ten, explains itself. The
// bindings carry out what the choice asks and report back.
#pragma once

#include <optional>
#include <string>

namespace pellux {

enum class TrayTimer {
  kSettle,  // tray changes are let settle before the icon moves
  kPoll,    // with no tray at all, the next look for an XEmbed one
  kNotice,  // with no tray at all, the notice that explains why
};

// How long each timer runs, in milliseconds. A panel takes the XEmbed tray
// and starts hosting StatusNotifierItems one after the other; only the
// latter announce themselves; a session's panel needs a while to start.
constexpr int TrayTimerMs(TrayTimer timer) {
  constexpr int kMs[] = {250, 1000, 10000};
  return kMs[static_cast<int>(timer)];
}

// What the choice asks of the bus, the icons and the timers.
class TrayBindings {
 public:
  virtual ~TrayBindings() = default;
  // Asks whether a StatusNotifierItem host is there; the answer goes to
  // TrayChoice::HostAnswered with the same `question`.
  virtual void AskForHost(int question) = 0;
  // Puts the program's StatusNotifierItem on the bus; false when refused.
  virtual bool PublishItem() = 0;
  // Tells the watcher that answered last of the item.
  virtual void RegisterItem() = 0;
  virtual void DropItem() = 0;
  // Shows the XEmbed icon, which goes into the first XEmbed tray to appear.
  virtual void ShowXEmbed() = 0;
  virtual void DropXEmbed() = 0;
  // Whether an XEmbed tray is there. Asking waits for the display's answer.
  virtual bool XEmbedTrayThere() = 0;
  // Calls TrayChoice::CheckTray from the event loop.
  virtual void CheckTrayLater() = 0;
  virtual void StartTimer(TrayTimer timer) = 0;
  virtual void StopTimer(TrayTimer timer) = 0;
  // Says once on the standard error that there is no tray yet.
  virtual void SayNoTrayYet() = 0;
  virtual void ShowNotice() = 0;
  virtual void CloseNotice() = 0;
};

class TrayChoice final {
 public:
  // Without a session bus, only XEmbed trays can show the icon.
  TrayChoice(TrayBindings& bindings, bool has_bus) : bindings_(bindings), has_bus_(has_bus) {}

  // Puts the icon into the desktop's tray, or into the first that appears.
  void Show();
  void Hide();

  // The answer to AskForHost: `watcher` is the unique bus name of the
  // watcher, when it has a host. Only the latest question's answer counts.
  void HostAnswered(int question, const std::optional<std::string>& watcher);
  // The watcher started, ended or changed hands.
  void WatcherChanged();
  void TimerFired(TrayTimer timer);
  // Asked for with CheckTrayLater.
  void CheckTray();

 private:
  enum class Icon { kNone, kItem, kXEmbed };

  void Follow();
  void Use(const std::optional<std::string>& watcher);
  void TrayFound();

  TrayBindings& bindings_;
  const bool has_bus_;
  Icon icon_ = Icon::kNone;
  // The watcher that knows of the item; empty while the item is not shown.
  std::optional<std::string> registered_with_;
  int questions_ = 0;
  bool shown_ = false;
  bool waiting_ = false;
  bool notice_ = false;
};

}  // namespace pellux
