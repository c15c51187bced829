// Twips (1/1440 inch) to pixels at a given number of dots per inch: 15 twips
// a pixel at 96 dpi.
#pragma once

namespace pellux {

inline constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel, halves away from zero, like MulDiv.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long product = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kTwipsPerInch
                                       : -((-product + half) / kTwipsPerInch));
}

constexpr int PixelsToTwips(int pixels, int dpi) {
  const long long product = static_cast<long long>(pixels) * kTwipsPerInch;
  const long long half = dpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / dpi : -((-product + half) / dpi));
}

}  // namespace pellux
