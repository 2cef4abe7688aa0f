#include <gtest/gtest.h>

#include <ostream>
#include <utility>

#include "note/core/Layout.h"

namespace stickwell::note {

void PrintTo(const TwipRect& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << ")";
}

void PrintTo(const NoteGeometry& g, std::ostream* out) {
  *out << g.width << " x " << g.height;
  const std::pair<const char*, const TwipRect*> controls[] = {
      {"plusButton", &g.plusButton}, {"closeButton", &g.closeButton}, {"title", &g.title}, {"titleEditor", &g.titleEditor}, {"bodyFrame", &g.bodyFrame},
      {"body", &g.body},   {"grip", &g.grip}, {"startTime", &g.startTime}, {"sideStrip", &g.sideStrip}};
  for (const auto& [name, rect] : controls) *out << "\n  " << name << " " << testing::PrintToString(*rect);
}

namespace {

// Every control after a layout pass at W x H, with "+" and the title where start-up left them.
NoteGeometry LaidOut(float w, float h) {
  NoteGeometry g;
  g.width = w;
  g.height = h;
  g.plusButton = {0, 0, 255, 375};
  g.closeButton = {w - 210, 0, 210, 360};
  g.title = {255, 90, w - 465, 435};
  g.titleEditor = {455, 75, w - 665, 285};
  g.bodyFrame = {0, 435, w - 100, h - 635};
  g.body = {100, 100, w - 200, h - 635};
  g.grip = {w - 200, h - 200, 200, 200};
  g.startTime = {0, h - 200, w - 200, 200};
  g.sideStrip = {w - 100, 435, 200, h - 635};
  return g;
}

// The window as start-up leaves it: shown (which lays it out once), then placed.
NoteGeometry AfterStartup() {
  NoteGeometry g = CreationGeometry();
  FormResize(g);
  PlaceAtStartup(g);
  return g;
}

TEST(Layout, StartupPlacesTheControlsForTheInitialSize) {
  NoteGeometry expected;
  expected.width = 3840;
  expected.height = 3990;
  expected.plusButton = {0, 0, 255, 375};
  expected.closeButton = {3630, 0, 210, 360};
  expected.title = {255, 90, 3375, 435};
  expected.titleEditor = {455, 75, 3175, 285};
  expected.bodyFrame = {0, 435, 3640, 3355};
  expected.body = {100, 100, 3540, 3355};
  expected.grip = {3640, 3790, 200, 200};
  expected.startTime = {0, 3790, 3640, 200};
  expected.sideStrip = {3640, 435, 200, 3355};
  EXPECT_EQ(AfterStartup(), expected);
}

TEST(Layout, DefaultSizeMatchesTheWorkedExample) {
  NoteGeometry g = AfterStartup();
  g.width = 3000;
  g.height = 3000;
  EXPECT_EQ(FormResize(g), 1) << "3000 x 3000 needs no size change";
  EXPECT_EQ(g.closeButton.left, 2790);
  EXPECT_EQ(g.title, (TwipRect{255, 90, 2535, 435}));
  EXPECT_EQ(g.titleEditor, (TwipRect{455, 75, 2335, 285}));
  EXPECT_EQ(g.bodyFrame, (TwipRect{0, 435, 2900, 2365}));
  EXPECT_EQ(g.body, (TwipRect{100, 100, 2800, 2365}));
  EXPECT_EQ(g.startTime, (TwipRect{0, 2800, 2800, 200}));
  EXPECT_EQ(g.sideStrip, (TwipRect{2900, 435, 200, 2365}));
  EXPECT_EQ(g.grip, (TwipRect{2800, 2800, 200, 200}));
}

struct ResizeCase {
  float width, height;            // the size the window was given
  float finalWidth, finalHeight;  // the size the layout pass leaves
};

TEST(Layout, EndsAtTheMinimumSizeRuleWithTheTableForTheFinalSize) {
  const ResizeCase cases[] = {
      {3840, 3990, 3840, 3990},  // the start size: unchanged
      {3000, 3000, 3000, 3000},  // the default size
      {9000, 7000, 9000, 7000},  // no upper bound
      {2000, 4000, 3000, 4000},  // too narrow: widened only
      {4000, 2000, 4000, 3000},  // too low: heightened only
      {665, 635, 3000, 3000},    // zero-sized editor and frame
      {664, 3500, 3000, 3000},   // editor width would be -1
      {3500, 634, 3000, 3000},   // frame height would be -1
      {400, 4000, 3000, 3000},   // title width negative
      {500, 5000, 3000, 3000},   // height reset too
      {5000, 600, 3000, 3000},   // width reset too
      {0, 0, 3000, 3000},
  };
  for (const ResizeCase& c : cases) {
    NoteGeometry g = AfterStartup();
    g.width = c.width;
    g.height = c.height;
    FormResize(g);
    EXPECT_EQ(g, LaidOut(c.finalWidth, c.finalHeight)) << c.width << " x " << c.height;
  }
}

TEST(Layout, EveryControlFollowsASequenceOfSizes) {
  NoteGeometry g = AfterStartup();
  const ResizeCase steps[] = {{5000, 6000, 5000, 6000}, {500, 5000, 3000, 3000}, {6000, 3100, 6000, 3100},
                              {2999, 2999, 3000, 3000}, {3840, 3990, 3840, 3990}};
  for (const ResizeCase& step : steps) {
    g.width = step.width;
    g.height = step.height;
    FormResize(g);
    SCOPED_TRACE(testing::Message() << step.width << " x " << step.height);
    EXPECT_EQ(g, LaidOut(step.finalWidth, step.finalHeight));
  }
}

}  // namespace
}  // namespace stickwell::note
