// The taskbar query bound to the Windows shell.
#pragma once

#include "config/taskbar.h"

namespace pellux {

class ShellAppBar final : public AppBar {
 public:
  uint32_t SHAppBarMessage(uint32_t message, AppBarData& data) override;
};

}  // namespace pellux
