#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "note/core/Docking.h"

namespace stickwell::note {

void PrintTo(const TwipPoint& p, std::ostream* out) { *out << "(" << p.left << ", " << p.top << ")"; }

namespace {

constexpr float W = 3840, H = 3990;  // the note's size at start
constexpr float SW = 19200;          // a 1280-pixel screen at 96 dpi
const DesktopEdges kOneScreen{0, 0, SW};

constexpr auto In = PointerPlace::Inside;
constexpr auto Out = PointerPlace::Outside;
constexpr auto Border = PointerPlace::OnBorder;

struct Case {
  const char* what;
  WindowTwips window;
  PointerPlace pointer;
  DesktopEdges desktop;
  bool locked;
  std::optional<TwipPoint> expected;
};

template <size_t N>
void Check(const Case (&cases)[N]) {
  for (const Case& c : cases) {
    EXPECT_EQ(DockAtEdge(c.window, c.pointer, c.desktop, c.locked), c.expected) << c.what;
  }
}

// Shown, a docked note lies ten twips over its edge; hidden, fifty twips of it stay on the screen. The
// right edge goes before the top and the top before the left; the bottom never docks, a locked note never moves.
TEST(Docking, EdgesOfOneScreen) {
  const Case cases[] = {
      {"free in the middle", {3000, 3000, W, H}, Out, kOneScreen, false, std::nullopt},
      {"right side on the edge, pointer inside", {SW - W, 3000, W, H}, In, kOneScreen, false,
       TwipPoint{SW - W + 10, 3000}},
      {"right side on the edge, pointer away", {SW - W, 3000, W, H}, Out, kOneScreen, false, TwipPoint{SW - 50, 3000}},
      {"right side one twip short of the edge", {SW - W - 1, 3000, W, H}, Out, kOneScreen, false, std::nullopt},
      {"shown at the right stays shown", {SW - W + 10, 3000, W, H}, In, kOneScreen, false,
       TwipPoint{SW - W + 10, 3000}},
      {"hidden at the right comes back", {SW - 50, 3000, W, H}, In, kOneScreen, false, TwipPoint{SW - W + 10, 3000}},
      {"top on the edge, pointer inside", {3000, 0, W, H}, In, kOneScreen, false, TwipPoint{3000, -10}},
      {"top on the edge, pointer away", {3000, 0, W, H}, Out, kOneScreen, false, TwipPoint{3000, 50 - H}},
      {"top one twip below the edge", {3000, 1, W, H}, Out, kOneScreen, false, std::nullopt},
      {"hidden at the top comes back", {3000, 50 - H, W, H}, In, kOneScreen, false, TwipPoint{3000, -10}},
      {"left on the edge, pointer inside", {0, 3000, W, H}, In, kOneScreen, false, TwipPoint{-10, 3000}},
      {"left on the edge, pointer away", {0, 3000, W, H}, Out, kOneScreen, false, TwipPoint{50 - W, 3000}},
      {"left one twip right of the edge", {1, 3000, W, H}, Out, kOneScreen, false, std::nullopt},
      {"hidden at the left comes back", {50 - W, 3000, W, H}, In, kOneScreen, false, TwipPoint{-10, 3000}},
      // The pointer on the border line counts as away.
      {"on the border, shown at the right", {SW - W + 10, 3000, W, H}, Border, kOneScreen, false, TwipPoint{SW - 50, 3000}},
      {"on the border, shown at the top", {3000, -10, W, H}, Border, kOneScreen, false, TwipPoint{3000, 50 - H}},
      {"on the border, shown at the left", {-10, 3000, W, H}, Border, kOneScreen, false, TwipPoint{50 - W, 3000}},
      {"top-left corner docks at the top", {-100, -100, W, H}, Out, kOneScreen, false, TwipPoint{-100, 50 - H}},
      {"top-left corner, pointer inside", {-100, -100, W, H}, In, kOneScreen, false, TwipPoint{-100, -10}},
      {"top-right corner docks at the right", {16000, -100, W, H}, Out, kOneScreen, false, TwipPoint{SW - 50, -100}},
      {"wider than the screen docks at the right", {-100, 3000, SW + 500, H}, In, kOneScreen, false,
       TwipPoint{-490, 3000}},
      {"pushed below the bottom", {3000, 20000, W, H}, Out, kOneScreen, false, std::nullopt},
      {"locked, shown at the right", {SW - W + 10, 3000, W, H}, Out, kOneScreen, true, std::nullopt},
      {"locked, at the top-left corner", {-100, -100, W, H}, Out, kOneScreen, true, std::nullopt},
  };
  Check(cases);
}

TEST(Docking, SeveralMonitorsDockOnlyAtTheWholeDesktopsOuterEdges) {
  const DesktopEdges secondToTheRight{0, 0, 2 * SW};
  const DesktopEdges secondToTheLeft{-SW, 0, SW};
  const DesktopEdges secondAbove{0, -15360, SW};
  const Case cases[] = {
      {"wholly on the right monitor", {25000, 3000, W, H}, Out, secondToTheRight, false, std::nullopt},
      {"across the seam of two monitors", {SW - 1000, 3000, W, H}, Out, secondToTheRight, false, std::nullopt},
      {"at the right monitor's right edge", {2 * SW - W, 3000, W, H}, Out, secondToTheRight, false,
       TwipPoint{2 * SW - 50, 3000}},
      {"on the left monitor, negative left", {-10000, 3000, W, H}, Out, secondToTheLeft, false, std::nullopt},
      {"at the primary's left edge, mid-desktop", {0, 3000, W, H}, Out, secondToTheLeft, false, std::nullopt},
      {"at the left monitor's left edge", {-SW, 3000, W, H}, Out, secondToTheLeft, false,
       TwipPoint{-SW + 50 - W, 3000}},
      {"at the left monitor's left edge, pointer inside", {-SW - 200, 3000, W, H}, In, secondToTheLeft, false,
       TwipPoint{-SW - 10, 3000}},
      {"at the left monitor's top edge", {-10000, 0, W, H}, Out, secondToTheLeft, false, TwipPoint{-10000, 50 - H}},
      {"at the primary's top, below the upper monitor", {3000, 0, W, H}, Out, secondAbove, false, std::nullopt},
      {"at the upper monitor's top edge", {3000, -15360, W, H}, Out, secondAbove, false,
       TwipPoint{3000, -15360 + 50 - H}},
  };
  Check(cases);
}

TEST(Docking, RightEdgeTestAddsInSinglePrecision) {
  // A hair short of the edge: exactly, left + width is 19199.9990234375, which single precision rounds
  // to 19200, so the note docks like the window it came from.
  const float left = SW - W - 1.0f / 1024;
  EXPECT_EQ(DockAtEdge({left, 3000, W, H}, Out, kOneScreen, false), (TwipPoint{SW - 50, 3000}));
  EXPECT_EQ(DockAtEdge({left - 0.01f, 3000, W, H}, Out, kOneScreen, false), std::nullopt);
}

}  // namespace
}  // namespace stickwell::note
