#include <gtest/gtest.h>

#include "shared/UpdatePage.h"

namespace stickwell::page {
namespace {

using Text = std::optional<std::u16string>;
const Text kFails = std::nullopt;

TEST(Version, EightCharactersAfterTheMarkerAndAnyDifferenceIsNewer) {
  EXPECT_EQ(VersionText(100, 0, 9), u"100.00.09");
  const struct {
    std::u16string_view page;
    Text version;
    bool newer;  // than 13.04.20
  } cases[] = {
      {u"<h1>Stickwell Ver13.04.21</h1>", u"13.04.21", true},
      {u"xVer13.04.20 and Ver99.99.99", u"13.04.20", false},  // the first marker counts
      {u"Ver13.04.19", u"13.04.19", true},                     // older is offered too
      {u"Ver:13.04.21", u":13.04.2", true},
      {u"abcVer1.0", u"Ver1.0", true},                         // the page ends sooner: "Ver" counts in
      {u"ver13.04.21", kFails, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadPageVersion(c.page), c.version) << testing::PrintToString(c.page);
    EXPECT_EQ(c.version && IsNewerVersion(*c.version, u"13.04.20"), c.newer);
  }
}

TEST(Markup, CleaningRemovesItsPatternsInOrderAndKeepsParagraphs) {
  const struct {
    std::u16string_view text, clean, linkClean;
  } cases[] = {
      {u"<p><span style=\"color: #ff0000;\"><strong>a&nbsp;b</strong></span></p>", u"<p>ab", u"<p>ab"},
      {u"<p>x(<a href=\"u?a=1&amp;b=2\" target=\"_blank\">y</a>)</p>",
       u"<p>x(<a href=\"u?a=1&amp;b=2\" target=\"_blank\">y</a>)", u"<p>x\"u?a=1&b=2\" y"},
      // Each pattern runs once, after the ones before it: a later removal does not bring back an earlier one.
      {u"</sp<strong>an>", u"</span>", u"</span>"},
  };
  for (const auto& c : cases) {
    std::u16string text(c.text);
    CleanMarkup(text);
    EXPECT_EQ(text, c.clean) << testing::PrintToString(c.text);
    text = c.text;
    CleanLinkMarkup(text);
    EXPECT_EQ(text, c.linkClean) << testing::PrintToString(c.text);
  }
}

TEST(Paragraphs, LinesAfterTheHeadingLessTheLastFourCharacters) {
  const struct {
    std::u16string_view text;
    Text lines;
  } cases[] = {
      {u"更新日志<p>first<p>second<p>", u"first\r\nsecond"},
      {u"head<p><p>", u""},                   // exactly four characters left
      {u"head<p>abc", u"a"},                  // no closing separator: the last line loses two characters
      {u"head<p>a", kFails},                  // "a" CR LF is three characters
      {u"head without paragraphs", kFails},
  };
  for (const auto& c : cases) EXPECT_EQ(ParagraphText(c.text), c.lines) << testing::PrintToString(c.text);
}

TEST(ChangeLog, HeadingAndCleanedLines) {
  const struct {
    std::u16string_view page;
    Text log;
  } cases[] = {
      {u"更新日志：</strong></p><p>1.&nbsp;修复</p><p>2. (新)</p><p>更新文件及地址", u"更新日志\r\n1.修复\r\n2. (新)"},
      {u"更新日志<p>first</p><p>second</p><p>", kFails},        // no end marker: negative length
      {u"更新文件及地址<p>更新日志<p>a<p>", kFails},             // end marker before the heading
  };
  for (const auto& c : cases) EXPECT_EQ(ReadChangeLog(c.page), c.log) << testing::PrintToString(c.page);
}

TEST(DownloadList, SectionArithmetic) {
  using Entries = std::optional<std::vector<DownloadEntry>>;
  const std::vector<DownloadEntry> one = {{u"ab\"x\"", u"x"}};
  const struct {
    std::u16string_view page;
    Entries entries;
  } cases[] = {
      {u"更新文件及地址：</strong></p><p>1.a.exe(<a href=\"http://s/?i=1&amp;t=2\" target=\"_blank\">下</a>)</p><p>消息推送：",
       std::vector<DownloadEntry>{{u"1.a.exe\"http://s/?i=1&t=2\"", u"http://s/?i=1&t=2"}}},
      {u"更新文件及地址：<p>ab\"x\"<p>cd\"y\"<p>tail\"z\"消息推送：",
       std::vector<DownloadEntry>{{u"ab\"x\"", u"x"}, {u"cd\"y\"", u"y"}}},  // the last piece is never an entry
      {u"更新文件及地址：xyzab\"x\"<p>消息推送：", one},   // the first three characters go, whatever they are
      {u"更新文件及地址：<p>消息推送：", Entries(std::vector<DownloadEntry>{})},
      {u"更新文件及地址：<p消息推送：", std::nullopt},      // shorter than three characters
      {u"更新文件及地址：<p>ab\"x\"<p>", std::nullopt},     // no push marker: negative length
      {u"更新文件及地址：<p>ab\"x<p>消息推送：", std::nullopt},  // one quote: no address
  };
  for (const auto& c : cases) EXPECT_EQ(ReadDownloadList(c.page), c.entries) << testing::PrintToString(c.page);
}

TEST(DownloadList, FileNameFromTheThirdCharacterToTheFirstQuote) {
  const struct {
    std::u16string_view entry;
    Text name;
  } cases[] = {
      {u"十、新建 文本.txt\"http://s/1\"", u"新建 文本.txt"},
      {u"1.\"http://s/1\"", kFails},  // empty name
      {u"1\"http://s/1\"", kFails},   // quote before the third character
      {u"1.Stickwell.exe", kFails},   // no quote at all
      {u"1...\\Stickwell.exe\"http://s/1\"", kFails},  // the updater would write outside its folder
  };
  for (const auto& c : cases) EXPECT_EQ(ReadEntryFileName(c.entry), c.name) << testing::PrintToString(c.entry);
}

TEST(SharePage, DirectAddressAfterTheSaveButton) {
  const struct {
    std::u16string_view page;
    Text address;
  } cases[] = {
      {u"<span>保存至网盘</span><a href=\" http://dl/f?a=1&amp;b=2 \" id=\"dl\">", u"http://dl/f?a=1&b=2"},
      {u"保存至网盘href\"a\"\"b\" x id=\"", u"ab x"},       // every quote goes, inner blanks stay
      {u"<a href=\"u\" id=\"x\">保存至网盘</a>", kFails},  // no href after the button text
      {u"href=\"u\" id=\"x\"", kFails},                    // no button text: search from position 0
  };
  for (const auto& c : cases) EXPECT_EQ(ReadDirectAddress(c.page), c.address) << testing::PrintToString(c.page);
}

TEST(Push, SwitchAndMessageAfterTheMarker) {
  const struct {
    std::u16string_view page;
    Text pushSwitch;
    bool on;
    Text message;
  } cases[] = {
      {u"<p>消息推送：开</p><p><strong>请更新</strong></p><p>最新完整版", u"开", true, u"<p>请更新<p>"},
      {u"消息推送： 开<p>a</p>最新完整版", u" ", false, u"开<p>a"},
      {u"页尾消息推送：", u"：", false, kFails},  // the page ends at the marker: its own colon
      {u"12345abc最新完整版", kFails, false, u"abc"},  // no push marker: counting from position 0
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadPushSwitch(c.page), c.pushSwitch) << testing::PrintToString(c.page);
    EXPECT_EQ(IsPushOn(ReadPushSwitch(c.page)), c.on) << testing::PrintToString(c.page);
    EXPECT_EQ(ReadPushMessage(c.page), c.message) << testing::PrintToString(c.page);
  }
}

}  // namespace
}  // namespace stickwell::page
