// The registry binding of the settings, against the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "settings/settings.h"

namespace pellux {
namespace {

// A key of the tests' own, so the program's stored interval is left alone.
constexpr wchar_t kKey[] = L"Software\\PelluxTest\\Options";

class RegistrySettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PelluxTest"); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PelluxTest"); }

  void Put(DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Interval", 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
  }

  std::optional<std::string> Get() {
    return settings.GetSetting("PelluxTest", "Options", "Interval");
  }

  std::unique_ptr<SettingsStore> store = MakeSystemSettings();
  SettingsStore& settings = *store;
};

TEST_F(RegistrySettingsTest, MissingValueIsNothingAndReadingCreatesNoKey) {
  EXPECT_EQ(Get(), std::nullopt);
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\PelluxTest", 0, KEY_READ, &key),
            ERROR_SUCCESS);
}

TEST_F(RegistrySettingsTest, SavedTextReadsBackAsRegSz) {
  ASSERT_TRUE(settings.SaveSetting("PelluxTest", "Options", "Interval", "30000"));
  EXPECT_EQ(Get(), "30000");
  wchar_t data[16] = {};
  DWORD bytes = sizeof data;
  DWORD type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kKey, L"Interval", RRF_RT_ANY, &type, data, &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(data, L"30000");
}

TEST_F(RegistrySettingsTest, OtherTypesAreNotText) {
  const DWORD number = 1000;
  Put(REG_DWORD, &number, sizeof number);
  EXPECT_EQ(Get(), std::nullopt);
  Put(REG_BINARY, "1000", 4);
  EXPECT_EQ(Get(), std::nullopt);
  Put(REG_EXPAND_SZ, L"1000", 5 * sizeof(wchar_t));
  EXPECT_EQ(Get(), std::nullopt);
}

TEST_F(RegistrySettingsTest, TextWithoutNulAndLongTextAreReadWhole) {
  Put(REG_SZ, L"2000", 4 * sizeof(wchar_t));  // no terminating NUL stored
  EXPECT_EQ(Get(), "2000");
  const std::wstring large(100 * 1024, L'9');
  Put(REG_SZ, large.c_str(), static_cast<DWORD>((large.size() + 1) * sizeof(wchar_t)));
  const auto read = Get();
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->size(), large.size());
  Put(REG_SZ, L"", sizeof(wchar_t));
  EXPECT_EQ(Get(), "");
  Put(REG_SZ, L"", 0);
  EXPECT_EQ(Get(), "");
  Put(REG_SZ, L"12345", 9);  // half a character at the end, and no NUL
  EXPECT_EQ(Get(), "1234");
}

}  // namespace
}  // namespace pellux
