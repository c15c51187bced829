// The platform bindings the program runs on; tests pass fakes.
#pragma once

#include <memory>

#include "net/computer_name.h"
#include "net/sockets.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "settings/settings.h"

namespace pellux {

struct PlatformSeams {
  Sockets& sockets;
  ComputerName& computer;
  MessageBoxes& messages;
  SettingsStore& settings;
  Clipboard& clipboard;
  Process& process;
};

// The system's own bindings, for as long as the program runs.
struct SystemSeams {
  std::unique_ptr<Sockets> sockets = MakeSystemSockets();
  std::unique_ptr<ComputerName> computer = MakeSystemComputerName();
  std::unique_ptr<MessageBoxes> messages = MakeSystemMessageBoxes();
  std::unique_ptr<SettingsStore> settings = MakeSystemSettings();
  std::unique_ptr<Clipboard> clipboard = MakeSystemClipboard();
  std::unique_ptr<Process> process = MakeSystemProcess();

  PlatformSeams seams() const {
    return {*sockets, *computer, *messages, *settings, *clipboard, *process};
  }
};

}  // namespace pellux
