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

// Decodes one byte per character, so tests can tell which decoder ran.
std::u16string Latin1(std::string_view bytes) {
  std::u16string text;
  for (unsigned char b : bytes) text += static_cast<char16_t>(b);
  return text;
}

NoteText Opened(NoteText note, std::u16string_view file) {
  const std::vector<std::u16string> lines = SplitLines(file);
  MergeOpenedNote(note, lines);
  return note;
}

TEST(NoteMerge, LinesEndAtCrLfOrALoneCr) {
  const std::pair<std::u16string_view, std::vector<std::u16string>> cases[] = {
      {u"", {}},
      {u"a", {u"a"}},
      {u"a\r\n", {u"a"}},
      {u"a\r\nb", {u"a", u"b"}},
      {u"\r\n", {u""}},
      {u"a\r\n\r\n", {u"a", u""}},
      {u"a\r", {u"a"}},
      {u"a\r\rb\r", {u"a", u"", u"b"}},
      {u"a\r\r\nb", {u"a", u"", u"b"}},
      {u"a\nb\n", {u"a\nb\n"}},
      {u"\n\r\n", {u"\n"}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(SplitLines(text), lines) << std::string(text.begin(), text.end());
}

TEST(NoteMerge, TakesTheTitleAndAppendsTheBodyLines) {
  struct {
    const char* name;
    NoteText before;
    std::u16string_view file;
    NoteText after;
  } const cases[] = {
      {"into an empty note", {u"", u"", u""}, u"标题:Shopping\r\n\r\n内容:\r\nmilk\r\nbread\r\n",
       {u"Shopping", u"Shopping", u"milk\r\nbread"}},
      {"after the body", {u"Old", u"typed", u"old"}, u"标题:Shopping\r\n\r\n内容:\r\nmilk\r\nbread\r\n",
       {u"Shopping", u"Shopping", u"old\r\nmilk\r\nbread"}},
      {"no file picked", {u"T", u"E", u"\r\n\r\nold\r\n"}, u"", {u"T", u"E", u"old\r\n"}},
      {"only the title line", {u"T", u"E", u"\r\nold"}, u"标题:", {u"", u"", u"old"}},
      {"fewer than four lines", {u"T", u"E", u"old"}, u"标题:New\r\n\r\n内容:\r\n", {u"New", u"New", u"old"}},
      {"a line 1 shorter than the prefix", {u"T", u"E", u""}, u"ab\r\n\r\n内容:\r\nx", {u"T", u"E", u"x"}},
      {"prefixes are not checked", {u"", u"", u""}, u"abcdef\r\nzz\r\nzz\r\nx", {u"def", u"def", u"x"}},
      {"an empty note's file", {u"T", u"E", u""}, u"标题:\r\n\r\n内容:\r\n\r\n", {u"", u"", u""}},
      {"an empty note's file after a body", {u"T", u"E", u"old"}, u"标题:\r\n\r\n内容:\r\n\r\n",
       {u"", u"", u"old\r\n"}},
      {"lone CRs", {u"", u"", u"old"}, u"标题:T\r\r内容:\rA\rB\r", {u"T", u"T", u"old\r\nA\r\nB"}},
      {"empty lines in an empty note", {u"", u"", u""}, u"标题:T\r\n\r\n内容:\r\n\r\nA\r\n\r\nB\r\n",
       {u"T", u"T", u"A\r\n\r\nB"}},
      {"empty lines after a body", {u"", u"", u"X"}, u"标题:T\r\n\r\n内容:\r\n\r\nA\r\n\r\nB\r\n",
       {u"T", u"T", u"X\r\n\r\nA\r\n\r\nB"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Opened(c.before, c.file), c.after) << c.name;
}

TEST(NoteMerge, TwoOpensInTurnEachUseOnlyTheirOwnFile) {
  NoteText note{u"", u"", u"mine"};
  note = Opened(note, u"标题:First\r\n\r\n内容:\r\none\r\n");
  note = Opened(note, u"标题:Second\r\n\r\n内容:\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(note, (NoteText{u"Second", u"Second", u"mine\r\none\r\ntwo\r\nthree"}));
  note = Opened(note, u"x\r\n");
  EXPECT_EQ(note.title, u"Second") << "a short line 1 keeps the title of the file before";
}

TEST(NoteMerge, RemovesOnlyLeadingLineBreaks) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"", u""}, {u"\r\n", u""}, {u"\r\n\r\na\r\n", u"a\r\n"}, {u"\r\r\na", u"\r\r\na"}, {u"\n\r\na", u"\n\r\na"},
      {u"a\r\n\r\nb", u"a\r\n\r\nb"},
  };
  for (auto [body, expected] : cases) {
    RemoveLeadingLineBreaks(body);
    EXPECT_EQ(body, expected);
  }
}

TEST(NoteMerge, ReadsUtf8AfterAByteOrderMarkAndTheCodePageOtherwise) {
  EXPECT_EQ(OpenedFileText("\xEF\xBB\xBF\xE6\xA0\x87\xF0\x9F\x98\x80", Latin1), u"标\U0001F600");
  EXPECT_EQ(OpenedFileText("\xEF\xBB\xBF", Latin1), u"");
  EXPECT_EQ(OpenedFileText("\xB1\xEA\xCC\xE2:", Latin1), u"\u00B1\u00EA\u00CC\u00E2:");
  EXPECT_EQ(OpenedFileText("\xEF\xBB", Latin1), u"\u00EF\u00BB") << "half a mark is no mark";
  EXPECT_EQ(OpenedFileText("", Latin1), u"");
}

TEST(NoteMerge, ATextWithANulCharacterIsNotTakenIn) {
  // A UTF-16 file, for instance: every line break carries NUL bytes.
  EXPECT_EQ(OpenedFileText(std::string("a\r\0\n\0b", 6), Latin1), std::nullopt);
  EXPECT_EQ(OpenedFileText(std::string("\xEF\xBB\xBF" "a\0", 5), Latin1), std::nullopt);
}

}  // namespace
}  // namespace stickwell::note
