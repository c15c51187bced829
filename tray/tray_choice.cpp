#include "tray/tray_choice.h"

#include <utility>

namespace pellux {

void TrayChoice::Show() {
  if (!std::exchange(shown_, true)) Follow();
}

void TrayChoice::Hide() {
  if (!std::exchange(shown_, false)) return;
  ++questions_;
  bindings_.StopTimer(TrayTimer::kSettle);
  TrayFound();
  if (icon_ == Icon::kItem) bindings_.DropItem();
  if (icon_ == Icon::kXEmbed) bindings_.DropXEmbed();
  icon_ = Icon::kNone;
  registered_with_.reset();
}

void TrayChoice::HostAnswered(int question, const std::optional<std::string>& watcher) {
  if (question == questions_ && shown_) Use(watcher);
}

void TrayChoice::WatcherChanged() {
  // A watcher that has just started knows nothing of the item.
  registered_with_.reset();
  if (shown_) bindings_.StartTimer(TrayTimer::kSettle);
}

void TrayChoice::TimerFired(TrayTimer timer) {
  if (!shown_) return;
  switch (timer) {
    case TrayTimer::kSettle:
      Follow();
      return;
    case TrayTimer::kPoll:
      if (icon_ == Icon::kXEmbed && bindings_.XEmbedTrayThere()) TrayFound();
      return;
    case TrayTimer::kNotice:
      if (!std::exchange(notice_, true)) bindings_.ShowNotice();
      return;
  }
}

void TrayChoice::CheckTray() {
  if (!shown_ || icon_ != Icon::kXEmbed) return;
  if (bindings_.XEmbedTrayThere()) {
    TrayFound();
  } else if (!waiting_) {
    waiting_ = true;
    bindings_.SayNoTrayYet();
    bindings_.StartTimer(TrayTimer::kPoll);
    bindings_.StartTimer(TrayTimer::kNotice);
  }
}

void TrayChoice::Follow() {
  if (!has_bus_) {
    Use(std::nullopt);
    return;
  }
  bindings_.AskForHost(++questions_);
}

void TrayChoice::Use(const std::optional<std::string>& watcher) {
  if (watcher) {
    if (icon_ != Icon::kItem && bindings_.PublishItem()) {
      if (icon_ == Icon::kXEmbed) bindings_.DropXEmbed();
      icon_ = Icon::kItem;
    }
    if (icon_ == Icon::kItem) {
      if (std::exchange(registered_with_, watcher) != watcher) bindings_.RegisterItem();
      TrayFound();
      return;
    }
  }
  if (icon_ == Icon::kItem) bindings_.DropItem();
  registered_with_.reset();
  if (icon_ != Icon::kXEmbed) bindings_.ShowXEmbed();
  icon_ = Icon::kXEmbed;
  // Asking whether there is a tray waits for the display's answer, which
  // here would hold back the icon's own request to the tray.
  bindings_.CheckTrayLater();
}

void TrayChoice::TrayFound() {
  waiting_ = false;
  bindings_.StopTimer(TrayTimer::kPoll);
  bindings_.StopTimer(TrayTimer::kNotice);
  if (std::exchange(notice_, false)) bindings_.CloseNotice();
}

}  // namespace pellux
