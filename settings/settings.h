// Per-user application settings addressed by application, section and key.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pellux {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or nothing when the value is missing or is not text.
  virtual std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                                std::string_view key) = 0;
  // Stores `value` as text; false when it could not be stored.
  virtual bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view value) = 0;
};

// The user's settings: on Windows the registry, HKEY_CURRENT_USER\Software\<app>\<section>,
// one REG_SZ value per key; elsewhere an INI file, ~/.config/<app>/<app>.conf
// (XDG_CONFIG_HOME when it is a full path), of which a save changes only the key's line.
std::unique_ptr<SettingsStore> MakeSystemSettings();

}  // namespace pellux
