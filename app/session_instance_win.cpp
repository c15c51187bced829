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

bool SessionInstance::Acquire(DWORD timeout_ms) {
  if (owned_) return true;
  const DWORD result = WaitForSingleObject(mutex_, timeout_ms);
  owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  return owned_;
}

bool SessionInstance::HandOver(HWND running, DWORD timeout_ms) {
  // Windows lets a process bring its window to the front only when the one
  // in front allows it. This start is in front (the user just started it),
  // so it passes that on before it asks.
  DWORD process_id = 0;
  if (GetWindowThreadProcessId(running, &process_id) != 0) allow_foreground_(process_id);
  // Sent, not posted: the call returns once the window has been shown, and
  // fails for a program that is ending or hung, which this start then does
  // not count on.
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(running, MainWindow::ShowInformationMessage(), 0, 0, SMTO_ABORTIFHUNG,
                             timeout_ms, &answer) != 0;
}

SessionInstance::Claim SessionInstance::ClaimSession(DWORD timeout_ms) {
  if (mutex_ == nullptr) return Claim::kUnavailable;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (Acquire(0)) return Claim::kFirst;
    if (const HWND running = FindWindowW(MainWindow::kClassName, nullptr)) {
      const ULONGLONG waited = GetTickCount64() - start;
      const DWORD left = waited < timeout_ms ? static_cast<DWORD>(timeout_ms - waited) : 0;
      if (HandOver(running, std::clamp<DWORD>(left, 1, kAnswerMs))) return Claim::kHandedOver;
    }
    const ULONGLONG waited = GetTickCount64() - start;
    if (waited >= timeout_ms) return Claim::kNoAnswer;
    if (Acquire(static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, timeout_ms - waited)))) {
      return Claim::kFirst;
    }
  }
}

}  // namespace pellux
