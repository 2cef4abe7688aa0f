#include <gtest/gtest.h>

#include "updater/core/Countdown.h"
#include "updater/core/DownloadPlan.h"
#include "updater/core/OfferView.h"

namespace stickwell::updater {
namespace {

const std::u16string kOwn = u"13.04.20";

std::u16string PageWith(std::u16string_view version, std::u16string_view changeLog) {
  return u"<p>Stickwell Ver" + std::u16string(version) + u"</p><p><strong>更新日志</strong></p>" +
         std::u16string(changeLog) + u"<p>更新文件及地址：</p>";
}

TEST(OfferView, ThePageDecidesBetweenOfferUpToDateAndFailure) {
  const OfferView offer = ViewForPage(PageWith(u"13.04.21", u"<p>1. 停靠</p><p>2. 字体</p>"), kOwn);
  EXPECT_EQ(offer.prompt, OpeningView().prompt);
  EXPECT_EQ(offer.version, u"Ver:13.04.21");
  EXPECT_EQ(offer.changeLog, u"更新日志\r\n1. 停靠\r\n2. 字体");
  EXPECT_TRUE(offer.canUpdate);
  EXPECT_FALSE(offer.showSiteLink);

  const OfferView upToDate = ViewForPage(PageWith(u"13.04.20", u"<p>a</p>"), kOwn);
  EXPECT_EQ(upToDate.prompt, u"您的软件已经是最新版:");
  EXPECT_EQ(upToDate.version, u"Ver:13.04.20");
  EXPECT_EQ(upToDate.changeLog, u"更新日志\r\na");
  EXPECT_FALSE(upToDate.canUpdate);
  EXPECT_FALSE(upToDate.showSiteLink);

  // Only the failed view leads to the site; no view before a readable page lets the update start.
  const OfferView failed = FailedView();
  EXPECT_TRUE(failed.showSiteLink);
  EXPECT_FALSE(failed.canUpdate || OfflineView().canUpdate || OpeningView().canUpdate);
  EXPECT_EQ(ViewForPage(u"<p>更新日志</p><p>a</p><p>更新文件及地址：", kOwn), failed) << "no version";
  EXPECT_EQ(ViewForPage(PageWith(u"13.04.21", u"just one line"), kOwn), failed) << "change log without <p>";
  EXPECT_EQ(ViewForPage(u"Ver13.04.21 更新文件及地址 then 更新日志<p>a<p>", kOwn), failed) << "markers reversed";
}

page::DownloadEntry Entry(std::u16string_view name, std::u16string_view share) {
  return {u"1." + std::u16string(name) + u"\"" + std::u16string(share) + u"\"", std::u16string(share)};
}

TEST(DownloadPlan, EntriesInPageOrderWithTheUpdaterRenamedWherever) {
  const auto plan = PlanDownloads({Entry(u"Renewick.exe", u"s1"), Entry(u"Stickwell.exe", u"s2"),
                                   Entry(u"ReadMe.txt", u"s3"), Entry(u"renewick.EXE", u"s4")},
                                  {u"http://dl/1", u"http://dl/2", u"HTTPS://dl/3", u"https://dl/4"});
  ASSERT_TRUE(plan);
  const std::vector<PlannedDownload> expected = {
      {u"NewRenewick.exe", u"http://dl/1", u"正在下载 NewRenewick.exe"},
      {u"Stickwell.exe", u"http://dl/2", u"正在下载 Stickwell.exe"},
      {u"ReadMe.txt", u"HTTPS://dl/3", u"正在下载 ReadMe.txt"},
      {u"NewRenewick.exe", u"https://dl/4", u"正在下载 NewRenewick.exe"},
  };
  EXPECT_EQ(*plan, expected);
  EXPECT_EQ(TargetFileName(u"NewRenewick.exe"), u"NewRenewick.exe");
  EXPECT_EQ(TargetFileName(u"Renewick.exe.bak"), u"Renewick.exe.bak");
}

TEST(DownloadPlan, AnyUnreadableNameFailsTheWholePlan) {
  EXPECT_FALSE(PlanDownloads({}, {})) << "a list without entries";
  EXPECT_FALSE(PlanDownloads({Entry(u"a.exe", u"s")}, {})) << "an entry without a direct address";
  const std::u16string_view badNames[] = {u"..", u"..\\Stickwell.exe", u"C:evil.exe", u"CON", u"a/b.exe", u""};
  for (auto bad : badNames) {
    EXPECT_FALSE(PlanDownloads({Entry(u"Stickwell.exe", u"s1"), Entry(bad, u"s2")}, {u"http://d1", u"http://d2"}))
        << testing::PrintToString(std::u16string(bad));
  }
  const std::u16string_view badAddresses[] = {u"file:///C:/Windows/notepad.exe", u"", u"http://", u"ftp://dl/a",
                                              u" http://dl/a"};
  for (auto bad : badAddresses)
    EXPECT_FALSE(PlanDownloads({Entry(u"Stickwell.exe", u"s1")}, {std::u16string(bad)})) << testing::PrintToString(std::u16string(bad));
  // The first quote before the third character: the name cannot be read.
  EXPECT_FALSE(PlanDownloads({{u"1\"s\"", u"s"}}, {u"http://d"}));
}

TEST(DownloadPlan, CompleteMeansExactlyTheAnnouncedLength) {
  EXPECT_TRUE(IsCompleteDownload(1000, 1000ull, true));
  EXPECT_FALSE(IsCompleteDownload(999, 1000ull, true)) << "a body cut short";
  EXPECT_FALSE(IsCompleteDownload(1001, 1000ull, true)) << "more than announced";
  EXPECT_TRUE(IsCompleteDownload(0, 0ull, true));
  EXPECT_TRUE(IsCompleteDownload(5, std::nullopt, true)) << "no length: the end of the body";
  EXPECT_FALSE(IsCompleteDownload(5, std::nullopt, false));
}

TEST(Countdown, FourThreeTwoOneThenClose) {
  int ticks = 0;
  std::vector<std::u16string> shown;
  CountdownStep step;
  for (int i = 0; i < 10 && !(step = AdvanceCountdown(ticks)).finished; ++i) shown.push_back(step.status);
  EXPECT_TRUE(step.finished);
  EXPECT_EQ(ticks, 5);
  const std::vector<std::u16string> expected = {u"更新完成，4秒钟后自动关闭本窗口", u"更新完成，3秒钟后自动关闭本窗口",
                                                u"更新完成，2秒钟后自动关闭本窗口", u"更新完成，1秒钟后自动关闭本窗口"};
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(AdvanceCountdown(ticks).finished) << "a late tick never counts past the end";
  EXPECT_EQ(ticks, 5);
}

}  // namespace
}  // namespace stickwell::updater
