#include <gtest/gtest.h>

#include <map>

#include "note/core/NoteRecord.h"

namespace stickwell::note {
namespace {

// A small stand-in for the Chinese code page: ASCII and the characters used here, with their real GBK
// bytes; anything else is a character the code page lacks.
class FakeGbk : public AnsiEncoder {
 public:
  std::optional<std::string> encode(std::u16string_view text) const override {
    static const std::map<char16_t, std::string> table = {
        {u'标', "\xB1\xEA"}, {u'题', "\xCC\xE2"}, {u'内', "\xC4\xDA"}, {u'容', "\xC8\xDD"}, {u'牛', "\xC5\xA3"}};
    std::string bytes;
    for (char16_t ch : text) {
      const auto found = table.find(ch);
      if (ch >= 0x80 && found == table.end()) return std::nullopt;
      bytes += ch < 0x80 ? std::string(1, static_cast<char>(ch)) : found->second;
    }
    return bytes;
  }
};

const std::string kTitle = "\xB1\xEA\xCC\xE2:", kBody = "\xC4\xDA\xC8\xDD:";  // 标题: and 内容:
const std::string kUtf8Mark = "\xEF\xBB\xBF", kUtf8Title = "\xE6\xA0\x87\xE9\xA2\x98:";
const std::string kUtf8Body = "\xE5\x86\x85\xE5\xAE\xB9:";

// In the code page whenever it holds the whole note; otherwise UTF-8 after a byte-order mark, which
// keeps every character (an emoji, a CJK extension character, a lone surrogate as U+FFFD).
TEST(NoteRecord, RecordIsWrittenByteForByte) {
  const struct { const char* what; std::u16string title, body; std::string bytes; } cases[] = {
      {"empty", u"", u"", kTitle + "\r\n\r\n" + kBody + "\r\n\r\n"},
      {"two-line body", u"x", u"a\r\nb", kTitle + "x\r\n\r\n" + kBody + "\r\na\r\nb\r\n"},
      {"Chinese", u"牛", u"milk\r\n", kTitle + "\xC5\xA3\r\n\r\n" + kBody + "\r\nmilk\r\n\r\n"},
      {"emoji in the title", u"\U0001F600", u"a\u3400",
       kUtf8Mark + kUtf8Title + "\xF0\x9F\x98\x80\r\n\r\n" + kUtf8Body + "\r\na\xE3\x90\x80\r\n"},
      {"lone surrogate", u"", std::u16string{u'a', char16_t(0xD83D)},
       kUtf8Mark + kUtf8Title + "\r\n\r\n" + kUtf8Body + "\r\na\xEF\xBF\xBD\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(NoteFileBytes(NoteRecordText(c.title, c.body), FakeGbk()), c.bytes) << c.what;
}

}  // namespace
}  // namespace stickwell::note
