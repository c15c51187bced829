// Settings in the registry: HKEY_CURRENT_USER\Software\<app>\<section>,
// one REG_SZ value per key.
#pragma once

#include "ui/settings.h"

namespace pellux {

class RegistrySettings final : public SettingsStore {
 public:
  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override;
  bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;
};

}  // namespace pellux
