#include <gtest/gtest.h>

#include "note/core/PointerPlace.h"

namespace stickwell::note {
namespace {

const char* Name(PointerPlace place) {
  switch (place) {
    case PointerPlace::Outside: return "outside";
    case PointerPlace::OnBorder: return "on the border";
    case PointerPlace::Inside: return "inside";
  }
  return "?";
}

TEST(PointerPlace, BorderLinesAreNeitherOutsideNorInside) {
  // A window of 100 x 200 pixels at (10, 20): its last column is 109, its last row 219, and the system
  // reports right 110 and bottom 220, one past them.
  const PixelRect window{10, 20, 110, 220};
  const struct {
    PixelPoint pointer;
    PointerPlace expected;
  } cases[] = {
      {{60, 120}, PointerPlace::Inside},    {{11, 21}, PointerPlace::Inside},      {{109, 219}, PointerPlace::Inside},
      {{10, 120}, PointerPlace::OnBorder},  // the window's own left column
      {{110, 120}, PointerPlace::OnBorder},  // the column right of the window
      {{60, 20}, PointerPlace::OnBorder},   {{60, 220}, PointerPlace::OnBorder},   {{10, 20}, PointerPlace::OnBorder},
      {{110, 220}, PointerPlace::OnBorder}, {{9, 120}, PointerPlace::Outside},     {{111, 120}, PointerPlace::Outside},
      {{60, 19}, PointerPlace::Outside},    {{60, 221}, PointerPlace::Outside},    {{10, 19}, PointerPlace::Outside},
      {{111, 220}, PointerPlace::Outside},  {{-5000, -5000}, PointerPlace::Outside},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Name(PlaceOfPointer(window, c.pointer)), Name(c.expected))
        << "pointer at (" << c.pointer.x << ", " << c.pointer.y << ")";
  }
}

}  // namespace
}  // namespace stickwell::note
