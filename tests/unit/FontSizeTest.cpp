#include <gtest/gtest.h>

#include "note/core/FontSize.h"

namespace stickwell::note {
namespace {

// Steps from the start size until the size stops changing; every step taken is exactly one point.
float StepUntilItStops(int step, int& steps) {
  float points = kBodyStartPoints;
  steps = 0;
  for (int i = 0; i < 1000; ++i) {
    const float next = SteppedBodyPoints(points, step);
    if (next == points) return points;
    EXPECT_EQ(next - points, static_cast<float>(step)) << "at " << points;
    points = next;
    ++steps;
  }
  ADD_FAILURE() << "no limit";
  return points;
}

TEST(FontSize, GrowsAndShrinksByOnePointUpToItsLimitsAndStaysThere) {
  int steps = 0;
  EXPECT_EQ(StepUntilItStops(+1, steps), 99.75f);
  EXPECT_EQ(steps, 84);
  EXPECT_EQ(SteppedBodyPoints(99.75f, -1), 98.75f);

  EXPECT_EQ(StepUntilItStops(-1, steps), 7.75f);
  EXPECT_EQ(steps, 8);
  EXPECT_EQ(SteppedBodyPoints(7.75f, +1), 8.75f);
}

TEST(FontSize, OnlyCtrlWithUpOrDownStepsTheSize) {
  constexpr int kShift = 1, kCtrl = 2, kAlt = 4;
  const struct {
    int key, modifiers, step;
  } cases[] = {
      {kKeyUp, kCtrl, +1},         {kKeyDown, kCtrl, -1},         {kKeyUp, 0, 0},
      {kKeyUp, kCtrl | kShift, 0}, {kKeyUp, kAlt, 0},             {kKeyDown, kCtrl | kAlt, 0},
      {kKeyUp, kShift, 0},         {37 /* left */, kCtrl, 0},     {39 /* right */, kCtrl, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FontShortcutStep(c.key, c.modifiers), c.step) << c.key << " " << c.modifiers;
}

}  // namespace
}  // namespace stickwell::note
