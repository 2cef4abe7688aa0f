#include <gtest/gtest.h>

#include "note/core/NoteFile.h"

namespace stickwell::note {
namespace {

TEST(NoteFile, NameAndStartTimeFollowTheClock) {
  const struct { ClockReading clock; int copy; std::u16string_view fileName, caption; } cases[] = {
      {{1, 1, 0, 0, 5}, 1, u"1-1 00-00-05.txt", u"1-1 00:00  "},
      {{3, 5, 9, 4, 7}, 1, u"3-5 09-04-07.txt", u"3-5 09:04  "},
      {{12, 25, 13, 30, 0}, 1, u"12-25 13-30-00.txt", u"12-25 13:30  "},
      // Later notes of the same second take the next free copy number.
      {{10, 31, 23, 59, 59}, 12, u"10-31 23-59-59 (12).txt", u"10-31 23:59  "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NoteFileName(c.clock, c.copy), c.fileName);
    EXPECT_EQ(StartTimeCaption(c.clock), c.caption);
  }
}

}  // namespace
}  // namespace stickwell::note
