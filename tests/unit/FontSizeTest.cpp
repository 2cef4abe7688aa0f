#include <gtest/gtest.h>

#include "note/core/FontSize.h"

namespace stickwell::note {
namespace {

TEST(FontSize, OneStepIsOnePointWithinTheLimits) {
  const struct { float points; int step; float expected; } cases[] = {
      {kBodyStartPoints, +1, 16.75f}, {kBodyStartPoints, -1, 14.75f}, {98.75f, +1, 99.75f}, {99.75f, +1, 99.75f},
      {99.75f, -1, 98.75f},           {8.75f, -1, 7.75f},             {7.75f, -1, 7.75f},   {7.75f, +1, 8.75f},
  };
  for (const auto& c : cases) EXPECT_EQ(SteppedBodyPoints(c.points, c.step), c.expected) << c.points << " " << c.step;
}

TEST(FontSize, OnlyCtrlWithUpOrDownStepsTheSize) {
  constexpr int kShift = 1, kCtrl = 2, kAlt = 4, kLeftKey = 37;
  const struct { int key, modifiers, step; } cases[] = {
      {kKeyUp, kCtrl, +1}, {kKeyDown, kCtrl, -1}, {kKeyUp, 0, 0},           {kKeyUp, kCtrl | kShift, 0},
      {kKeyUp, kAlt, 0},   {kLeftKey, kCtrl, 0},  {kKeyDown, kCtrl | kAlt, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FontShortcutStep(c.key, c.modifiers), c.step) << c.key << " " << c.modifiers;
}

}  // namespace
}  // namespace stickwell::note
