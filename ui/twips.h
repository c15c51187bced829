// Twips (1/1440 inch) and pixels at a given dpi: 15 twips a pixel at 96 dpi. The one rule for
// both front ends: twips become whole pixels by rounding to the nearest, halves away from zero
// (as MulDiv does); pixels become twips exactly.
#pragma once

namespace pellux {

inline constexpr int kTwipsPerInch = 1440;

constexpr int TwipsToPixels(double twips, int dpi) {
  const double pixels = twips * dpi / kTwipsPerInch;
  return pixels >= 0 ? static_cast<int>(pixels + 0.5) : -static_cast<int>(-pixels + 0.5);
}

constexpr double PixelsToTwips(double pixels, int dpi) { return pixels * kTwipsPerInch / dpi; }

// A rectangle, right and bottom edges exclusive.
template <class Unit>
struct Rect {
  Unit left = 0;
  Unit top = 0;
  Unit right = 0;
  Unit bottom = 0;

  constexpr Unit width() const { return right - left; }
  constexpr Unit height() const { return bottom - top; }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};
using TwipsRect = Rect<double>;
using PixelRect = Rect<int>;

}  // namespace pellux
