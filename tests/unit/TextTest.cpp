#include <gtest/gtest.h>

#include <string>

#include "shared/Text.h"

namespace stickwell {
namespace {

// The fuzzer holds the decoder against a byte-by-byte reference on any input; these are the cases a
// reader of a page would name.
TEST(Utf8ToText, DecodesLikeTheWindowsConverter) {
  const struct {
    const char* what;
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"empty", "", u""},
      {"push marker, 15 bytes", "\xE6\xB6\x88\xE6\x81\xAF\xE6\x8E\xA8\xE9\x80\x81\xEF\xBC\x9A", u"消息推送："},
      {"byte-order mark kept", "\xEF\xBB\xBFVer", u"\uFEFFVer"},
      {"beyond U+FFFF as a pair", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"\U0001F600\U0010FFFF"},
      // The example of the Unicode standard's "best practice" table: one U+FFFD per maximal subpart.
      {"maximal subparts", "a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d", u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
      {"truncated at the end", "ab\xE4\xB8", u"ab\uFFFD"},
      {"lead cut short by ascii", "\xE4\xB8<p>", u"\uFFFD<p>"},
      {"non-ascii as 8th byte of a run", "1234567\xE4\xB8\x80x", u"1234567\u4E00x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToText(c.bytes), c.text) << c.what;
}

TEST(TextToUtf8, EncodesAndReplacesHalfPairs) {
  EXPECT_EQ(TextToUtf8(u"\u00A0\u4E00\U0010FFFF"), "\xC2\xA0\xE4\xB8\x80\xF4\x8F\xBF\xBF");
  EXPECT_EQ(TextToUtf8(u"a\xD83Dz\xDE00"), "a\xEF\xBF\xBDz\xEF\xBF\xBD");  // as a cut can leave them
}

// FindText reads four units at a time: a unit in any of the four places, in the units left over at
// the end, one that is another's bytes swapped, and units with the high bit set.
TEST(FindText, AnswersWhatFindAnswers) {
  const std::u16string text = u"ab<p>c\u3C00\u8000\uFFFF<p\u8000<<p>x<";
  for (const std::u16string pattern : {u"<p>", u"<", u"\u3C00", u"\u8000", u"\uFFFF<p", u"<p>x<", u"<p>x<<", u"", u"\u0000"}) {
    for (std::size_t from = 0; from <= text.size() + 1; ++from) {
      EXPECT_EQ(FindText(text, pattern, from), std::u16string_view(text).find(pattern, from))
          << testing::PrintToString(pattern) << " from " << from;
    }
  }
}

// The fuzzer holds RemoveAll against the rule done in full passes on any input.
TEST(RemoveAll, RepeatsUntilNoneIsLeft) {
  const struct {
    std::u16string text, pattern, result;
  } cases[] = {
      {u"<p>a</p><p>b</p>", u"</p>", u"<p>a<p>b"},
      {u"aabb", u"ab", u""},                // a removal makes a new occurrence
      {u"<p>a</P>", u"</p>", u"<p>a</P>"},  // case matters
      {u"abc", u"", u"abc"},                // empty pattern: nothing to do
      {u"aabababa", u"aba", u"ab"},         // overlapping: left to right, then again
      // Removal works inside the text in one pass, closing each join it makes.
      {u"x</sp</span>an>y</p></p>", u"</span>", u"xy</p></p>"},  // a join closed at once
      {u"xaaabbby", u"ab", u"xy"},                               // joins closing one inside another
      {u"ab<pa<p>>b", u"<p>", u"ab<pa>b"},                        // a join that does not close
      {u"abab", u"ab", u""},                                     // nothing kept at either end
      {u"ababaabab", u"aba", u"bab"},                            // overlapping, in place over passes
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    RemoveAll(text, c.pattern);
    EXPECT_EQ(text, c.result) << testing::PrintToString(c.text);
  }
}

}  // namespace
}  // namespace stickwell
