// The updater as a user meets it: the offer for the page's version, the download of every listed file
// into the program folder, the countdown and the note's restart, and every way an update can fail
// without leaving the folder broken.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BuildConfig.h"
#include "harness/Browser.h"
#include "harness/Files.h"
#include "harness/Input.h"
#include "harness/PageBuilder.h"
#include "harness/ProgramDir.h"
#include "harness/Screenshot.h"
#include "harness/TestServer.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "updater/win/ControlIds.h"

namespace e2e {
namespace {

namespace ids = stickwell::updater::ids;

std::string OfficialSite() {
  const std::u16string url = stickwell::config::kUpdatePageUrl;
  return std::string(url.begin(), url.end());
}

// A program from the build with a few bytes appended: a real, runnable executable that differs from
// the one already in the program folder.
std::string ServedBuildOf(const std::wstring& program) {
  auto bytes = ReadBytes(BuildBinFolder() + L"\\" + program);
  return bytes ? *bytes + std::string("\0served build of the test server\0", 33) : std::string();
}

class Updater : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.listening());
    ClearOpenedPages();
  }

  // The page lists the files with share pages /share/<n> that lead to /files/<name>.
  void servePage(PageContent content, const std::vector<std::pair<std::wstring, Response>>& files = {}) {
    int number = 1;
    for (const auto& [name, response] : files) {
      const std::string share = "/share/" + std::to_string(number++);
      const std::string file = "/files/" + Utf8(name);
      content.downloads.push_back({name, ServerUrl(share)});
      server.route(share, Response::Ok(BuildSharePage(ServerUrl(file))));
      server.route(file, response);
    }
    server.route(UpdatePagePath(), Response::Ok(BuildUpdatePage(content)));
  }

  // Starts the updater and waits for its offer window to show (with its controls).
  HWND startOffer() {
    updater = dir.startUpdater();
    HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id());
    return offer && WaitUntil([&] { return IsShown(offer); }) ? offer : nullptr;
  }

  static bool WaitForText(HWND control, const std::wstring& text, DWORD timeoutMs = 15000) {
    return WaitUntil([&] { return TextOf(control) == text; }, timeoutMs);
  }

  // Clicks "确定" and waits for the download window that takes the offer window's place.
  HWND acceptOffer(HWND offer) {
    HWND update = ::GetDlgItem(offer, ids::kUpdate);
    if (!WaitUntil([&] { return ::IsWindowEnabled(update) != FALSE; })) return nullptr;
    const POINT button = CenterOf(WindowRectOf(update));
    Click(button.x, button.y);
    HWND download = nullptr;
    WaitUntil([&] {
      for (HWND window : TopLevelWindows(kFormClass, kUpdaterCaption, updater.id()))
        if (window != offer && IsShown(window) && (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED))
          download = window;
      return download != nullptr;
    });
    return download;
  }

  // The failure question: answers it and waits for the updater to end.
  void expectFailureQuestion(int answer) {
    HWND question = WaitForDialog(updater.id(), L"提示", 20000);
    ASSERT_NE(question, nullptr) << "no failure question";
    EXPECT_EQ(DialogText(question), L"更新失败，是否去官网下载最新版本");
    PressDialogButton(question, answer);
    EXPECT_TRUE(updater.waitForExit(10000)) << "the updater must end after the failure question";
  }

  TestServer server;
  ProgramDir dir;
  Process updater;
};

TEST_F(Updater, OffersThePagesVersionWithItsChangeLog) {
  servePage({});
  HWND offer = startOffer();
  ASSERT_NE(offer, nullptr);
  EXPECT_TRUE(WaitForText(::GetDlgItem(offer, ids::kVersion), L"Ver:13.04.21"));
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kChangeLog)), L"更新日志\r\n1. 修复停靠问题\r\n2. 新增字体颜色");
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kPrompt)), L"单击确定来进行如下版本的更新:");
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)));
  EXPECT_FALSE(IsShown(::GetDlgItem(offer, ids::kSiteLink)));
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kUpdate)), L"确定");
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kCancel)), L"取消");
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kProduct)), L"Stickwell");
  SaveScreenshot(L"updater-offer");

  // "取消" leaves: with no window left, the updater ends.
  const POINT cancel = CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kCancel)));
  Click(cancel.x, cancel.y);
  EXPECT_TRUE(updater.waitForExit(10000));
}

