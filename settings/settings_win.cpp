#include <windows.h>

#include "settings/settings.h"

#include "ui/text_win.h"

namespace pellux {
namespace {

std::wstring KeyPath(std::string_view app, std::string_view section) {
  return L"Software\\" + Widen(app) + L"\\" + Widen(section);
}

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  HKEY* receive() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class WinSettings final : public SettingsStore {
 public:
  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override;
  bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;
};

std::optional<std::string> WinSettings::GetSetting(std::string_view app, std::string_view section,
                                                   std::string_view key) {
  RegistryKey reg;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(app, section).c_str(), 0, KEY_QUERY_VALUE,
                    reg.receive()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring name = Widen(key);
  // The value may change size between the two calls; ask again until it fits.
  std::wstring data;
  for (;;) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(reg.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
      return std::nullopt;
    }
    data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    const LONG result = RegQueryValueExW(reg.get(), name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(data.data()), &size);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    // The stored text need not end in a NUL; it ends at the first one or at
    // the size the registry reports.
    data.resize(size / sizeof(wchar_t));
    const auto nul = data.find(L'\0');
    if (nul != std::wstring::npos) data.resize(nul);
    return Narrow(data);
  }
}

bool WinSettings::SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                              std::string_view value) {
  RegistryKey reg;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(app, section).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, reg.receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring text = Widen(value);
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(reg.get(), Widen(key).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

}  // namespace

std::unique_ptr<SettingsStore> MakeSystemSettings() { return std::make_unique<WinSettings>(); }

}  // namespace pellux
