#include <gtest/gtest.h>

#include <ostream>

#include "note/core/Layout.h"

namespace stickwell::note {

void PrintTo(const NoteGeometry& g, std::ostream* out) {
  *out << g.width << " x " << g.height << ":";
  for (const TwipRect* r : {&g.plusButton, &g.closeButton, &g.title, &g.titleEditor, &g.bodyFrame, &g.body, &g.grip,
                            &g.startTime, &g.sideStrip})
    *out << " (" << r->left << ", " << r->top << ", " << r->width << ", " << r->height << ")";
}

namespace {

// The window as start-up leaves it: shown (which lays it out once), then placed.
NoteGeometry AfterStartup() {
  NoteGeometry g = CreationGeometry();
  FormResize(g);
  PlaceAtStartup(g);
  return g;
}

TEST(Layout, StartupPlacesTheControlsForTheInitialSize) {
  EXPECT_EQ(AfterStartup(), (NoteGeometry{3840, 3990, {0, 0, 255, 375}, {3630, 0, 210, 360}, {255, 90, 3375, 435},
                                          {455, 75, 3175, 285}, {0, 435, 3640, 3355}, {100, 100, 3540, 3355},
                                          {3640, 3790, 200, 200}, {0, 3790, 3640, 200}, {3640, 435, 200, 3355}}));
}

// Never below 3000 x 3000: a side too small is raised alone, a size too small to lay out at all (a
// control would get a negative size) goes back to 3000 x 3000. No upper bound. Every control follows
// the size the window ends at: the grip in the corner, the strips along the frame.
TEST(Layout, TheLeastSizeRule) {
  const struct { float width, height, finalWidth, finalHeight; } cases[] = {
      {3840, 3990, 3840, 3990}, {3000, 3000, 3000, 3000}, {9000, 7000, 9000, 7000}, {2000, 4000, 3000, 4000}, {4000, 2000, 4000, 3000},
      {665, 635, 3000, 3000},   {664, 3500, 3000, 3000},  {3500, 634, 3000, 3000},  {400, 4000, 3000, 3000},
      {5000, 600, 3000, 3000},  {0, 0, 3000, 3000},
  };
  for (const auto& c : cases) {
    NoteGeometry g = AfterStartup();
    g.width = c.width;
    g.height = c.height;
    FormResize(g);
    EXPECT_EQ(g.grip, (TwipRect{c.finalWidth - 200, c.finalHeight - 200, 200, 200})) << c.width << " x " << c.height;
    EXPECT_EQ(g.sideStrip, (TwipRect{g.bodyFrame.width, 435, 200, c.finalHeight - 635})) << c.width << " x " << c.height;
    EXPECT_EQ(g.closeButton.left + g.closeButton.width, g.width);
    EXPECT_EQ(g.width, c.finalWidth);
    EXPECT_EQ(g.height, c.finalHeight);
  }
}

}  // namespace
}  // namespace stickwell::note
