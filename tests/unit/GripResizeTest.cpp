#include <gtest/gtest.h>

#include <optional>

#include "note/core/GripResize.h"
#include "note/core/Layout.h"

namespace stickwell::note {
namespace {

// The window's width after one grip move, the layout pass included.
float WidthAfterMove(float width, float x) {
  NoteGeometry g = CreationGeometry();
  g.width = width;
  g.height = 5000;
  FormResize(g);
  if (const std::optional<float> proposed = GripProposal(g.width, x)) {
    g.width = *proposed;
    FormResize(g);
  }
  return g.width;
}

TEST(GripResize, ASideIsProposedOnlyAbove500TwipsAndTheLayoutKeepsTheLeastSize) {
  EXPECT_EQ(GripProposal(5000, -4600), std::nullopt);  // 400
  EXPECT_EQ(GripProposal(5000, -4500), std::nullopt);  // exactly 500
  EXPECT_EQ(GripProposal(5000, -4485), 515.f);
  EXPECT_EQ(GripProposal(5000, -3000), 2000.f);
  EXPECT_EQ(GripProposal(5000, 1000), 6000.f);
  EXPECT_EQ(GripProposal(3000, 0.5f), 3000.5f) << "single precision, no rounding of its own";

  EXPECT_EQ(WidthAfterMove(5000, -4600), 5000.f);
  EXPECT_EQ(WidthAfterMove(5000, -3000), kDefaultNoteSide);
  EXPECT_EQ(WidthAfterMove(5000, 1000), 6000.f);
}

}  // namespace
}  // namespace stickwell::note
