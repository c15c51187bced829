// The platform bindings the program runs on; tests pass fakes.
#pragma once

#include "net/computer_name.h"
#include "net/sockets.h"
#include "settings/settings.h"
#include "ui/message_box.h"
#include "ui/process.h"

namespace pellux {

struct PlatformSeams {
  Sockets& sockets;
  ComputerName& computer;
  MessageBoxes& messages;
  SettingsStore& settings;
  Process& process;
};

}  // namespace pellux
