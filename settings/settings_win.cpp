#include <windows.h>

#include "settings/settings.h"

#include "platform/text_win.h"

namespace pellux {
namespace {

std::wstring KeyPath(std::string_view app, std::string_view section) {
  return L"Software\\" + Widen(app) + L"\\" + Widen(section);
}

class WinSettings final : public SettingsStore {
 public:
  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(app, section).c_str(), 0, KEY_QUERY_VALUE,
                      &opened) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    const std::unique_ptr<HKEY__, decltype(&RegCloseKey)> options(opened, RegCloseKey);
    const std::wstring name = Widen(key);
    // Only REG_SZ counts as text: the program writes nothing else, and a
    // REG_EXPAND_SZ is not expanded into one. The value may be longer than
    // the buffer, or grow before it is read again; the registry then says how
    // many bytes it needs, and it is read once more.
    for (DWORD bytes = 0;;) {
      std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
      bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
      DWORD type = REG_NONE;
      const LSTATUS result = RegQueryValueExW(options.get(), name.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &bytes);
      if ((result != ERROR_SUCCESS && result != ERROR_MORE_DATA) || type != REG_SZ) {
        return std::nullopt;
      }
      if (result == ERROR_MORE_DATA) continue;
      // Anyone may write the value: the bytes read are all there is, whether
      // or not they end in a NUL, and an odd last byte is half a character,
      // which is left out. The text ends at the first NUL.
      const std::wstring_view text(data.data(), bytes / sizeof(wchar_t));
      return Narrow(text.substr(0, text.find(L'\0')));
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
