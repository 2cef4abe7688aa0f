#include <gtest/gtest.h>

#include <vector>

#include "note/core/PushCounter.h"
#include "shared/PushMessage.h"

namespace stickwell::note {
namespace {

using page::PushDialogText, page::PushSettings, page::ReadPushSettings;

TEST(PushCounter, OpensTheDialogAtTheThirdTickWithThePushOnOnly) {
  const std::vector<bool> cases[] = {
      {true, true, true, true, true, true, true, true, true, true},  // opens at 3, never again
      {false, true, false, true, true},                              // ticks with the push off do not count
  };
  for (const auto& pushOn : cases) {
    PushCounter counter;
    int onTicks = 0;
    for (bool on : pushOn) {
      onTicks += on ? 1 : 0;
      EXPECT_EQ(counter.tick(on), on && onTicks == 3) << "push-on tick " << onTicks;
    }
  }
}

TEST(PushCounter, StopsCountingOnceTheDialogWasShown) {
  // A month of one-minute ticks; a 16-bit count would have passed its range after about 22 days.
  PushCounter counter;
  int opened = 0;
  for (int tick = 0; tick < 31 * 24 * 60; ++tick) opened += counter.tick(true) ? 1 : 0;
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(counter.count(), 3);
}

TEST(PushSettings, ReadFromThePage) {
  struct Case {
    const char* what;
    std::u16string page;
    PushSettings expected;
  } cases[] = {
      {"on, two paragraphs", u"<p>消息推送：开</p><p>a</p><p>b</p><p><strong>最新完整版</strong></p>", {true, u"<p>a<p>b<p>"}},
      {"off still reads the message", u"消息推送：关<p>a</p><p>最新完整版", {false, u"<p>a<p>"}},
      {"no end marker", u"消息推送：开<p>a</p>", {true, u""}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadPushSettings(c.page), c.expected) << c.what;
}

TEST(PushDialogText, WhatTheBoxShows) {
  struct Case {
    const char* what;
    bool connected;
    std::u16string message;
    std::u16string expected;
  } cases[] = {
      {"paragraphs become lines", true, u"<p>第一行<p>第二行<p>", u"第一行\r\n第二行"},
      {"heading before the first paragraph is dropped", true, u"\r\n<p>a<p>", u"a"},
      {"no paragraph: as stored", true, u"请更新\r\n到新版", u"请更新\r\n到新版"},
      {"paragraphs that come to nothing: as stored", true, u"<p>a", u"<p>a"},
      {"empty message", true, u"", u""},
      {"not connected", false, u"<p>a<p>", u"网络连接失败，暂时无法获取消息推送内容"},
  };
  for (const auto& c : cases) EXPECT_EQ(PushDialogText(c.connected, c.message), c.expected) << c.what;
}

}  // namespace
}  // namespace stickwell::note
