#include <gtest/gtest.h>

#include "shared/DownloadLimit.h"
#include "updater/core/DownloadPlan.h"
#include "updater/core/OfferView.h"
#include "updater/core/UpdateRun.h"

namespace stickwell::updater {
namespace {

manifest::Sha256Digest Digest(std::uint8_t byte) { return {byte, byte, byte}; }
// What a build with a key learns of a page; the first is what the page of the whole update says.
const manifest::PageTrust kSigned{manifest::Trust::Verified,
                                  manifest::Manifest{u"13.04.21", {{u"Stickwell.exe", 5, Digest(1)}, {u"Renewick.exe", 3, Digest(2)}}, {}, {}}};
const manifest::PageTrust kNoKey{manifest::Trust::NotRequired, std::nullopt};
const manifest::PageTrust kBadSignature{manifest::Trust::BadSignature, std::nullopt};

std::u16string PageWith(std::u16string_view version, std::u16string_view changeLog) {
  return u"<p>Stickwell Ver" + std::u16string(version) + u"</p><p><strong>更新日志</strong></p>" +
         std::u16string(changeLog) + u"<p>更新文件及地址：<p>1.Stickwell.exe\"s1\"<p>2.Renewick.exe\"s2\"<p>消息推送：关";
}

TEST(OfferView, TheFetchAndThePageDecideWhatTheWindowShows) {
  const struct { const char* what; PageFetch fetch; std::u16string page; OfferView view; manifest::PageTrust trust = kNoKey; } cases[] = {
      {"a newer version", PageFetch::Arrived, PageWith(u"13.04.21", u"<p>1. 停靠</p><p>2. 字体</p>"),
       {u"单击确定来进行如下版本的更新:", u"Ver:13.04.21", u"更新日志\r\n1. 停靠\r\n2. 字体", true, false}},
      {"the same version", PageFetch::Arrived, PageWith(u"13.04.20", u"<p>a</p>"),
       {u"您的软件已经是最新版:", u"Ver:13.04.20", u"更新日志\r\na", false, false}},
      {"no version", PageFetch::Arrived, u"<p>更新日志</p><p>a</p><p>更新文件及地址：", FailedView()},
      {"a change log without <p>", PageFetch::Arrived, PageWith(u"13.04.21", u"one line"), FailedView()},
      {"an error status or a time-out", PageFetch::Failed, PageWith(u"13.04.21", u"<p>a</p>"), FailedView()},
      {"offline", PageFetch::NotConnected, u"", OfflineView()},
      {"a key built in, a page not signed with it", PageFetch::Arrived, PageWith(u"13.04.21", u"<p>a</p>"), FailedView(), kBadSignature},
  };
  for (const auto& c : cases) EXPECT_EQ(ViewForFetch(c.fetch, c.page, u"13.04.20", [&](auto, auto) { return c.trust; }), c.view) << c.what;
}

page::DownloadEntry Entry(std::u16string_view name) { return {u"1." + std::u16string(name) + u"\"s\"", u"s"}; }

TEST(DownloadPlan, EveryNameReadableDistinctAndOursOrNothingIsDownloaded) {
  const auto plan = PlanDownloads({Entry(u"renewick.EXE"), Entry(u"Stickwell.exe")}, {u"http://d/1", u"HTTPS://d/2"});
  const std::vector<PlannedDownload> expected = {{u"renewick.EXE", u"NewRenewick.exe", u"http://d/1", u"正在下载 NewRenewick.exe"},
                                                 {u"Stickwell.exe", u"Stickwell.exe", u"HTTPS://d/2", u"正在下载 Stickwell.exe"}};
  EXPECT_EQ(plan, expected);
  EXPECT_FALSE(PlanDownloads({}, {})) << "a list without entries";
  EXPECT_FALSE(PlanDownloads({Entry(u"a.exe")}, {})) << "an entry without a direct address";
  // Unreadable, twice under one name, or one of the install's own names.
  for (auto bad : {u"..\\Stickwell.exe", u"Stickwell.exe", u"NewRenewick.exe", u"a.exe.staged", u"Stickwell.update-journal"}) {
    EXPECT_FALSE(PlanDownloads({Entry(u"Renewick.exe"), Entry(u"Stickwell.exe"), Entry(bad)}, {u"http://1", u"http://2", u"http://3"}))
        << testing::PrintToString(std::u16string(bad));
  }
  for (auto bad : {u"file:///C:/Windows/notepad.exe", u"http://", u"ftp://d/a", u" http://d/a"})
    EXPECT_FALSE(PlanDownloads({Entry(u"Stickwell.exe")}, {bad})) << testing::PrintToString(std::u16string(bad));
}

// An event for the run: one of its methods with its arguments.
using Event = std::function<Step(UpdateRun&)>;
template <auto Method, typename... Args>
Event On(Args... args) { return [=](UpdateRun& run) { return (run.*Method)(args...); }; }

// One line per step: what to do and everything it names.
std::u16string Describe(const Step& step) {
  const char16_t* kActions[] = {u"None", u"Refuse", u"FetchPage", u"FetchShare", u"BeginStaging", u"Download",
                                u"Install", u"Countdown", u"StartNote", u"Fail", u"Abandon"};
  std::u16string line = kActions[static_cast<int>(step.action)];
  for (const auto& text : {step.address, step.file, step.status}) line += text.empty() ? u"" : u" " + text;
  for (const auto& target : step.targets) line += u" " + target;
  for (const auto& file : step.staged) line += u" " + file.target + u"=" + std::u16string(file.length, u'#');
  return line;
}

std::u16string SharePage(std::u16string_view address) { return u"保存至网盘 href=\"" + std::u16string(address) + u"\" id=\""; }

const Event kTick = On<&UpdateRun::countdownTick>();
const Event kClose = On<&UpdateRun::closed>();

const std::vector<std::pair<Event, std::u16string>> kWholeUpdate = {
    {On<&UpdateRun::opened>(false), u"FetchPage"},
    {On<&UpdateRun::pageRead>(PageWith(u"13.04.21", u"<p>a</p>")), u"FetchShare s1"},
    {On<&UpdateRun::sharePageRead>(SharePage(u"http://d/1")), u"FetchShare s2"},
    {On<&UpdateRun::sharePageRead>(SharePage(u"http://d/2")), u"BeginStaging Stickwell.exe NewRenewick.exe"},
    {On<&UpdateRun::stagingBegun>(true), u"Download http://d/1 Stickwell.exe.staged 正在下载 Stickwell.exe"},
    {On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 5, 5, Digest(1), true}), u"Download http://d/2 NewRenewick.exe.staged 正在下载 NewRenewick.exe"},
    {On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 3, {}, Digest(2)}), u"Install Stickwell.exe=##### NewRenewick.exe=###"},
    {On<&UpdateRun::installed>(install::Outcome::Installed), u"Countdown 更新完成，5秒钟后自动关闭本窗口"},
    {kTick, u"Countdown 更新完成，4秒钟后自动关闭本窗口"},
    {kTick, u"Countdown 更新完成，3秒钟后自动关闭本窗口"},
    {kTick, u"Countdown 更新完成，2秒钟后自动关闭本窗口"},
    {kTick, u"Countdown 更新完成，1秒钟后自动关闭本窗口"},
    {kTick, u"StartNote"},
};

