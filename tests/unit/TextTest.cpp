#include <gtest/gtest.h>

#include <random>
#include <string>

#include "shared/Text.h"

namespace stickwell {
namespace {

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (unsigned value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::u16string text;
};

TEST(Utf8ToText, DecodesLikeTheWindowsConverter) {
  const std::u16string fffd(1, u'\uFFFD');
  const DecodeCase cases[] = {
      {"empty", "", u""},
      {"ascii", "Ver", u"Ver"},
      {"push marker, 15 bytes", "\xE6\xB6\x88\xE6\x81\xAF\xE6\x8E\xA8\xE9\x80\x81\xEF\xBC\x9A", u"消息推送："},
      {"byte-order mark kept", "\xEF\xBB\xBFVer", u"\uFEFFVer"},
      {"two-byte", "\xC2\xA0\xDF\xBF", u"\u00A0\u07FF"},
      {"three-byte limits", "\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF", u"\u0800\uD7FF\uE000\uFFFF"},
      {"beyond U+FFFF as a pair", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"\U0001F600\U0010FFFF"},
      {"NUL is a character", Bytes({'a', 0, 'b'}), std::u16string(u"a\0b", 3)},
      // The example of the Unicode standard's "best practice" table: one U+FFFD per maximal subpart.
      {"maximal subparts",
       Bytes({0x61, 0xF1, 0x80, 0x80, 0xE1, 0x80, 0xC2, 0x62, 0x80, 0x63, 0x80, 0xBF, 0x64}),
       u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
      {"overlong two-byte", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"overlong four-byte", "\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80\xED\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80\xF5\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"bytes that never occur", "\xFE\xFF", u"\uFFFD\uFFFD"},
      {"truncated at the end", "ab\xE4\xB8", u"ab\uFFFD"},
      {"truncated four-byte at the end", "\xF0\x9F\x98", fffd},
      {"lead cut short by ascii", "\xE4\xB8<p>", u"\uFFFD<p>"},
      {"lead cut short by a lead", "\xE4\xE4\xB8\x80", u"\uFFFD\u4E00"},
      {"stray continuation", "\x80\xBF", u"\uFFFD\uFFFD"},
      // Around the eight-byte ascii runs.
      {"non-ascii as 8th byte", "1234567\xE4\xB8\x80x", u"1234567\u4E00x"},
      {"non-ascii as 9th byte", "12345678\xC2\xA0", u"12345678\u00A0"},
      {"ascii after a character", "\xC2\xA0" "123456789abcdef", u"\u00A0" u"123456789abcdef"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToText(c.bytes), c.text) << c.what;
}

struct RemoveCase {
  std::u16string text;
  std::u16string pattern;
  std::u16string result;
};

TEST(RemoveAll, RepeatsUntilNoneIsLeft) {
  // Worked examples, and what the random test below cannot reach: other letters, case, an empty pattern.
  const RemoveCase cases[] = {
      {u"<p>a</p><p>b</p>", u"</p>", u"<p>a<p>b"},
      {u"aabb", u"ab", u""},                            // a removal makes a new occurrence
      {u"<p>a</P>", u"</p>", u"<p>a</P>"},              // case matters
      {u"abc", u"", u"abc"},                            // empty pattern: nothing to do
      // A self-overlapping pattern: each pass removes left to right without overlaps, then looks again.
      {u"aabababa", u"aba", u"ab"},
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    RemoveAll(text, c.pattern);
    EXPECT_EQ(text, c.result) << "removing " << testing::PrintToString(c.pattern) << " from "
                              << testing::PrintToString(c.text);
  }
}

// The rule as written, one full pass after the other, to hold the quicker single pass against.
std::u16string RemoveInPasses(std::u16string text, std::u16string_view pattern) {
  while (text.find(pattern) != std::u16string::npos) {
    std::u16string rest;
    std::size_t from = 0;
    for (std::size_t hit = text.find(pattern); hit != std::u16string::npos; hit = text.find(pattern, from)) {
      rest.append(text, from, hit - from);
      from = hit + pattern.size();
    }
    text = rest + text.substr(from);
  }
  return text;
}

TEST(RemoveAll, AgreesWithRepeatedPassesOnRandomText) {
  std::mt19937 random(20130420);
  auto randomText = [&](std::size_t maxLength, char16_t letters) {
    std::u16string text(random() % (maxLength + 1), u'a');
    for (auto& c : text) c = static_cast<char16_t>(u'a' + random() % letters);
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    const char16_t letters = round % 2 ? 2 : 3;
    std::u16string pattern = randomText(5, letters);
    if (pattern.empty()) pattern = u"ab";
    std::u16string text = randomText(40, letters);
    const std::u16string expected = RemoveInPasses(text, pattern);
    RemoveAll(text, pattern);
    ASSERT_EQ(text, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace stickwell
