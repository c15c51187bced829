// One Pellux per user session. The first start owns a named mutex in the
// session's namespace for as long as it runs; a later start, of the 32- or
// the 64-bit build alike, finds the running program's main window, lets it
// take the foreground, asks it to show its information window, waits for its
// answer and ends. A running program that does not answer in time is told to
// end, which it does once it answers again; the later start runs in its
// place and takes the mutex when that one has gone.
#pragma once

#include <windows.h>

namespace pellux {

// The name both builds use. "Local\" keeps it to the user's session: another
// user signed in on the same computer runs a Pellux of their own.
inline constexpr wchar_t kSessionMutexName[] = L"Local\\Pellux.Instance";

class SessionInstance {
 public:
  enum class Claim {
    kFirst,        // this process is the session's Pellux
    kHandedOver,   // the running one showed its information window
    kNoAnswer,     // one holds the mutex but no main window answered: this one runs
    kUnavailable,  // the mutex could not be made: this one runs alone
  };

  // Lets another process take the foreground; tests pass a stand-in.
  using AllowForegroundFunction = BOOL(WINAPI*)(DWORD process_id);

  explicit SessionInstance(const wchar_t* mutex_name,
                           AllowForegroundFunction allow_foreground = AllowSetForegroundWindow);
  SessionInstance(const SessionInstance&) = delete;
  SessionInstance& operator=(const SessionInstance&) = delete;
  // Releases the mutex if this process owns it.
  ~SessionInstance();

  // Becomes the session's instance or hands over to the running one, which
  // may be starting, ending or hung: each is waited for up to the timeout.
  // A mutex left abandoned by a program that crashed counts as free.
  Claim ClaimSession(DWORD timeout_ms);

  // Waits until this thread has a message to handle. After kNoAnswer it
  // also takes the mutex, as soon as the program that held it has ended, so
  // that the starts after it hand over to this one.
  void WaitForMessages();

 private:
  HANDLE mutex_;
  AllowForegroundFunction allow_foreground_;
  bool owned_ = false;
};

}  // namespace pellux
