// A settings file of any bytes. Setting the interval changes it in one place
// only: the file with one value and the file with another differ in that
// value alone, setting the same value again changes nothing, and reading the
// file gives back the value set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/ini_text.h"

namespace {

std::string Set(std::string_view text, std::string_view value) {
  return pellux::WithIniValue(text, "Options", "Interval", value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string one = Set(text, "1");
  const std::string two = Set(text, "22");
  if (two.size() != one.size() + 1) std::abort();
  std::size_t at = 0;
  while (at < one.size() && one[at] == two[at]) ++at;
  if (std::string_view(one).substr(at, 1) != "1") std::abort();
  if (std::string_view(two).substr(at, 2) != "22") std::abort();
  if (std::string_view(one).substr(at + 1) != std::string_view(two).substr(at + 2)) std::abort();
  // The value found again where it was put.
  if (Set(one, "1") != one) std::abort();
  if (Set(one, "22") != two) std::abort();
  if (pellux::IniValue(one, "Options", "Interval") != "1") std::abort();
  if (pellux::IniValue(two, "Options", "Interval") != "22") std::abort();
  return 0;
}
