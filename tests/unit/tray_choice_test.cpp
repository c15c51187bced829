#include "tray/tray_choice.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace pellux {
namespace {

// Writes down what the choice asks, one word a request.
class FakeBindings final : public TrayBindings {
 public:
  bool publishes = true;    // the bus takes the item
  bool xembed_tray = true;  // an XEmbed tray is there

  std::string TakeLog() { return std::exchange(log_, ""); }

 private:
  void AskForHost(int question) override { Say("ask" + std::to_string(question)); }
  bool PublishItem() override {
    Say(publishes ? "publish" : "publish-refused");
    return publishes;
  }
  void RegisterItem() override { Say("register"); }
  void DropItem() override { Say("drop-item"); }
  void ShowXEmbed() override { Say("xembed"); }
  void DropXEmbed() override { Say("drop-xembed"); }
  bool XEmbedTrayThere() override {
    Say(xembed_tray ? "tray" : "no-tray");
    return xembed_tray;
  }
  void CheckTrayLater() override { Say("check-later"); }
  void StartTimer(TrayTimer timer) override { Say("start-" + Name(timer)); }
  void StopTimer(TrayTimer timer) override { Say("stop-" + Name(timer)); }
  void SayNoTrayYet() override { Say("say"); }
  void ShowNotice() override { Say("notice"); }
  void CloseNotice() override { Say("close-notice"); }

  static std::string Name(TrayTimer timer) {
    switch (timer) {
      case TrayTimer::kSettle:
        return "settle";
      case TrayTimer::kPoll:
        return "poll";
      case TrayTimer::kNotice:
        return "notice";
    }
    return "?";
  }
  void Say(const std::string& word) { log_ += (log_.empty() ? "" : " ") + word; }

  std::string log_;
};

struct Step {
  std::function<void(TrayChoice&, FakeBindings&)> act;
  std::string asks;  // what the choice asks of the bindings in return
};

void Show(TrayChoice& choice, FakeBindings&) { choice.Show(); }
void Hide(TrayChoice& choice, FakeBindings&) { choice.Hide(); }
void Check(TrayChoice& choice, FakeBindings&) { choice.CheckTray(); }
void Restart(TrayChoice& choice, FakeBindings&) { choice.WatcherChanged(); }
void Settle(TrayChoice& choice, FakeBindings&) { choice.TimerFired(TrayTimer::kSettle); }
void Poll(TrayChoice& choice, FakeBindings&) { choice.TimerFired(TrayTimer::kPoll); }
void Notice(TrayChoice& choice, FakeBindings&) { choice.TimerFired(TrayTimer::kNotice); }
auto Host(int question, const char* watcher) {
  return [=](TrayChoice& choice, FakeBindings&) { choice.HostAnswered(question, watcher); };
}
auto NoHost(int question) {
  return [=](TrayChoice& choice, FakeBindings&) { choice.HostAnswered(question, std::nullopt); };
}
auto TrayThere(bool there) {
  return [=](TrayChoice&, FakeBindings& bindings) { bindings.xembed_tray = there; };
}
auto Publishes(bool takes) {
  return [=](TrayChoice&, FakeBindings& bindings) { bindings.publishes = takes; };
}

constexpr char kFound[] = "stop-poll stop-notice";

struct Case {
  const char* name;
  bool bus;
  std::vector<Step> steps;
};

TEST(TrayChoiceTest, FollowsTheTraysOfTheDesktop) {
  const std::string found = kFound;
  const Case cases[] = {
      {"a host takes the item",
       true,
       {{Show, "ask1"}, {Host(1, ":1.5"), "publish register " + found}, {Show, ""}}},
      {"without a bus the XEmbed tray is the only one",
       false,
       {{Show, "xembed check-later"}, {Check, "tray " + found}}},
      {"no tray at all: said once, looked for every second, explained after a while",
       false,
       {{TrayThere(false), ""},
        {Show, "xembed check-later"},
        {Check, "no-tray say start-poll start-notice"},
        {Check, "no-tray"},
        {Poll, "no-tray"},
        {Notice, "notice"},
        {Notice, ""},
        {TrayThere(true), ""},
        {Poll, "tray " + found + " close-notice"},
        {Poll, "tray " + found}}},
      {"only the latest question's answer counts",
       true,
       {{Show, "ask1"},
        {Restart, "start-settle"},
        {Settle, "ask2"},
        {Host(1, ":1.5"), ""},
        {NoHost(2), "xembed check-later"}}},
      {"a host that refuses the item leaves the XEmbed icon",
       true,
       {{Publishes(false), ""},
        {Show, "ask1"},
        {Host(1, ":1.5"), "publish-refused xembed check-later"}}},
      {"a host that appears takes over from the XEmbed tray, and the same watcher is told once",
       true,
       {{Show, "ask1"},
        {NoHost(1), "xembed check-later"},
        {Check, "tray " + found},
        {Settle, "ask2"},
        {Host(2, ":1.5"), "publish drop-xembed register " + found},
        {Check, ""},
        {Poll, ""},
        {Settle, "ask3"},
        {Host(3, ":1.5"), found},
        {Settle, "ask4"},
        {Host(4, ":1.9"), "register " + found},
        {Restart, "start-settle"},
        {Settle, "ask5"},
        {Host(5, ":1.9"), "register " + found}}},
      {"a host that goes leaves the XEmbed icon",
       true,
       {{Show, "ask1"},
        {Host(1, ":1.5"), "publish register " + found},
        {Settle, "ask2"},
        {NoHost(2), "drop-item xembed check-later"}}},
      {"hidden, the icon goes and nothing more is asked",
       false,
       {{TrayThere(false), ""},
        {Show, "xembed check-later"},
        {Check, "no-tray say start-poll start-notice"},
        {Notice, "notice"},
        {Hide, "stop-settle " + found + " close-notice drop-xembed"},
        {Hide, ""},
        {Check, ""},
        {Poll, ""},
        {Notice, ""},
        {Settle, ""},
        {Restart, ""},
        {Show, "xembed check-later"},
        {Check, "no-tray say start-poll start-notice"}}},
      {"an answer after hiding is not used",
       true,
       {{Show, "ask1"}, {Hide, "stop-settle " + found}, {Host(1, ":1.5"), ""}, {Show, "ask3"}}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    FakeBindings bindings;
    TrayChoice choice(bindings, test.bus);
    for (std::size_t step = 0; step < test.steps.size(); ++step) {
      test.steps[step].act(choice, bindings);
      EXPECT_EQ(bindings.TakeLog(), test.steps[step].asks) << "step " << step + 1;
    }
  }
}

}  // namespace
}  // namespace pellux
