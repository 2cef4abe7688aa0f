#include "note/core/FontSize.h"

namespace stickwell::note {

float SteppedBodyPoints(float points, int step) {
  const float stepped = points + static_cast<float>(step);
  if (stepped < kBodyMinimumPoints || stepped > kBodyMaximumPoints) return points;
  return stepped;
}

int FontShortcutStep(int keyCode, int modifiers) {
  constexpr int kCtrl = 2;
  if (modifiers != kCtrl) return 0;
  if (keyCode == kKeyUp) return +1;
  if (keyCode == kKeyDown) return -1;
  return 0;
}

}  // namespace stickwell::note
