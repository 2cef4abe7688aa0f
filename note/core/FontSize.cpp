#include "note/core/FontSize.h"

namespace stickwell::note {

float SteppedBodyPoints(float points, int step) {
  const float stepped = points + static_cast<float>(step);
  // Only a step out of the limits is refused; a step back towards them is always taken.
  if (step > 0 ? stepped > kBodyMaximumPoints : stepped < kBodyMinimumPoints) return points;
  return stepped;
}

}  // namespace stickwell::note
