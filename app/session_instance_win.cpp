#include "app/session_instance_win.h"

#include <algorithm>

#include "monitor/main_window_win.h"

namespace pellux {
namespace {

// How long each wait for the mutex lasts before looking for the window again.
constexpr DWORD kPollMs = 50;

}  // namespace

SessionInstance::SessionInstance(const wchar_t* mutex_name)
    : mutex_(CreateMutexW(nullptr, FALSE, mutex_name)) {}

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

SessionInstance::Claim SessionInstance::ClaimSession(DWORD timeout_ms) {
  if (mutex_ == nullptr) return Claim::kUnavailable;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (Acquire(0)) return Claim::kFirst;
    if (const HWND running = FindWindowW(MainWindow::kClassName, nullptr)) {
      if (PostMessageW(running, MainWindow::ShowInformationMessage(), 0, 0)) {
        return Claim::kHandedOver;
      }
    }
    const ULONGLONG waited = GetTickCount64() - start;
    if (waited >= timeout_ms) return Claim::kNoAnswer;
    if (Acquire(static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, timeout_ms - waited)))) {
      return Claim::kFirst;
    }
  }
}

}  // namespace pellux
