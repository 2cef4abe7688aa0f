#include <gtest/gtest.h>

#include "tools/PageTool.h"
#include "tools/Utf8Out.h"

namespace stickwell::page {
namespace {

TEST(PageToolOutput, JsonStringsEscapeWhatJsonRequires) {
  const struct {
    std::u16string text;
    std::string json;
  } cases[] = {
      {u"", "\"\""},
      {u"a\"b\\c", "\"a\\\"b\\\\c\""},
      {u"1\r\n2\t", "\"1\\r\\n2\\t\""},
      {std::u16string(u"\0\x1F\x7F", 3), "\"\\u0000\\u001f\x7F\""},
      {u"开/", "\"\xE5\xBC\x80/\""},
      {u"\U0001F389", "\"\xF0\x9F\x8E\x89\""},
      {u"a\xD83D", "\"a\\ud83d\""},  // half of a pair, as a cut can leave it
      {u"\xDE00z", "\"\\ude00z\""},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.text), c.json);
  EXPECT_EQ(TextToUtf8(u"a\xD83Dz"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(TextToUtf8(u"\u00A0\u4E00\U0010FFFF"), "\xC2\xA0\xE4\xB8\x80\xF4\x8F\xBF\xBF");
}

TEST(PageToolArguments, FileAndOptions) {
  using Arguments = std::vector<std::string>;
  const struct {
    Arguments arguments;
    bool share, json;
    std::string file;
  } good[] = {
      {{"page.html"}, false, false, "page.html"},
      {{"--json", "page.html"}, false, true, "page.html"},
      {{"--share", "--json", "s.html"}, true, true, "s.html"},
      {{"--json", "--share", "s.html"}, true, true, "s.html"},
      {{"--share", "s.html"}, true, false, "s.html"},
      {{"--", "--json"}, false, false, "--json"},
      {{"-"}, false, false, "-"},
  };
  for (const auto& c : good) {
    const auto parsed = ParsePageToolArguments(c.arguments);
    ASSERT_TRUE(std::holds_alternative<PageToolRequest>(parsed)) << c.arguments[0];
    const auto& request = std::get<PageToolRequest>(parsed);
    EXPECT_EQ(request.sharePage, c.share);
    EXPECT_EQ(request.json, c.json);
    EXPECT_EQ(request.file, c.file);
  }
}

TEST(PageToolArguments, FileBytesAreDecodedAsTheProgramsDecodeThem) {
  PageToolRequest request;
  request.json = true;
  request.sharePage = true;
  // A byte-order mark, "保存至网盘" and an address with an entity and a byte that is not UTF-8.
  const std::string sharePage =
      "\xEF\xBB\xBF\xE4\xBF\x9D\xE5\xAD\x98\xE8\x87\xB3\xE7\xBD\x91\xE7\x9B\x98 href=\"a&amp;b\xFF\" id=\"";
  EXPECT_EQ(PageToolOutput(request, sharePage, nullptr), "{\"direct\": \"a&b\xEF\xBF\xBD\"}\n");
}

}  // namespace
}  // namespace stickwell::page
