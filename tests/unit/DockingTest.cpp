#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "note/core/Docking.h"

namespace stickwell::note {

void PrintTo(const TwipPoint& p, std::ostream* out) { *out << "(" << p.left << ", " << p.top << ")"; }

namespace {

constexpr float W = 3840, H = 3990;  // the note's size at start
constexpr float SW = 19200;          // a 1280-pixel screen at 96 dpi
constexpr DesktopEdges kOne{0, 0, SW}, kRightOfIt{0, 0, 2 * SW}, kLeftOfIt{-SW, 0, SW};
constexpr auto In = PointerPlace::Inside, Out = PointerPlace::Outside, Border = PointerPlace::OnBorder;

// Shown, a docked note lies ten twips over its edge; hidden, fifty twips of it stay on the desktop.
// The right edge goes before the top and the top before the left; the bottom never docks; a locked
// note never moves; with several monitors only the whole desktop's outer edges dock.
TEST(Docking, WhereTheNoteGoesAtTheDesktopsEdges) {
  const struct { const char* what; WindowTwips window; PointerPlace pointer; DesktopEdges desktop; bool locked; std::optional<TwipPoint> to; } cases[] = {
      {"free in the middle", {3000, 3000, W, H}, Out, kOne, false, std::nullopt},
      {"at the right, pointer on it", {SW - W, 3000, W, H}, In, kOne, false, TwipPoint{SW - W + 10, 3000}},
      {"at the right, pointer away", {SW - W, 3000, W, H}, Out, kOne, false, TwipPoint{SW - 50, 3000}},
      {"one twip short of the right", {SW - W - 1, 3000, W, H}, Out, kOne, false, std::nullopt},
      {"pointer on the border hides it", {SW - W + 10, 3000, W, H}, Border, kOne, false, TwipPoint{SW - 50, 3000}},
      {"at the top, pointer on it", {3000, 0, W, H}, In, kOne, false, TwipPoint{3000, -10}},
      {"at the top, pointer away", {3000, 0, W, H}, Out, kOne, false, TwipPoint{3000, 50 - H}},
      {"at the left, pointer away", {0, 3000, W, H}, Out, kOne, false, TwipPoint{50 - W, 3000}},
      {"at the left, pointer on it", {0, 3000, W, H}, In, kOne, false, TwipPoint{-10, 3000}},
      {"hidden at the right, pointer on the strip", {SW - 50, 3000, W, H}, In, kOne, false, TwipPoint{SW - W + 10, 3000}},
      {"hidden at the top, pointer on the strip", {3000, 50 - H, W, H}, In, kOne, false, TwipPoint{3000, -10}},
      {"hidden at the left, pointer on the strip", {50 - W, 3000, W, H}, In, kOne, false, TwipPoint{-10, 3000}},
      {"hidden at the left, pointer still away", {50 - W, 3000, W, H}, Out, kOne, false, TwipPoint{50 - W, 3000}},
      {"top-left corner docks at the top", {-100, -100, W, H}, Out, kOne, false, TwipPoint{-100, 50 - H}},
      {"top-right corner docks at the right", {16000, -100, W, H}, Out, kOne, false, TwipPoint{SW - 50, -100}},
      {"below the bottom", {3000, 20000, W, H}, Out, kOne, false, std::nullopt},
      {"locked at the right", {SW - W + 10, 3000, W, H}, Out, kOne, true, std::nullopt},
      {"at the right monitor's right edge", {2 * SW - W, 3000, W, H}, Out, kRightOfIt, false, TwipPoint{2 * SW - 50, 3000}},
      {"at the primary's left, mid-desktop", {0, 3000, W, H}, Out, kLeftOfIt, false, std::nullopt},
      {"at the left monitor's left edge", {-SW, 3000, W, H}, Out, kLeftOfIt, false, TwipPoint{-SW + 50 - W, 3000}},
  };
  for (const auto& c : cases) EXPECT_EQ(DockAtEdge(c.window, c.pointer, c.desktop, c.locked), c.to) << c.what;
}

}  // namespace
}  // namespace stickwell::note
