// Program entry on Windows.
#include <windows.h>

#include "app/app_win.h"
#include "app/session_instance_win.h"

namespace {

// How long a second start waits for the running program to show its main
// window (it may be starting itself) and answer before it runs itself.
constexpr DWORD kHandOverTimeoutMs = 3000;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Owned by this thread, the program's only one, until the program ends.
  pellux::SessionInstance instance(pellux::kSessionMutexName);
  // Unless the running one took the request, this one runs: a running one
  // that is hung or will not end must not leave the user with no Pellux
  // that answers.
  if (instance.ClaimSession(kHandOverTimeoutMs) == pellux::SessionInstance::Claim::kHandedOver) {
    return 0;
  }
  const pellux::SystemSeams platform;
  pellux::App app(platform.seams());
  app.Start();
  return pellux::App::Run(instance);
}
