#include "note/core/FontSize.h"

namespace stickwell::note {

float SteppedBodyPoints(float points, int step) {
  const float stepped = points + static_cast<float>(step);
  // Only a step out of the limits is refused; a step back towards them is always taken.
  if (step > 0 ? stepped > kBodyMaximumPoints : stepped < kBodyMinimumPoints) return points;
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
