#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "shared/PushMessage.h"
#include "shared/Text.h"
#include "shared/UpdatePage.h"
#include "tools/PageWriter.h"

namespace stickwell::page {
namespace {

using Change = std::function<void(PageParts&)>;

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
std::string Given(const PageParts& parts) {
  const auto lines = [](const std::vector<std::u16string>& all) {
    std::u16string joined;
    for (const std::u16string& line : all) joined += (&line == all.data() ? u"" : u"\r\n") + line;
    return joined;
  };
  std::u16string out = parts.version + u"\n更新日志\r\n" + lines(parts.changes) + u"\n";
  for (const ListedFile& file : parts.files) out += file.name + u" " + file.share + u"\n";
  return TextToUtf8(out + (parts.pushOn ? u"开\n" : u"关\n") + lines(parts.message) + u"\n" + parts.fullPackage);
}

// Awkward parts first, then parts made of random pieces of the page's syntax: whatever is taken reads
// back as given.
TEST(PageWriter, ThePagesReadersGiveBackWhatWentIn) {
  const Change awkward[] = {
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

TEST(PageWriter, RefusesWhatTheProgramsWouldNotReadBack) {
  const std::pair<Change, const char*> cases[] = {
      {[](PageParts& p) { p.changes.push_back(u"见更新文件及地址"); }, "change log line 2 holds \"更新文件及地址\""},
      {[](PageParts& p) { p.message = {u"x", u"a&nbsp;b"}; }, "message line 2 holds \"&nbsp;\""},
      {[](PageParts& p) { p.message = {}; }, "--push 开"},
      {[](PageParts& p) { p.files.clear(); }, "at least one --file"},
      {[](PageParts& p) { p.files.resize(10, {u"x", u"http://x"}); }, "at most 9 files"},
      {[](PageParts& p) { p.files[1].name = u"a\"b.exe"; }, "does not allow"},
      {[](PageParts& p) { p.files[1].name = u"con.txt"; }, "reserved device name"},
      {[](PageParts& p) { p.files[1].name = u"Stickwell (x64).exe"; }, "holds \"(\""},
      {[](PageParts& p) { p.files[1].name = u"STICKWELL.exe"; }, "listed already"},
      {[](PageParts& p) { p.files[1].share = u"ftp://x"; }, "must start with http://"},
      {[](PageParts& p) { p.files[1].share = u"http://x/a\"b"; }, "double quote"},
      {[](PageParts& p) { p.fullPackage = u"http://x/最新完整版"; }, "--full: the link holds \"最新完整版\""},
  };
  for (const auto& [change, reason] : cases) {
    PageParts parts = Usual();
    change(parts);
    EXPECT_NE(CheckPageParts(parts).value_or("accepted").find(reason), std::string::npos) << reason << ": " << CheckPageParts(parts).value_or("accepted");
  }
}

}  // namespace
}  // namespace stickwell::page
