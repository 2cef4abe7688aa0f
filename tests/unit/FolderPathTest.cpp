#include <gtest/gtest.h>

#include "shared/FolderPath.h"

namespace stickwell {
namespace {

TEST(FolderPath, BackslashOnlyWhenMissing) {
  EXPECT_EQ(JoinFolderPath(u"C:\\Notes", u"1-1 00-00-05.txt"), u"C:\\Notes\\1-1 00-00-05.txt");
  EXPECT_EQ(JoinFolderPath(u"\\\\server\\share\\", u"a.txt"), u"\\\\server\\share\\a.txt");
}

}  // namespace
}  // namespace stickwell