TEST_F(Updater, SameVersionIsUpToDate) {
  PageContent content;
  content.version = L"13.04.20";
  servePage(content);
  HWND offer = startOffer();
  ASSERT_NE(offer, nullptr);
  EXPECT_TRUE(WaitForText(::GetDlgItem(offer, ids::kPrompt), L"您的软件已经是最新版:"));
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kVersion)), L"Ver:13.04.20");
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kChangeLog)), L"更新日志\r\n1. 修复停靠问题\r\n2. 新增字体颜色");
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)));
  EXPECT_FALSE(IsShown(::GetDlgItem(offer, ids::kSiteLink)));
}

TEST_F(Updater, UnreadablePagesShowTheFailedStateWithTheSiteLink) {
  const std::string pages[] = {
      Utf8(L"<p>Ver13.04.21</p><p>更新日志 without paragraphs 更新文件及地址：</p>"),  // a change log without <p>
      "<html>Maintenance</html>",                                                      // no "Ver"
  };
  for (const auto& body : pages) {
    server.route(UpdatePagePath(), Response::Ok(body));
    HWND offer = startOffer();
    ASSERT_NE(offer, nullptr);
    EXPECT_TRUE(WaitForText(::GetDlgItem(offer, ids::kPrompt), L"在线升级失败")) << body;
    EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kVersion)), L"无法获取版本号");
    EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kChangeLog)), L"\r\n\r\n对不起，在线升级失败，您可以进入官网手动下载最新版本");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)));
    EXPECT_TRUE(IsShown(::GetDlgItem(offer, ids::kSiteLink)));
    EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kSiteLink)), L"点此进入官网下载最新版本。");
    updater.terminate();
  }
  // An error status is a failure too.
  server.route(UpdatePagePath(), Response::Status(500, BuildUpdatePage({})));
  HWND offer = startOffer();
  ASSERT_NE(offer, nullptr);
  EXPECT_TRUE(WaitForText(::GetDlgItem(offer, ids::kPrompt), L"在线升级失败"));
}

TEST_F(Updater, LeftClicksOnTheLogoNameAndLinkOpenTheOfficialSite) {
  server.route(UpdatePagePath(), Response::Ok("no version here"));
  HWND offer = startOffer();
  ASSERT_NE(offer, nullptr);
  HWND link = ::GetDlgItem(offer, ids::kSiteLink);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(link); }));

  for (int id : {ids::kProduct, ids::kLogo, ids::kSiteLink}) {
    ClearOpenedPages();
    RECT rect = WindowRectOf(::GetDlgItem(offer, id));
    // The logo's left part: the product name lies over its middle.
    const POINT point = id == ids::kLogo ? POINT{rect.left + 5, rect.bottom - 5} : CenterOf(rect);
    Click(point.x, point.y, Button::Right);
    Pause(300);
    EXPECT_TRUE(OpenedPages().empty()) << "a right click opens nothing (control " << id << ")";
    Click(point.x, point.y);
    EXPECT_TRUE(WaitForOpenedPage(OfficialSite())) << "control " << id;
  }
}

TEST_F(Updater, ASecondUpdaterSaysSoAndEnds) {
  servePage({});
  HWND first = startOffer();
  ASSERT_NE(first, nullptr);
  Process second = dir.startUpdater();
  HWND message = WaitForDialog(second.id(), L"提示：");
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(DialogText(message), L"更新程序已经在运行");
  EXPECT_TRUE(TopLevelWindows(kFormClass, kUpdaterCaption, second.id()).empty()) << "the second opens no window";
  PressDialogButton(message, IDOK);
  EXPECT_TRUE(second.waitForExit(10000));
  EXPECT_TRUE(updater.running()) << "the first updater is not disturbed";
}

TEST(OfflineUpdater, ShowsTheNetworkTextsAndMakesNoRequest) {
  TestServer server;
  server.route(UpdatePagePath(), Response::Ok(BuildUpdatePage({})));
  ProgramDir dir;
  const Process updater = dir.startUpdater();
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id());
  ASSERT_NE(offer, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(offer); }));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(::GetDlgItem(offer, ids::kPrompt)) == L"网络连接失败"; }));
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kVersion)), L"无法获取版本号");
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kChangeLog)), L"\r\n\r\n无法获取更新内容");
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)));
  EXPECT_FALSE(IsShown(::GetDlgItem(offer, ids::kSiteLink)));
  EXPECT_EQ(server.acceptedConnections(), 0u);
}

