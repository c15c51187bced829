// The text "&OK" reads from the interval list: any bytes. An interval comes
// out only for a whole number of seconds before the first blank, and it is
// that number of seconds in milliseconds, within 16 bits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/frm_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto interval = pellux::IntervalFromItem(text);
  if (!interval) return 0;
  const auto blank = text.find(' ');
  if (blank == std::string_view::npos || blank == 0) std::abort();
  if (*interval % 1000 != 0) std::abort();
  const int seconds = *interval / 1000;
  if (seconds < -32 || seconds > 32) std::abort();
  return 0;
}
