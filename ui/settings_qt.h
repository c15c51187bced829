// Per-user settings on Linux and other systems with Qt: application "Pellux",
// section "Options" and key "Interval" live in ~/.config/Pellux/Pellux.conf
// (XDG_CONFIG_HOME when it is set), under [Options], as Interval=5000.
#pragma once

#include "ui/settings.h"

namespace pellux {

class QtSettings final : public SettingsStore {
 public:
  // Read through QSettings. Each call opens the file anew, so a change made
  // by another program meanwhile is seen (Qt notices it by the file's time
  // stamp and size). Reading never writes.
  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override;
  // The file is the user's too: only the key's line changes (SaveIniValue),
  // and the new file is taken only when QSettings reads the value back from
  // it. False when the file does not hold the value afterwards.
  bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;
};

}  // namespace pellux
