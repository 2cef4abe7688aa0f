#include <gtest/gtest.h>

#include "shared/UpdatePage.h"

namespace stickwell::page {
namespace {

using Text = std::optional<std::u16string>;
const Text kFails = std::nullopt;

// A page as the blog editor writes it.
const std::u16string kPage =
    u"<h1>Stickwell Ver13.04.21</h1>"
    u"<p><strong>更新日志：</strong></p>"
    u"<p><span style=\"color: #ff0000;\">1. 修复停靠&nbsp;问题</span></p>"
    u"<p>2. (新) 字体</p>"
    u"<p><strong>更新文件及地址：</strong></p>"
    u"<p>1.Stickwell.exe(<a href=\"http://share.example.com/s?id=1&amp;t=2\" target=\"_blank\">下载</a>)</p>"
    u"<p>2.Renewick.exe(<a href=\"http://share.example.com/s?id=2\" target=\"_blank\">下载</a>)</p>"
    u"<p>消息推送：开</p>"
    u"<p><span style=\"color: #000000;\">新版本</span>已发布</p>"
    u"<p><strong>请更新</strong></p>"
    u"<p>最新完整版下载</p>";

TEST(Version, TwoDigitsPerNumber) {
  EXPECT_EQ(VersionText(1, 2, 3), u"01.02.03");
  EXPECT_EQ(VersionText(100, 0, 9), u"100.00.09");
}

TEST(Version, EightCharactersAfterTheMarker) {
  const struct {
    std::u16string_view page;
    Text version;
  } cases[] = {
      {kPage, u"13.04.21"},
      {u"xVer13.04.20 and Ver99.99.99", u"13.04.20"},  // the first marker counts
      {u"Ver:13.04.21", u":13.04.2"},
      {u"abcVer1.0", u"Ver1.0"},                        // the page ends sooner: "Ver" counts in
      {u"Ver", u"Ver"},
      {u"Ver版本一三点零四五", u"版本一三点零四五"},
      {u"Ver1234567\U0001F600", u"1234567\xD83D"},  // code units: a pair can be cut in half
      {u"ver13.04.21", kFails},
      {u"", kFails},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadPageVersion(c.page), c.version) << testing::PrintToString(c.page);
}

TEST(Version, AnyDifferenceIsNewer) {
  EXPECT_TRUE(IsNewerVersion(u"13.04.21", u"13.04.20"));
  EXPECT_TRUE(IsNewerVersion(u"13.04.19", u"13.04.20"));
  EXPECT_TRUE(IsNewerVersion(u"13.04.2", u"13.04.20"));
  EXPECT_TRUE(IsNewerVersion(u"Ver1.0", u"13.04.20"));
  EXPECT_FALSE(IsNewerVersion(u"13.04.20", u"13.04.20"));
}

TEST(Markup, CleaningRemovesItsPatternsInOrderAndKeepsParagraphs) {
  const struct {
    std::u16string_view text;
    std::u16string_view clean, linkClean;
  } cases[] = {
      {u"<p><span style=\"color: #ff0000;\"><strong>a&nbsp;b</strong></span></p>", u"<p>ab", u"<p>ab"},
      {u"<span style=\"color: #000000;\">c</span>", u"c", u"c"},
      {u"<span style=\"color: #00ff00;\">c</span>", u"<span style=\"color: #00ff00;\">c",
       u"<span style=\"color: #00ff00;\">c"},
      {u"<p>x(<a href=\"u?a=1&amp;b=2\" target=\"_blank\">y</a>)</p>",
       u"<p>x(<a href=\"u?a=1&amp;b=2\" target=\"_blank\">y</a>)", u"<p>x\"u?a=1&b=2\" y"},
      // Each pattern runs once, after the ones before it: a later removal does not bring back an earlier one.
      {u"<stro</strong>ng>", u"", u""},
      {u"</sp<strong>an>", u"</span>", u"</span>"},
      {u"&amp;nbsp;", u"&amp;nbsp;", u"&nbsp;"},
      {u"<P>A</P>", u"<P>A</P>", u"<P>A</P>"},
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
      {u"head<p>only<p>", u"only"},
      {u"head<p><p>", u""},                   // exactly four characters left
      {u"head<p>a<p><p>b<p>", u"a\r\n\r\nb"},
      {u"head<p>abc", u"a"},                  // no closing separator: the last line loses two characters
      {u"<p>a<p>b", u"a\r"},
      {u"head<p>ab", u""},
      {u"head<p>a", kFails},                  // "a" CR LF is three characters
      {u"head<p>", kFails},
      {u"head without paragraphs", kFails},
      {u"", kFails},
  };
  for (const auto& c : cases) EXPECT_EQ(ParagraphText(c.text), c.lines) << testing::PrintToString(c.text);
}

TEST(ChangeLog, HeadingAndCleanedLines) {
  const struct {
    std::u16string_view page;
    Text log;
  } cases[] = {
      {kPage, u"更新日志\r\n1. 修复停靠问题\r\n2. (新) 字体"},
      {u"更新日志<p>first</p><p>second</p><p>更新文件及地址", u"更新日志\r\nfirst\r\nsecond"},
      {u"更新日志 no paragraphs 更新文件及地址：", kFails},
      {u"<p>first</p><p>second</p><p>更新文件及地址", kFails},  // no heading
      {u"更新日志<p>first</p><p>second</p><p>", kFails},        // no end marker: negative length
      {u"更新文件及地址<p>更新日志<p>a<p>", kFails},             // end marker before the heading
  };
  for (const auto& c : cases) EXPECT_EQ(ReadChangeLog(c.page), c.log) << testing::PrintToString(c.page);
}

using Entries = std::optional<std::vector<DownloadEntry>>;

TEST(DownloadList, SectionArithmetic) {
  const std::vector<DownloadEntry> one = {{u"ab\"x\"", u"x"}};
  const struct {
    std::u16string_view page;
    Entries entries;
  } cases[] = {
      // Entries run up to the closing quote of their address; entities in the address are decoded.
      {kPage, std::vector<DownloadEntry>{
                  {u"1.Stickwell.exe\"http://share.example.com/s?id=1&t=2\"", u"http://share.example.com/s?id=1&t=2"},
                  {u"2.Renewick.exe\"http://share.example.com/s?id=2\"", u"http://share.example.com/s?id=2"}}},
      {u"更新文件及地址：<p>ab\"x\" link<p>消息推送：", one},
      {u"更新文件及地址：<p>ab\"x\"<p>cd\"y\"<p>tail\"z\"消息推送：",
       std::vector<DownloadEntry>{{u"ab\"x\"", u"x"}, {u"cd\"y\"", u"y"}}},  // the last piece is never an entry
      {u"更新文件及地址：<p>ab\"\"<p>消息推送：", std::vector<DownloadEntry>{{u"ab\"\"", u""}}},
      {u"更新文件及地址：xyzab\"x\"<p>消息推送：", one},                // the first three characters go, whatever they are
      {u"1234567<p>ab\"x\"<p>消息推送：", one},                        // no list marker: the section starts at 8
      {u"更新文件及地址：<p>消息推送：", Entries(std::vector<DownloadEntry>{})},
      {u"更新文件及地址：<p>ab\"x\"消息推送：", Entries(std::vector<DownloadEntry>{})},
      {u"更新文件及地址：<p消息推送：", std::nullopt},                   // shorter than three characters
      {u"更新文件及地址：<p>ab\"x\"<p>", std::nullopt},                  // no push marker: negative length
      {u"消息推送：更新文件及地址：<p>ab\"x\"<p>", std::nullopt},
      {u"更新文件及地址：<p>ab\"x<p>消息推送：", std::nullopt},           // one quote
      {u"更新文件及地址：<p>abx<p>cd\"y\"<p>消息推送：", std::nullopt},   // no quotes: no address
  };
  for (const auto& c : cases) EXPECT_EQ(ReadDownloadList(c.page), c.entries) << testing::PrintToString(c.page);
}

TEST(DownloadList, FileNameFromTheThirdCharacterToTheFirstQuote) {
  const struct {
    std::u16string_view entry;
    Text name;
  } cases[] = {
      {u"1.Stickwell.exe\"http://s/1\"", u"Stickwell.exe"},
      {u"十、新建 文本.txt\"http://s/1\"", u"新建 文本.txt"},
      {u"1.a\"\"", u"a"},
      {u"1.\"http://s/1\"", kFails},  // empty name
      {u"1\"http://s/1\"", kFails},   // quote before the third character
      {u"\"http://s/1\"", kFails},
      {u"", kFails},
      {u"1.Stickwell.exe", kFails},   // no quote at all
      // The updater would write outside its folder or to a device with these.
      {u"1...\\Stickwell.exe\"http://s/1\"", kFails},
      {u"1.C:\\Windows\\x.dll\"http://s/1\"", kFails},
      {u"1...\"http://s/1\"", kFails},
      {u"1.CON.exe\"http://s/1\"", kFails},
      {u"1.Stickwell.exe \"http://s/1\"", kFails},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadEntryFileName(c.entry), c.name) << testing::PrintToString(c.entry);
}

TEST(SharePage, DirectAddressAfterTheSaveButton) {
  const struct {
    std::u16string_view page;
    Text address;
  } cases[] = {
      {u"<a href=\"/x\">登录</a> <span>保存至网盘</span><a class=\"b\" href=\" http://dl.example.com/f?a=1&amp;b=2 \" "
       u"id=\"dl\">下载</a>",
       u"http://dl.example.com/f?a=1&b=2"},
      {u"保存至网盘href=\"u\"id=\"", u"u"},
      {u"保存至网盘href\"a\"\"b\" x id=\"", u"ab x"},  // every quote goes, inner blanks stay
      {u"保存至网盘 href=\"   \" id=\"", u""},
      {u"<a href=\"u\" id=\"x\">保存至网盘</a>", kFails},  // no href after the button text
      {u"href=\"u\" id=\"x\"", kFails},                    // no button text: search from position 0
      {u"保存至网盘 href=u id=x", kFails},                  // no quote
      {u"保存至网盘 href=\"u\"", kFails},                   // no id=": negative length
      {u"", kFails},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadDirectAddress(c.page), c.address) << testing::PrintToString(c.page);
}

TEST(Push, SwitchIsTheCharacterAfterTheMarker) {
  const struct {
    std::u16string_view page;
    Text pushSwitch;
    bool on;
  } cases[] = {
      {kPage, u"开", true},
      {u"消息推送：关", u"关", false},
      {u"消息推送： 开", u" ", false},
      {u"页尾消息推送：", u"：", false},  // the page ends at the marker: its own colon
      {u"消息推送", kFails, false},
      {u"", kFails, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadPushSwitch(c.page), c.pushSwitch) << testing::PrintToString(c.page);
    EXPECT_EQ(IsPushOn(ReadPushSwitch(c.page)), c.on) << testing::PrintToString(c.page);
  }
}

TEST(Push, MessageBetweenTheSwitchAndTheEndMarker) {
  const struct {
    std::u16string_view page;
    Text message;
  } cases[] = {
      {kPage, u"<p>新版本已发布<p>请更新<p>"},
      {u"消息推送：开<p>a</p><p>b</p>最新完整版", u"<p>a<p>b"},
      {u"消息推送：开最新完整版", u""},
      {u"消息推送：最新完整版", kFails},      // end marker where the switch should be
      {u"12345abc最新完整版", u"abc"},        // no push marker: counting from position 0
      {u"最新完整版 消息推送：开 a", kFails},
      {u"消息推送：开<p>a</p>", kFails},      // no end marker
  };
  for (const auto& c : cases) EXPECT_EQ(ReadPushMessage(c.page), c.message) << testing::PrintToString(c.page);
}

}  // namespace
}  // namespace stickwell::page
