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

// A rectangle in twips, right and bottom edges exclusive.
struct TwipsRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  constexpr double width() const { return right - left; }
  constexpr double height() const { return bottom - top; }
  friend constexpr bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

}  // namespace pellux