TEST_F(Updater, DownloadsEveryFileThenCountsDownAndStartsTheNote) {
  const std::string note = ServedBuildOf(L"Stickwell.exe");
  const std::string updaterBuild = ServedBuildOf(L"Renewick.exe");
  const std::string readMe(300000, 'r');
  auto slowly = [](const std::string& body) {
    // A quarter of the file every 250 ms: the status line and the bar can be watched.
    Response response = Response::WithFault(Fault::Trickle, body);
    response.trickleBytes = body.size() / 4 + 1;
    response.trickleMs = 250;
    return response;
  };
  servePage({}, {{L"Stickwell.exe", slowly(note)}, {L"Renewick.exe", slowly(updaterBuild)},
                 {L"ReadMe.txt", slowly(readMe)}});
  const auto oldUpdater = ReadBytes(dir.file(L"Renewick.exe"));

  HWND offer = startOffer();
  ASSERT_NE(offer, nullptr);
  HWND download = acceptOffer(offer);
  ASSERT_NE(download, nullptr) << "no download window after 确定";
  EXPECT_FALSE(::IsWindow(offer)) << "the offer window closes first";
  HWND status = ::GetDlgItem(download, ids::kStatus);
  HWND bar = ::GetDlgItem(download, ids::kProgress);

  // Watch the status line until the window closes.
  std::vector<std::wstring> seen;
  ULONGLONG countdownStarted = 0, closed = 0;
  bool barMatchedTheFile = false;
  WaitUntil(
      [&] {
        if (!::IsWindow(download)) {
          closed = ::GetTickCount64();
          return true;
        }
        const std::wstring text = TextOf(status);
        if (!text.empty() && (seen.empty() || seen.back() != text)) {
          seen.push_back(text);
          if (text == L"更新完成，5秒钟后自动关闭本窗口") {
            countdownStarted = ::GetTickCount64();
            // The bar ends at the last file's length.
            barMatchedTheFile = ::SendMessageW(bar, PBM_GETRANGE, FALSE, 0) == static_cast<LRESULT>(readMe.size()) &&
                                ::SendMessageW(bar, PBM_GETPOS, 0, 0) == static_cast<LRESULT>(readMe.size());
          }
        }
        return false;
      },
      30000, 10);
  const std::vector<std::wstring> expected = {
      L"正在下载 Stickwell.exe",           L"正在下载 NewRenewick.exe",         L"正在下载 ReadMe.txt",
      L"更新完成，5秒钟后自动关闭本窗口", L"更新完成，4秒钟后自动关闭本窗口", L"更新完成，3秒钟后自动关闭本窗口",
      L"更新完成，2秒钟后自动关闭本窗口", L"更新完成，1秒钟后自动关闭本窗口"};
  // The first status may have been "正在准备更新..." if the test was quick enough to see it.
  if (!seen.empty() && seen.front() == L"正在准备更新...") seen.erase(seen.begin());
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(barMatchedTheFile);
  ASSERT_NE(closed, 0u) << "the download window did not close";
  EXPECT_GE(closed - countdownStarted, 4500u);
  EXPECT_LE(closed - countdownStarted, 7000u);

  // The files are in place, the running updater's own file untouched, and no partial file is left.
  EXPECT_EQ(ReadBytes(dir.file(L"Stickwell.exe")), note);
  EXPECT_EQ(ReadBytes(dir.file(L"NewRenewick.exe")), updaterBuild);
  EXPECT_EQ(ReadBytes(dir.file(L"Renewick.exe")), oldUpdater);
  EXPECT_EQ(ReadBytes(dir.file(L"ReadMe.txt")), readMe);
  EXPECT_TRUE(dir.files(L"*.partial").empty());

  // The note program starts again and the updater ends.
  EXPECT_NE(WaitForWindow(kFormClass, kNoteCaption), nullptr) << "the note program did not start";
  EXPECT_TRUE(updater.waitForExit(10000));
  // The restarted note puts the new updater in place.
  EXPECT_TRUE(WaitUntil(
      [&] {
        return !FileExists(dir.file(L"NewRenewick.exe")) && ReadBytes(dir.file(L"Renewick.exe")) == updaterBuild;
      },
      10000))
      << "the note did not put the new updater in place";
}

