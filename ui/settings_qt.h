// Per-user settings on QSettings: application "Pellux", section "Options"
// and key "Interval" live in ~/.config/Pellux/Pellux.conf (XDG_CONFIG_HOME
// when it is set), under [Options], as Interval=5000.
#pragma once

#include "ui/settings.h"

namespace pellux {

class QtSettings final : public SettingsStore {
 public:
  // Each call opens the file anew, so a change made by another program
  // meanwhile is seen (Qt notices it by the file's time stamp and size).
  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override;
  // False when the file could not be written.
  bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;
};

}  // namespace pellux