const std::u16string kFailStaged = u"Fail Stickwell.exe NewRenewick.exe";

TEST(UpdateRun, AWholeUpdateAndEveryWayItEndsEarly) {
  // Each case: the first `after` steps of the whole update, then the event, and the step it leads to.
  const struct { const char* what; size_t after; Event event; std::u16string step; manifest::PageTrust trust = kSigned; } cases[] = {
      {"the whole update", kWholeUpdate.size(), kTick, u"None"},
      {"a note window is open", 0, On<&UpdateRun::opened>(true), u"Refuse"},
      {"the page cannot be fetched", 1, On<&UpdateRun::pageRead>(std::nullopt), u"Fail"},
      {"a page without downloads", 1, On<&UpdateRun::pageRead>(std::u16string(u"Ver13.04.21")), u"Fail"},
      {"a share page without its link", 2, On<&UpdateRun::sharePageRead>(std::u16string(u"文件已过期")), u"Fail"},
      {"the journal cannot be written", 4, On<&UpdateRun::stagingBegun>(false), u"Fail"},
      {"a body cut short", 5, On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 4, 5, Digest(1)}), kFailStaged},
      {"a body longer than announced", 5, On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 6, 5}), kFailStaged, kNoKey},
      {"a transfer that broke off", 6, On<&UpdateRun::fileDownloaded>(DownloadFacts{false, 3, {}, Digest(2)}), kFailStaged},
      {"a page not signed with the key", 1, On<&UpdateRun::pageRead>(PageWith(u"13.04.21", u"")), u"Fail", kBadSignature},
      {"a download list of other files than the signed one", 1, On<&UpdateRun::pageRead>(PageWith(u"13.04.21", u"")), u"Fail",
       {manifest::Trust::Verified, manifest::Manifest{u"13.04.21", {{u"Stickwell.exe", 5, Digest(1)}}, {}, {}}}},
      {"a file a byte off the signed one", 5, On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 5, 5, Digest(9)}), kFailStaged},
      {"a file of another length than signed", 5, On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 6, 6, Digest(1)}), kFailStaged},
      {"without a key, a program without its length", 6, On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 3, {}, {}, true}), kFailStaged, kNoKey},
      {"without a key, a program that is not a whole image", 6, On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 3, 3}), kFailStaged, kNoKey},
      {"without a key, a whole program of its length", 6, On<&UpdateRun::fileDownloaded>(DownloadFacts{true, 3, 3, {}, true}),
       u"Install Stickwell.exe=##### NewRenewick.exe=###", kNoKey},
      {"a note opened while the files downloaded", 7, On<&UpdateRun::noteOpenedBeforeInstall>(), u"Refuse Stickwell.exe NewRenewick.exe"},
      {"the install went back", 7, On<&UpdateRun::installed>(install::Outcome::RolledBack), u"Fail"},
      {"closed while the pages are read", 2, kClose, u"Abandon"},
      {"closed while downloading", 6, kClose, u"Abandon Stickwell.exe NewRenewick.exe"},
      {"closed while counting down", 9, kClose, u"None"},
  };
  for (const auto& c : cases) {
    UpdateRun run([&](auto, auto) { return c.trust; });
    for (size_t i = 0; i < c.after; ++i) {
      const Step step = kWholeUpdate[i].first(run);
      ASSERT_EQ(Describe(step), kWholeUpdate[i].second) << c.what << " " << i;
      EXPECT_EQ(step.hash, step.action == Action::Download && c.trust.manifest) << "the SHA-256 only with a key";
      EXPECT_EQ(step.checkImage, step.action == Action::Download && !c.trust.manifest) << "a program's image only without one";
    }
    EXPECT_EQ(Describe(c.event(run)), c.step) << c.what;
    EXPECT_EQ(Describe(run.fileDownloaded({true, 5, 5, Digest(1)})), u"None") << c.what << ": the run has ended";
  }
}

TEST(DownloadLimit, AtMostOneGibibyteAndNeverTheLast64MebibytesOfTheDisk) {
  using download::MayWrite, download::MayGrowTo;
  const std::uint64_t mib = std::uint64_t{1} << 20, gib = mib << 10;
  EXPECT_TRUE(MayWrite(gib, std::nullopt) && MayWrite(100 * mib, 164 * mib) && MayGrowTo(gib));
  // Beyond 1 GiB with room to spare, into the margin, on a disk already inside it, a body without a length
  // beyond 1 GiB.
  EXPECT_FALSE(MayWrite(gib + 1, 100 * gib) || MayWrite(100 * mib + 1, 164 * mib) || MayWrite(0, 10 * mib) ||
               MayGrowTo(gib + 1));
  // A body without a length, piece by piece as the disk fills: the piece that would cross the margin stops it.
  EXPECT_TRUE(MayGrowTo(500 * mib, 65 * mib, mib) && MayGrowTo(gib, std::nullopt, mib));
  EXPECT_FALSE(MayGrowTo(500 * mib, 65 * mib - 1, mib) || MayGrowTo(gib + 1, 100 * gib, mib));
}

}  // namespace
}  // namespace stickwell::updater
