#include <gtest/gtest.h>

#include <string>

#include "note/core/MessagePush.h"
#include "tools/PageReport.h"
#include "tools/Utf8Out.h"

namespace stickwell::note {
namespace {

constexpr std::u16string_view kTwoLines = u"<p>消息推送：开</p><p>第一行</p><p>第二行</p><p><strong>最新完整版</strong></p>";

TEST(MessagePush, WhatStartUpTakesFromThePageAndWhatTheDialogShows) {
  const struct { const char* what; PageAnswer answer; std::u16string_view page; bool on; std::u16string_view message, shown; } cases[] = {
      {"on, two paragraphs", PageAnswer::Arrived, kTwoLines, true, u"<p>第一行<p>第二行<p>", u"第一行\r\n第二行"},
      {"off, message kept", PageAnswer::Arrived, u"消息推送：关<p>a</p><p>最新完整版", false, u"<p>a<p>", u"a"},
      {"no paragraph: as stored", PageAnswer::Arrived, u"消息推送：开请更新\r\n到新版最新完整版", true, u"请更新\r\n到新版",
       u"请更新\r\n到新版"},
      {"paragraphs that come to nothing", PageAnswer::Arrived, u"消息推送：开<p>a最新完整版", true, u"<p>a", u"<p>a"},
      {"no end marker", PageAnswer::Arrived, u"消息推送：开<p>a</p>", true, u"", u""},
      {"failed read", PageAnswer::Failed, kTwoLines, false, u"", u""},
      {"offline", PageAnswer::NotConnected, kTwoLines, false, u"", u""},
  };
  for (const auto& c : cases) {
    MessagePush push;
    EXPECT_EQ(push.pageArrived(c.answer, c.page), c.on) << c.what;
    EXPECT_EQ(push.message(), c.message) << c.what;
    EXPECT_EQ(push.dialogText(true), c.shown) << c.what;
    EXPECT_EQ(push.dialogText(false), u"网络连接失败，暂时无法获取消息推送内容") << c.what;
  }
}

// The makers' tool shows each page's message exactly as the note's dialog would show it.
TEST(MessagePush, TheMakersToolShowsWhatTheDialogShows) {
  for (std::u16string_view page : {kTwoLines, std::u16string_view(u"消息推送：开请更新\r\n到新版最新完整版"), std::u16string_view(u"消息推送：开<p>a最新完整版"),
                                   std::u16string_view(u"消息推送：开<p>&nbsp;</p><p>a &amp; b</p>最新完整版")}) {
    MessagePush push;
    push.pageArrived(PageAnswer::Arrived, page);
    EXPECT_NE(page::UpdatePageJson(page).find("\"pushText\": " + page::JsonString(push.dialogText(true)) + ","), std::string::npos)
        << page::TextToUtf8(page);
  }
}

// Ticks 1, 2, ... of the push timer that open the dialog; `stopAfter` ticks, then "知道了，不再提醒".
std::string DialogTicks(std::u16string_view page, int stopAfter = 0) {
  MessagePush push;
  push.pageArrived(PageAnswer::Arrived, page);
  std::string opened;
  // A month of one-minute ticks: a 16-bit count would have run out after about 22 days.
  for (int tick = 1; tick <= 31 * 24 * 60; ++tick) {
    if (tick == stopAfter + 1 && stopAfter > 0) push.stopReminding();
    if (push.tick()) opened += std::to_string(tick) + " ";
  }
  return opened;
}

TEST(MessagePush, TheThirdTickOpensTheDialogOnce) {
  EXPECT_EQ(DialogTicks(kTwoLines), "3 ");
  EXPECT_EQ(DialogTicks(kTwoLines, 2), "") << "stopped before the third tick";
  EXPECT_EQ(DialogTicks(u"消息推送：关<p>a</p>最新完整版"), "") << "with the push off no tick counts";
}

}  // namespace
}  // namespace stickwell::note
