#include "app/session_instance_win.h"

#include <algorithm>

#include "monitor/main_window_win.h"

namespace pellux {
namespace {

// How long each wait for the mutex lasts before looking for the window again.
constexpr DWORD kPollMs = 50;
// How long one request waits for the running program's answer.
constexpr DWORD kAnswerMs = 2000;

}  // namespace

SessionInstance::SessionInstance(const wchar_t* mutex_name,
                                 AllowForegroundFunction allow_foreground)
    : mutex_(CreateMutexW(nullptr, FALSE, mutex_name)), allow_foreground_(allow_foreground) {}

SessionInstance::~SessionInstance() {
  if (mutex_ == nullptr) return;
  if (owned_) ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

SessionInstance::Claim SessionInstance::ClaimSession(DWORD timeout_ms) {
  if (mutex_ == nullptr) return Claim::kUnavailable;
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  const auto left_ms = [deadline] {
    const ULONGLONG now = GetTickCount64();
    return static_cast<DWORD>(now < deadline ? deadline - now : 0);
  };
  DWORD wait_ms = 0;
  HWND running = nullptr;
  for (;;) {
    const DWORD result = WaitForSingleObject(mutex_, wait_ms);
    owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    if (owned_) return Claim::kFirst;
    running = FindWindowW(MainWindow::kClassName, nullptr);
    if (running != nullptr) {
      // Windows lets a process bring its window to the front only when the
      // one in front allows it. This start is in front (the user just
      // started it), so it passes that on before it asks.
      DWORD process_id = 0;
      if (GetWindowThreadProcessId(running, &process_id) != 0) allow_foreground_(process_id);
      // Sent, not posted: the call returns once the window has been shown,
      // and fails for a program that is ending or hung, which this start
      // then does not count on.
      DWORD_PTR answer = 0;
      if (SendMessageTimeoutW(running, MainWindow::ShowInformationMessage(), 0, 0, SMTO_ABORTIFHUNG,
                              std::clamp<DWORD>(left_ms(), 1, kAnswerMs), &answer) != 0) {
        return Claim::kHandedOver;
      }
    }
    wait_ms = std::min(kPollMs, left_ms());
    if (wait_ms == 0) break;
  }
  // This start runs in place of the window that did not answer. Posted, the
  // request to end waits in that program's queue until it answers again,
  // and then ends it as its Exit does, rather than leaving two programs with
  // two icons.
  if (running != nullptr) PostMessageW(running, WM_CLOSE, 0, 0);
  return Claim::kNoAnswer;
}

void SessionInstance::WaitForMessages() {
  const DWORD handles = mutex_ != nullptr && !owned_ ? 1 : 0;
  const DWORD result =
      MsgWaitForMultipleObjectsEx(handles, &mutex_, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (handles == 1 && (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0)) owned_ = true;
}

}  // namespace pellux
