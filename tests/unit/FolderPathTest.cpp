#include <gtest/gtest.h>

#include "shared/FolderPath.h"
#include "shared/Twips.h"

namespace stickwell {
namespace {

TEST(FolderPath, BackslashOnlyWhenMissing) {
  EXPECT_EQ(JoinFolderPath(u"C:\\Notes", u"1-1 00-00-05.txt"), u"C:\\Notes\\1-1 00-00-05.txt");
  EXPECT_EQ(JoinFolderPath(u"C:\\", u"Stickwell.exe"), u"C:\\Stickwell.exe");
  EXPECT_EQ(JoinFolderPath(u"\\\\server\\share\\", u"a.txt"), u"\\\\server\\share\\a.txt");
}

TEST(Twips, PixelsFollowTheDpi) {
  // The note's start size: 3840 x 3990 twips is 256 x 266 pixels at 100 %, 384 x 399 at 150 %.
  EXPECT_EQ(TwipsToPixels(3840, 96), 256);
  EXPECT_EQ(TwipsToPixels(3990, 96), 266);
  EXPECT_EQ(TwipsToPixels(3840, 144), 384);
  EXPECT_EQ(TwipsToPixels(3990, 144), 399);
  EXPECT_FLOAT_EQ(PixelsToTwips(200, 96), 3000.0f);
  EXPECT_FLOAT_EQ(PixelsToTwips(3, 144), 30.0f);
  EXPECT_EQ(PointsToPixels(10.5, 96), 14);
}

}  // namespace
}  // namespace stickwell
