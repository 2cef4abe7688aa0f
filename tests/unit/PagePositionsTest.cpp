#include <gtest/gtest.h>

#include "shared/PagePositions.h"

namespace stickwell::page {
namespace {

TEST(PagePositions, SearchCountsFromOneAndAnswersZeroWhenAbsent) {
  struct Case {
    std::u16string_view text, marker;
    Position start;
    std::optional<Position> found;
  } const cases[] = {
      {u"aVerbVer", u"Ver", 1, 2},
      {u"aVerbVer", u"Ver", 2, 2},
      {u"aVerbVer", u"Ver", 3, 6},
      {u"aVerbVer", u"Ver", 7, 0},
      {u"aVerbVer", u"Ver", 8, 0},
      {u"aVerbVer", u"Ver", 99, 0},        // beyond the end: nothing found, not a failure
      {u"aVerbVer", u"ver", 1, 0},         // case matters
      {u"aVerbVer", u"Ver", 0, std::nullopt},  // a search from position 0 cannot be made
      {u"aVerbVer", u"Ver", -5, std::nullopt},
      {u"", u"Ver", 1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindFrom(c.text, c.marker, c.start), c.found) << "start " << c.start;
  }
  EXPECT_EQ(Find(u"消息推送：开", u"开"), 6);
  EXPECT_EQ(Find(u"消息推送：", u"开"), 0);
}

TEST(PagePositions, CutTakesWhatIsThereAndFailsBelowOneOrOnNegativeLength) {
  struct Case {
    Position start, length;
    std::optional<std::u16string_view> cut;
  } const cases[] = {
      {1, 3, u"abc"},  {2, 2, u"bc"},  {4, 5, u"def"},  {6, 1, u"f"},  {7, 1, u""},
      {99, 4, u""},    {3, 0, u""},    {0, 2, std::nullopt}, {-1, 2, std::nullopt}, {2, -1, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cut(u"abcdef", c.start, c.length), c.cut) << "start " << c.start << " length " << c.length;
  }
  EXPECT_EQ(LastChars(u"Ver13.04.21", 8), u"13.04.21");
  EXPECT_EQ(LastChars(u"Ver1.0", 8), u"Ver1.0");
}

}  // namespace
}  // namespace stickwell::page
