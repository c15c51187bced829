#include "monitor/single_instance_win.h"

#include <algorithm>

#include "monitor/main_window_win.h"

namespace pellux {
namespace {

// How long each wait for the mutex lasts before looking for the window again.
constexpr DWORD kPollMs = 50;

}  // namespace

InstanceMutex::InstanceMutex(const wchar_t* name) : handle_(CreateMutexW(nullptr, FALSE, name)) {}

InstanceMutex::~InstanceMutex() {
  if (handle_ == nullptr) return;
  if (owned_) ReleaseMutex(handle_);
  CloseHandle(handle_);
}

bool InstanceMutex::Acquire(DWORD timeout_ms) {
  if (handle_ == nullptr || owned_) return true;
  const DWORD result = WaitForSingleObject(handle_, timeout_ms);
  owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  return owned_;
}

InstanceStart ClaimSession(InstanceMutex& mutex, DWORD timeout_ms) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (mutex.Acquire(0)) return InstanceStart::kFirst;
    if (const HWND running = FindWindowW(MainWindow::kClassName, nullptr)) {
      if (PostMessageW(running, MainWindow::ShowInformationMessage(), 0, 0)) {
        return InstanceStart::kHandedOver;
      }
    }
    const ULONGLONG waited = GetTickCount64() - start;
    if (waited >= timeout_ms) return InstanceStart::kNoAnswer;
    if (mutex.Acquire(static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, timeout_ms - waited)))) {
      return InstanceStart::kFirst;
    }
  }
}

}  // namespace pellux
