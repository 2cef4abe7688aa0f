#include <gtest/gtest.h>

#include <map>

#include "note/core/NoteRecord.h"

namespace stickwell::note {
namespace {

// A small stand-in for the Chinese code page: ASCII and the characters these tests use, with their
// real GBK bytes; anything else is a character the code page lacks.
class FakeGbk : public AnsiEncoder {
 public:
  std::optional<std::string> encode(std::u16string_view text) const override {
    static const std::map<char16_t, std::string> table = {
        {u'标', "\xB1\xEA"}, {u'题', "\xCC\xE2"}, {u'内', "\xC4\xDA"}, {u'容', "\xC8\xDD"},
        {u'牛', "\xC5\xA3"}, {u'奶', "\xC4\xCC"}};
    std::string bytes;
    for (char16_t ch : text) {
      if (ch < 0x80) {
        bytes += static_cast<char>(ch);
        continue;
      }
      const auto found = table.find(ch);
      if (found == table.end()) return std::nullopt;
      bytes += found->second;
    }
    return bytes;
  }
};

const std::string kTitlePrefix = "\xB1\xEA\xCC\xE2:";  // 标题:
const std::string kBodyPrefix = "\xC4\xDA\xC8\xDD:";   // 内容:

TEST(NoteRecord, RecordIsWrittenByteForByteInTheCodePage) {
  const struct {
    const char* name;
    std::u16string title, body;
    std::string bytes;
  } cases[] = {
      {"empty", u"", u"", kTitlePrefix + "\r\n\r\n" + kBodyPrefix + "\r\n\r\n"},
      {"two-line body", u"", u"a\r\nb", kTitlePrefix + "\r\n\r\n" + kBodyPrefix + "\r\na\r\nb\r\n"},
      {"one-letter title", u"x", u"", kTitlePrefix + "x\r\n\r\n" + kBodyPrefix + "\r\n\r\n"},
      {"Chinese", u"牛奶", u"milk\r\n", kTitlePrefix + "\xC5\xA3\xC4\xCC\r\n\r\n" + kBodyPrefix + "\r\nmilk\r\n\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(NoteFileBytes(NoteRecordText(c.title, c.body), FakeGbk()), c.bytes) << c.name;
}

TEST(NoteRecord, TextTheCodePageLacksIsKeptAsUtf8WithAByteOrderMark) {
  // U+1F600 (an emoji) and U+3400 (a CJK extension character outside GBK) would be lost in the code page.
  const std::string expected = std::string("\xEF\xBB\xBF") + "\xE6\xA0\x87\xE9\xA2\x98:" + "\xF0\x9F\x98\x80" +
                               "\r\n\r\n\xE5\x86\x85\xE5\xAE\xB9:\r\n" + "a\xE3\x90\x80" + "\r\n";
  EXPECT_EQ(NoteFileBytes(NoteRecordText(u"\U0001F600", u"a\u3400"), FakeGbk()), expected);
}

TEST(NoteRecord, OneLostCharacterAnywhereDecidesForUtf8) {
  EXPECT_EQ(NoteFileBytes(NoteRecordText(u"牛奶", u"\u00E9"), FakeGbk()).substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(NoteFileBytes(NoteRecordText(u"\u00E9", u"牛奶"), FakeGbk()).substr(0, 3), "\xEF\xBB\xBF");
}

TEST(NoteRecord, Utf8EncodesEveryRange) {
  EXPECT_EQ(EncodeUtf8(u"A\u00E9\u6C34\U0001F600"), "A\xC3\xA9\xE6\xB0\xB4\xF0\x9F\x98\x80");
  // A lone half of a surrogate pair has no UTF-8 form: it becomes the replacement character.
  EXPECT_EQ(EncodeUtf8(std::u16string{u'a', char16_t(0xD83D), u'b'}), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(EncodeUtf8(std::u16string{char16_t(0xDE00)}), "\xEF\xBF\xBD");
  EXPECT_EQ(EncodeUtf8(u""), "");
}

}  // namespace
}  // namespace stickwell::note
