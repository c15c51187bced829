// One program per session: the mutex that marks the running program, and a
// second start handing over to it. The running program is the real one on
// its windows, over fakes; "another process" is played by another thread,
// since a mutex belongs to the thread that owns it.
#include "app/session_instance_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tests/win/app_fakes.h"

namespace pellux {
namespace {

using Claim = SessionInstance::Claim;

// A name of the test's own, so that no real program is disturbed.
std::wstring TestMutexName() {
  return L"Local\\Pellux.InstanceTest." + std::to_wstring(GetCurrentProcessId());
}

// Another program holding the session's mutex until told to end, and then
// ending without releasing it, as a program does that crashes or is ended
// from outside.
class OtherProgram {
 public:
  explicit OtherProgram(const std::wstring& name)
      : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        owns_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        thread_([this, name] {
          const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
          if (WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0) SetEvent(owns_);
          WaitForSingleObject(done_, INFINITE);
          CloseHandle(mutex);
        }) {
    WaitForSingleObject(owns_, INFINITE);
  }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;
  ~OtherProgram() {
    End();
    CloseHandle(done_);
    CloseHandle(owns_);
  }

  bool owns() const { return WaitForSingleObject(owns_, 0) == WAIT_OBJECT_0; }
  void End() {
    if (!thread_.joinable()) return;
    SetEvent(done_);
    thread_.join();
  }

 private:
  HANDLE done_;
  HANDLE owns_;
  std::thread thread_;
};

TEST(SessionInstanceTest, TheFirstStartTakesTheSession) {
  SessionInstance instance(TestMutexName().c_str());
  EXPECT_EQ(instance.ClaimSession(0), Claim::kFirst);
}

TEST(SessionInstanceTest, AStartTakesOverFromAProgramThatDiedWhileItWaited) {
  const std::wstring name = TestMutexName();
  OtherProgram dying(name);
  ASSERT_TRUE(dying.owns());
  SessionInstance instance(name.c_str());
  dying.End();
  EXPECT_EQ(instance.ClaimSession(0), Claim::kFirst);
}

TEST(SessionInstanceTest, WithoutAWindowToAskTheStartGivesUp) {
  const std::wstring name = TestMutexName();
  OtherProgram hung(name);
  ASSERT_TRUE(hung.owns());
  SessionInstance instance(name.c_str());
  EXPECT_EQ(instance.ClaimSession(100), Claim::kNoAnswer);
}

TEST(SessionInstanceTest, WithoutAMutexTheStartRunsAlone) {
  // A name in a namespace that does not exist cannot be made.
  SessionInstance instance(L"NoSuchNamespace\\Pellux.Instance");
  EXPECT_EQ(instance.ClaimSession(0), Claim::kUnavailable);
}

// The process a second start let take the foreground, and whether the
// information window was already open when it did.
struct ForegroundGrant {
  DWORD process_id = 0;
  bool before_request = false;
};
ForegroundGrant grant;
const FormWindow* granted_window = nullptr;

BOOL WINAPI RecordForegroundGrant(DWORD process_id) {
  grant = {process_id, granted_window != nullptr && !granted_window->loaded()};
  return TRUE;
}

class SecondStartTest : public ::testing::Test, protected testing::AppFakes {};

TEST_F(SecondStartTest, LetsTheRunningProgramTakeTheForegroundAndWaitsForItsWindow) {
  sockets.SetAddresses({"192.168.0.5"});
  app.Start();
  const std::wstring name = TestMutexName();
  OtherProgram running(name);
  ASSERT_TRUE(running.owns());
  grant = {};
  granted_window = &app.info_window();

  SessionInstance instance(name.c_str(), RecordForegroundGrant);
  ASSERT_EQ(instance.ClaimSession(60000), Claim::kHandedOver);
  // The answer comes once the window is up, and in front.
  ASSERT_TRUE(app.info_window().loaded());
  EXPECT_TRUE(IsWindowVisible(app.info_window().hwnd()));
  EXPECT_EQ(GetForegroundWindow(), app.info_window().hwnd());
  EXPECT_EQ(grant.process_id, GetCurrentProcessId());
  EXPECT_TRUE(grant.before_request);
  EXPECT_TRUE(testing::IconKnown(app.main_window().hwnd()));
  EXPECT_FALSE(process.exit_code);
  granted_window = nullptr;
}

// A running program whose main window no longer answers: its thread is
// busy, or ending.
class HungProgram {
 public:
  HungProgram()
      : ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        thread_([this] {
          NoEvents form;
          MainWindow window(form, {});
          window.Create();
          SetEvent(ready_);
          WaitForSingleObject(done_, INFINITE);
        }) {
    WaitForSingleObject(ready_, INFINITE);
  }
  HungProgram(const HungProgram&) = delete;
  HungProgram& operator=(const HungProgram&) = delete;
  ~HungProgram() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(ready_);
    CloseHandle(done_);
  }

 private:
  class NoEvents final : public MainFormEvents {
    void Timer1_Timer() override {}
    void Trayicon1_Activate() override {}
    void Trayicon1_MouseButton(int, std::optional<ScreenPoint>) override {}
    void mnuMain_Click(ControlId) override {}
  };
  HANDLE ready_;
  HANDLE done_;
  std::thread thread_;
};

TEST(SessionInstanceTest, AProgramThatDoesNotAnswerIsNoHandOver) {
  const std::wstring name = TestMutexName();
  OtherProgram holder(name);
  ASSERT_TRUE(holder.owns());
  HungProgram hung;
  ASSERT_NE(FindWindowW(MainWindow::kClassName, nullptr), nullptr);
  SessionInstance instance(name.c_str(), RecordForegroundGrant);
  EXPECT_EQ(instance.ClaimSession(300), Claim::kNoAnswer);
}

}  // namespace
}  // namespace pellux
