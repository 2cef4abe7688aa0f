#pragma once
// Positions and sizes are twips: 1440 to the inch, 15 to the pixel at 96 dots per inch.
#include <cmath>

namespace stickwell {

inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(double twips, unsigned dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline float PixelsToTwips(int pixels, unsigned dpi) {
  return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

// Font sizes in points become pixel heights the same way (72 points to the inch).
inline int PointsToPixels(double points, unsigned dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

}  // namespace stickwell
