// One Pellux per user session. The first start owns a named mutex in the
// session's namespace for as long as it runs; a later start, of the 32- or
// the 64-bit build alike, finds the running program's main window, asks it to
// show its information window and ends.
#pragma once

#include <windows.h>

namespace pellux {

// The name both builds use. "Local\" keeps it to the user's session: another
// user signed in on the same computer runs a Pellux of their own.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Pellux.Instance";

// The session's mutex, owned by the thread that acquires it until that thread
// ends. A program that ended without releasing it (it crashed, or was ended
// from outside) leaves it abandoned, which counts as free.
class InstanceMutex {
 public:
  explicit InstanceMutex(const wchar_t* name);
  InstanceMutex(const InstanceMutex&) = delete;
  InstanceMutex& operator=(const InstanceMutex&) = delete;
  ~InstanceMutex();

  // Waits up to the timeout for the mutex; true once this thread owns it, and
  // also when there is no mutex to own (it could not be created): then
  // nothing stands in the way of this start.
  bool Acquire(DWORD timeout_ms);

 private:
  HANDLE handle_;
  bool owned_ = false;
};

enum class InstanceStart {
  kFirst,       // this start is the session's Pellux: go on
  kHandedOver,  // the running one was asked to show its information window
  kNoAnswer,    // another one holds the mutex but shows no main window
};

// Makes this start the session's Pellux, or hands over to the one that
// already runs. The running one may itself be starting, with its window not
// made yet, or ending, with its mutex about to be free: both are waited for
// up to the timeout.
InstanceStart ClaimSession(InstanceMutex& mutex, DWORD timeout_ms);

}  // namespace pellux
