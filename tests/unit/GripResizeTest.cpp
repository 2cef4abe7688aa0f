#include <gtest/gtest.h>

#include <optional>

#include "note/core/GripResize.h"

namespace stickwell::note {
namespace {

TEST(GripResize, ASideIsProposedOnlyAbove500Twips) {
  EXPECT_EQ(GripProposal(5000, -4600), std::nullopt);  // 400
  EXPECT_EQ(GripProposal(5000, -4500), std::nullopt);  // exactly 500
  EXPECT_EQ(GripProposal(5000, -4485), 515.f);         // the layout then makes it 3000
  EXPECT_EQ(GripProposal(5000, -3000), 2000.f);
  EXPECT_EQ(GripProposal(5000, 1000), 6000.f);
  EXPECT_EQ(GripProposal(3000, 0.5f), 3000.5f) << "single precision, no rounding of its own";
}

}  // namespace
}  // namespace stickwell::note
