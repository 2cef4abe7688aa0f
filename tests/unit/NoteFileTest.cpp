#include <gtest/gtest.h>

#include <ostream>

#include "note/core/NoteFile.h"

namespace stickwell::note {
namespace {

struct NameCase {
  ClockReading clock;
  int copy;
  const char16_t* fileName;
  const char16_t* caption;
};

void PrintTo(const NameCase& c, std::ostream* out) {
  *out << c.clock.month << "/" << c.clock.day << " " << c.clock.hour << ":" << c.clock.minute << ":" << c.clock.second
       << " copy " << c.copy;
}

class NoteFileNames : public testing::TestWithParam<NameCase> {};

TEST_P(NoteFileNames, NameAndStartTimeFollowTheClock) {
  const NameCase c = GetParam();
  EXPECT_EQ(NoteFileName(c.clock, c.copy), c.fileName);
  EXPECT_EQ(StartTimeCaption(c.clock), c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Clock, NoteFileNames,
    testing::Values(NameCase{{1, 1, 0, 0, 5}, 1, u"1-1 00-00-05.txt", u"1-1 00:00  "},
                    NameCase{{3, 5, 9, 4, 7}, 1, u"3-5 09-04-07.txt", u"3-5 09:04  "},
                    NameCase{{5, 3, 9, 5, 0}, 1, u"5-3 09-05-00.txt", u"5-3 09:05  "},
                    NameCase{{12, 25, 13, 30, 0}, 1, u"12-25 13-30-00.txt", u"12-25 13:30  "},
                    NameCase{{10, 31, 23, 59, 59}, 1, u"10-31 23-59-59.txt", u"10-31 23:59  "},
                    // Later notes of the same second take the next free copy number.
                    NameCase{{1, 1, 0, 0, 5}, 2, u"1-1 00-00-05 (2).txt", u"1-1 00:00  "},
                    NameCase{{12, 25, 13, 30, 0}, 12, u"12-25 13-30-00 (12).txt", u"12-25 13:30  "}));

}  // namespace
}  // namespace stickwell::note
