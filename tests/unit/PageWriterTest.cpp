#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "shared/PushMessage.h"
#include "shared/Text.h"
#include "shared/UpdatePage.h"
#include "tools/PageWriter.h"

namespace stickwell::page {
namespace {

PageParts Usual() {
  return {u"13.04.21", {u"1. 修复停靠问题"}, {{u"Stickwell.exe", u"http://pan.example.com/s?id=1&uk=2"}, {u"Renewick.exe", u"https://pan.example.com/s?id=2"}},
          true, {u"欢迎使用"}, u"http://pan.example.com/full"};
}

// What the note and the updater read from a page, and what went into it, as one text each.
std::string ReadBack(std::u16string_view page) {
  std::u16string out = ReadPageVersion(page).value_or(u"?") + u"\n" + ReadChangeLog(page).value_or(u"?") + u"\n";
  for (const DownloadEntry& entry : ReadDownloadList(page).value_or(std::vector<DownloadEntry>{})) {
    out += ReadEntryFileName(entry.entryText).value_or(u"?") + u" " + entry.shareAddress + u"\n";
  }
  const PushSettings push = ReadPushSettings(page);
  return TextToUtf8(out + (push.on ? u"开\n" : u"关\n") + PushDialogText(true, push.message) + u"\n" + ReadFullPackageLink(page).value_or(u"?"));
}
std::u16string Lines(const std::vector<std::u16string>& all) {
  std::u16string joined;
  for (const std::u16string& line : all) joined += (&line == all.data() ? u"" : u"\r\n") + line;
  return joined;
}
std::string Given(const PageParts& parts) {
  std::u16string out = parts.version + u"\n更新日志\r\n" + Lines(parts.changes) + u"\n";
  for (const ListedFile& file : parts.files) out += file.name + u" " + file.share + u"\n";
  return TextToUtf8(out + (parts.pushOn ? u"开\n" : u"关\n") + Lines(parts.message) + u"\n" + parts.fullPackage);
}

// Awkward parts first, then parts made of random pieces of the page's syntax: whatever is taken reads
// back as given.
TEST(PageWriter, ThePagesReadersGiveBackWhatWentIn) {
  const std::function<void(PageParts&)> awkward[] = {
      [](PageParts& p) { p.changes = {u"修复 <Ctrl+↑> & “引号” 与 \"quotes\" <b>粗体</b>", u"", u"a&amp;b (见 Ver 官网)"}; },
      [](PageParts& p) { p.changes = {}, p.pushOn = false, p.message = {}; },
      [](PageParts& p) { p.message = {u"第一段 <br>", u"", u"第三段&lt;"}; },
      [](PageParts& p) { p.files = {{u"R&D 说明 v2.txt", u"http://x/s?a=1&b=2"}, {u"Stickwell Notes.exe", u"http://x/b"}}; },
      [](PageParts& p) { p.fullPackage = u"https://x/full?a=(1)&amp;b"; },  // no program reads it: "(" may stay
  };
  const std::u16string_view pieces[] = {u"<", u"p>", u"/", u"&", u"nbsp;", u"amp;", u"(", u")", u"\"", u"更新", u"日志", u"文件及地址",
                                        u"：", u"消息推送", u"最新完整版", u"Ver", u" ", u"开", u"a", u"strong>", u"Stickwell-Signed:"};
  std::mt19937 random(21);
  int accepted = 0;
  for (std::size_t round = 0; round < 4000; ++round) {
    PageParts parts = Usual();
    std::u16string* part[] = {&parts.changes[0], &parts.message[0], &parts.files[0].name, &parts.files[1].share, &parts.fullPackage};
    for (auto n = random() % 8; n > 0 && round >= std::size(awkward); --n) *part[round % std::size(part)] += pieces[random() % std::size(pieces)];
    if (round < std::size(awkward)) awkward[round](parts);
    const auto refused = CheckPageParts(parts);
    ASSERT_FALSE(refused && round < std::size(awkward)) << *refused;
    if (refused) continue;
    ++accepted;
    ASSERT_EQ(ReadBack(ComposePage(parts)), Given(parts)) << "round " << round;
  }
  EXPECT_GT(accepted, 1000);
}

}  // namespace
}  // namespace stickwell::page
