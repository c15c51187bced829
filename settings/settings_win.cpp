#include <windows.h>

#include "settings/settings.h"

#include "ui/text_win.h"

namespace pellux {
namespace {

std::wstring KeyPath(std::string_view app, std::string_view section) {
  return L"Software\\" + Widen(app) + L"\\" + Widen(section);
}

class WinSettings final : public SettingsStore {
 public:
  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override {
    const std::wstring path = KeyPath(app, section);
    const std::wstring name = Widen(key);
    // Only REG_SZ counts as text. The value may be longer than the buffer,
    // or grow before it is read again; the registry then says how many bytes
    // it needs, and it is read once more.
    for (DWORD bytes = 0;;) {
      std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
      bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
      const LSTATUS result = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(),
                                          RRF_RT_REG_SZ, nullptr, data.data(), &bytes);
      if (result == ERROR_MORE_DATA) continue;
      if (result != ERROR_SUCCESS) return std::nullopt;
      // The registry ends the text with a NUL even where the stored value has
      // none; the text ends at the first one.
      data.resize(data.find(L'\0'));
      return Narrow(data);
    }
  }

  // The key is created when it is missing.
  bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override {
    const std::wstring text = Widen(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, KeyPath(app, section).c_str(), Widen(key).c_str(),
                           REG_SZ, text.c_str(), bytes) == ERROR_SUCCESS;
  }
};

}  // namespace

std::unique_ptr<SettingsStore> MakeSystemSettings() { return std::make_unique<WinSettings>(); }

}  // namespace pellux