TEST_F(Updater, AnOpenNoteStopsTheUpdateBeforeAnythingIsDownloaded) {
  servePage({}, {{L"Stickwell.exe", Response::Ok(ServedBuildOf(L"Stickwell.exe"))}});
  const Process note = dir.startNote();
  ASSERT_NE(WaitForWindow(kFormClass, kNoteCaption, note.id()), nullptr);
  const auto before = ReadBytes(dir.file(L"Stickwell.exe"));

  HWND offer = startOffer();
  ASSERT_NE(offer, nullptr);
  ASSERT_NE(acceptOffer(offer), nullptr);
  HWND message = WaitForDialog(updater.id(), L"Stickwell 更新提示:");
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(DialogText(message), L"发现原程序正在运行,请关闭原程序后再点击更新.");
  PressDialogButton(message, IDOK);
  EXPECT_TRUE(updater.waitForExit(10000));
  EXPECT_TRUE(server.requestsFor("/share/1").empty()) << "nothing may be fetched while a note is open";
  EXPECT_EQ(ReadBytes(dir.file(L"Stickwell.exe")), before);
}

// Each way a download can go wrong leaves the folder as it was, no partial file, and the question.
TEST_F(Updater, FailedDownloadsLeaveTheFolderAsItWas) {
  const std::string note = ServedBuildOf(L"Stickwell.exe");
  struct Case {
    const char* what;
    std::wstring name;
    Response response;
    bool sharePageBroken = false;
  };
  std::vector<Case> cases;
  cases.push_back({"a body cut short", L"Stickwell.exe", Response::WithFault(Fault::ShortBody, note, note.size() / 2)});
  cases.push_back({"an error status", L"Stickwell.exe", Response::Status(404, "gone")});
  cases.push_back({"a stalled transfer", L"Stickwell.exe", Response::WithFault(Fault::StallBody, note, 1000)});
  cases.push_back({"a name outside the folder", L"..\\Stickwell.exe", Response::Ok(note)});
  cases.push_back({"a device name", L"CON", Response::Ok(note)});
  cases.push_back({"a share page without its link", L"Stickwell.exe", Response::Ok(note), true});

  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    // The second file fails; the first one completes and stays.
    servePage({}, {{L"ReadMe.txt", Response::Ok("new read me")}, {c.name, c.response}});
    if (c.sharePageBroken) server.route("/share/2", Response::Ok("<html>文件已过期</html>"));
    WriteBytes(dir.file(L"ReadMe.txt"), "old read me");
    const auto before = ReadBytes(dir.file(L"Stickwell.exe"));

    HWND offer = startOffer();
    ASSERT_NE(offer, nullptr);
    ASSERT_NE(acceptOffer(offer), nullptr);
    expectFailureQuestion(IDNO);
    EXPECT_EQ(ReadBytes(dir.file(L"Stickwell.exe")), before) << "the old file is untouched";
    EXPECT_TRUE(dir.files(L"*.partial").empty()) << "no partial file is left";
    EXPECT_FALSE(FileExists(dir.path() + L"\\..\\Stickwell.exe"));
    const bool namesReadable = c.name == L"Stickwell.exe" && !c.sharePageBroken;
    // Files are downloaded only once every name and address could be read; a completed one stays.
    EXPECT_EQ(ReadBytes(dir.file(L"ReadMe.txt")), namesReadable ? "new read me" : "old read me");
    EXPECT_TRUE(OpenedPages().empty()) << "No opens nothing";
  }
}

TEST_F(Updater, YesToTheFailureQuestionOpensTheOfficialSite) {
  servePage({}, {{L"Stickwell.exe", Response::Status(500)}});
  HWND offer = startOffer();
  ASSERT_NE(offer, nullptr);
  ASSERT_NE(acceptOffer(offer), nullptr);
  expectFailureQuestion(IDYES);
  EXPECT_TRUE(WaitForOpenedPage(OfficialSite()));
}

}  // namespace
}  // namespace e2e
