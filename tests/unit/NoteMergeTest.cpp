#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "note/core/NoteMerge.h"

namespace stickwell::note {

void PrintTo(const NoteText& note, std::ostream* out) {
  using testing::PrintToString;
  *out << "{title " << PrintToString(note.title) << ", editor " << PrintToString(note.titleEditor) << ", body "
       << PrintToString(note.body) << "}";
}

namespace {

TEST(NoteMerge, LinesEndAtCrLfOrALoneCr) {
  const std::pair<std::u16string_view, std::vector<std::u16string>> cases[] = {
      {u"", {}}, {u"a\r\nb", {u"a", u"b"}}, {u"\r\n", {u""}}, {u"a\r\n\r\n", {u"a", u""}}, {u"a\r\rb\r", {u"a", u"", u"b"}},
      {u"a\r\r\nb", {u"a", u"", u"b"}}, {u"a\nb\n", {u"a\nb\n"}}, {u"\n\r\n", {u"\n"}}};
  for (const auto& [text, lines] : cases) EXPECT_EQ(SplitLines(text), lines) << testing::PrintToString(text);
}

TEST(NoteMerge, TakesTheTitleAndAppendsTheBodyLines) {
  const struct { const char* what; NoteText before; std::u16string_view file; NoteText after; } cases[] = {
      {"into an empty note", {u"", u"", u""}, u"标题:Shopping\r\n\r\n内容:\r\nmilk\r\nbread\r\n",
       {u"Shopping", u"Shopping", u"milk\r\nbread"}},
      {"after the body", {u"Old", u"typed", u"old"}, u"标题:Shopping\r\n\r\n内容:\r\nmilk\r\n",
       {u"Shopping", u"Shopping", u"old\r\nmilk"}},
      {"no file picked", {u"T", u"E", u"\r\n\r\nold\r\n"}, u"", {u"T", u"E", u"old\r\n"}},
      {"a line 1 shorter than the prefix", {u"T", u"E", u""}, u"ab\r\n\r\n内容:\r\nx", {u"T", u"E", u"x"}},
      {"prefixes are not checked", {u"", u"", u""}, u"abcdef\r\nzz\r\nzz\r\nx", {u"def", u"def", u"x"}},
      {"an empty note's file after a body", {u"T", u"E", u"old"}, u"标题:\r\n\r\n内容:\r\n\r\n", {u"", u"", u"old\r\n"}},
      {"empty lines inside the body", {u"", u"", u""}, u"标题:T\r\n\r\n内容:\r\n\r\nA\r\n\r\nB\r\n",
       {u"T", u"T", u"A\r\n\r\nB"}},
  };
  for (const auto& c : cases) {
    NoteText note = c.before;
    MergeOpenedNote(note, SplitLines(c.file));
    EXPECT_EQ(note, c.after) << c.what;
  }
}

// Decodes one byte per character, so the tests can tell which decoder ran.
std::u16string Latin1(std::string_view bytes) {
  std::u16string text;
  for (unsigned char b : bytes) text += static_cast<char16_t>(b);
  return text;
}

TEST(NoteMerge, ReadsUtf8AfterAByteOrderMarkTheCodePageOtherwiseAndNothingWithANul) {
  EXPECT_EQ(OpenedFileText("\xEF\xBB\xBF\xE6\xA0\x87\xF0\x9F\x98\x80", Latin1), u"标\U0001F600");
  EXPECT_EQ(OpenedFileText("\xB1\xEA\xCC\xE2:", Latin1), u"\u00B1\u00EA\u00CC\u00E2:");
  EXPECT_EQ(OpenedFileText("\xEF\xBB", Latin1), u"\u00EF\u00BB") << "half a mark is no mark";
  // A UTF-16 file, for instance: the note's text boxes would cut the text at its first NUL.
  EXPECT_EQ(OpenedFileText(std::string("a\r\0\n\0b", 6), Latin1), std::nullopt);
  EXPECT_EQ(OpenedFileText(std::string("\xEF\xBB\xBF" "a\0", 5), Latin1), std::nullopt);
}

}  // namespace
}  // namespace stickwell::note
