// The stored interval text: any bytes, or no value at all. The interval is
// always one the timer can take, and it is the stored number exactly when
// the text is a whole number from 1 to 32767 with nothing but blanks around.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "monitor/frm_main.h"

namespace {

// The number the text stands for, when it is blanks, decimal digits, blanks
// and the number fits in 1 to 32767.
std::optional<int> WholeNumber(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 32767) return std::nullopt;
  }
  if (value < 1) return std::nullopt;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::optional<std::string> stored;
  if (input.ConsumeBool()) stored = input.ConsumeRemainingBytesAsString();

  const int16_t interval = pellux::IntervalFromSetting(stored);
  if (interval < 1) std::abort();
  const std::optional<int> number = stored ? WholeNumber(*stored) : std::nullopt;
  if (interval != (number ? *number : pellux::kDefaultInterval)) std::abort();
  return 0;
}
