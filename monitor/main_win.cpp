// Program entry on Windows.
#include <windows.h>

#include "monitor/app_win.h"
#include "net/system_sockets.h"
#include "ui/message_box_win.h"
#include "ui/settings_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const auto sockets = pellux::MakeSystemSockets();
  const auto computer = pellux::MakeSystemComputerName();
  pellux::WinMessageBoxes messages;
  pellux::RegistrySettings settings;
  pellux::WinProcess process;
  pellux::App app({*sockets, *computer, messages, settings, process});
  if (!app.Start()) return 1;
  return pellux::App::Run();
}
