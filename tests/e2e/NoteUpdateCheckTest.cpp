// The note's update check as a user meets it: the transparent window with its status line and bar,
// the outcome for each answer of the page, the hand-over to the updater with the note's latest text
// saved, the question when the updater is missing, and the official-site command.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "BuildConfig.h"
#include "harness/Browser.h"
#include "harness/Files.h"
#include "harness/Input.h"
#include "harness/NoteCommands.h"
#include "harness/NoteUi.h"
#include "harness/PageBuilder.h"
#include "harness/ProgramDir.h"
#include "harness/Screenshot.h"
#include "harness/TestServer.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"

namespace e2e {
namespace {

constexpr wchar_t kCheckCaption[] = L"自动更新";

std::string OfficialSite() {
  const std::u16string url = stickwell::config::kUpdatePageUrl;
  return std::string(url.begin(), url.end());
}

std::string PageOfVersion(const std::wstring& version) {
  PageContent content;
  content.version = version;
  return BuildUpdatePage(content);
}

// The page arrives in four pieces over about 1.2 seconds.
Response Slowly(const std::string& body) {
  Response response = Response::WithFault(Fault::Trickle, body);
  response.trickleBytes = body.size() / 4 + 1;
  response.trickleMs = 400;
  return response;
}

HWND StatusLine(HWND check) {
  const auto found = Children(check, L"Static");
  return found.empty() ? nullptr : found.front();
}

int BarValue(HWND check) {
  const auto found = Children(check, PROGRESS_CLASSW);
  DWORD_PTR value = 0;
  if (found.empty() ||
      !::SendMessageTimeoutW(found.front(), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &value))
    return -1;
  return static_cast<int>(value);
}

bool Responsive(HWND window) {
  DWORD_PTR ignored = 0;
  return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 250, &ignored) != 0;
}

// What the update check showed until its window had gone: each status text once, in order, with the
// bar's value when it first showed; and whether any message box came up meanwhile. The window may be
// gone before it is first seen: the watch ends when there is none and `checked` holds.
struct Watched {
  std::vector<std::wstring> statuses;
  std::vector<int> barAtStatus;
  bool closed = false;
  bool anyDialog = false;
};

Watched WatchCheck(DWORD processId, const std::function<bool()>& checked, DWORD timeoutMs = 15000) {
  Watched seen;
  seen.closed = WaitUntil(
      [&] {
        if (!DialogsOf(processId).empty()) seen.anyDialog = true;
        const auto windows = TopLevelWindows(kFormClass, kCheckCaption, processId);
        if (windows.empty()) return checked();
        const HWND status = StatusLine(windows.front());
        const std::wstring text = status ? TextOf(status) : std::wstring();
        if (!text.empty() && (seen.statuses.empty() || seen.statuses.back() != text)) {
          seen.statuses.push_back(text);
          seen.barAtStatus.push_back(BarValue(windows.front()));
        }
        return false;
      },
      timeoutMs, 2);
  return seen;
}

Watched WatchUntilClosed(DWORD processId) {
  return WatchCheck(processId, [] { return true; });
}

class NoteUpdateCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.listening());
    ClearOpenedPages();
  }

  // Starts the note, unless it runs, and waits for the page request of its push; nullptr when it
  // does not start.
  HWND startNote() {
    if (note) return window;
    window = StartNote(*dir, note);
    if (!window || !WaitUntil([&] { return IsShown(window); })) return nullptr;
    if (!WaitUntil([&] { return server.acceptedConnections() >= 1; })) return nullptr;
    return window;
  }

  // Starts the note and picks 检查更新; the update-check window, or nullptr.
  HWND startCheck() {
    if (!startNote() || !PickMenuCommand(window, MenuCommand::CheckForUpdates)) return nullptr;
    HWND check = WaitForWindow(kFormClass, kCheckCaption, note.id(), 10000);
    return check && WaitUntil([&] { return IsShown(check); }) ? check : nullptr;
  }

  // Answers the new-version question after checking its text.
  void answerQuestion(const std::wstring& version, int answer) {
    HWND question = WaitForDialog(note.id(), L"更新提示：");
    ASSERT_NE(question, nullptr) << "no question for version " << Utf8(version);
    EXPECT_EQ(DialogText(question), L"发现新版本 Ver：" + version + L" 是否需要更新？");
    PressDialogButton(question, answer);
  }

  // With a stand-in updater in the folder, runs a check that finds 13.04.21 and waits for the question;
  // the check window and the note's file.
  void askAboutANewVersion(HWND& check, std::wstring& noteFile) {
    ASSERT_TRUE(dir->copyFromBuild(L"LaunchRecorder.exe", L"Renewick.exe"));
    server.route(UpdatePagePath(), Response::Ok(PageOfVersion(L"13.04.21")));
    check = startCheck();
    ASSERT_NE(check, nullptr);
    ASSERT_NE(WaitForDialog(note.id(), L"更新提示："), nullptr);
    ASSERT_EQ(NoteFiles(*dir).size(), 1u);
    noteFile = dir->file(NoteFiles(*dir).front());
  }

  TestServer server;
  std::unique_ptr<ProgramDir> dir = std::make_unique<ProgramDir>();
  Process note;
  HWND window = nullptr;
};

TEST_F(NoteUpdateCheck, SameVersionSaysNoUpdateThenTheWindowClosesByItself) {
  server.route(UpdatePagePath(), Slowly(PageOfVersion(L"13.04.20")));
  ASSERT_NE(startNote(), nullptr);
  const size_t requestsBefore = server.acceptedConnections();
  HWND check = startCheck();
  ASSERT_NE(check, nullptr);

  // Only the status line and the bar show: the blue background is the transparent colour.
  EXPECT_TRUE(::GetWindowLongPtrW(check, GWL_EXSTYLE) & WS_EX_LAYERED);
  COLORREF key = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(check, &key, nullptr, &flags));
  EXPECT_EQ(key, RGB(0, 0, 255));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));

  // While the page comes in, the window waits with its first status and an empty bar, and both it and
  // the note keep answering.
  Pause(600);
  EXPECT_EQ(TextOf(StatusLine(check)), L"正在检查更新...");
  EXPECT_EQ(BarValue(check), 0) << "the bar starts only when the page has been read";
  EXPECT_TRUE(Responsive(check));
  EXPECT_TRUE(Responsive(window));
  SaveScreenshot(L"update-check-waiting");

  const Watched seen = WatchUntilClosed(note.id());
  EXPECT_TRUE(seen.closed) << "the window must close by itself";
  const std::vector<std::wstring> expected = {L"正在检查更新...", L"正在检测版本信息...", L"暂无更新"};
  EXPECT_EQ(seen.statuses, expected);
  if (seen.barAtStatus.size() == 3) {
    EXPECT_LE(seen.barAtStatus[1], 15);
    EXPECT_GE(seen.barAtStatus[1], 10);
    EXPECT_GE(seen.barAtStatus[2], 90);
  }
  EXPECT_FALSE(seen.anyDialog);
  EXPECT_TRUE(note.running());
  EXPECT_EQ(server.acceptedConnections(), requestsBefore + 1) << "one check, one request";
}

TEST_F(NoteUpdateCheck, ANewerOrOlderVersionIsAskedAboutOnceAndCancelClosesTheWindow) {
  ASSERT_TRUE(dir->copyFromBuild(L"LaunchRecorder.exe", L"Renewick.exe"));
  for (const std::wstring version : {L"13.04.21", L"13.04.19"}) {
    server.route(UpdatePagePath(), Response::Ok(PageOfVersion(version)));
    HWND check = startCheck();
    ASSERT_NE(check, nullptr);
    ASSERT_NE(WaitForDialog(note.id(), L"更新提示："), nullptr);
    SaveScreenshot(L"update-check-question");
    // The bar's timer keeps ticking while the question is open: some eighty ticks ask nothing more.
    Pause(800);
    EXPECT_EQ(DialogsOf(note.id()).size(), 1u);
    EXPECT_EQ(BarValue(check), 90);
    answerQuestion(version, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(check); }, 5000)) << "Cancel closes the window";
    EXPECT_TRUE(note.running());
  }
  Pause(300);
  EXPECT_FALSE(FileExists(dir->file(L"launched.txt"))) << "Cancel starts nothing";
}

TEST_F(NoteUpdateCheck, OkStartsTheUpdaterAndEndsTheNoteWithItsLatestTextInItsFile) {
  HWND check = nullptr;
  std::wstring noteFile;
  ASSERT_NO_FATAL_FAILURE(askAboutANewVersion(check, noteFile));

  // The question leaves the note usable: the user types on, then answers without leaving the note.
  const POINT body = CenterOf(WindowRectOf(NoteControl(window, stickwell::note::kBodyId)));
  Click(body.x, body.y);
  TypeText(L"更新前的最后一句");
  ASSERT_EQ(TextOf(NoteControl(window, stickwell::note::kBodyId)), L"更新前的最后一句");
  answerQuestion(L"13.04.21", IDOK);

  EXPECT_TRUE(note.waitForExit(10000)) << "the note must end for the updater";
  EXPECT_EQ(ReadBytes(noteFile), GbkRecord(L"", L"更新前的最后一句")) << "the note file keeps the latest text";
  const auto launched = WaitForFile(dir->file(L"launched.txt"), [](const std::string&) { return true; });
  ASSERT_TRUE(launched) << "the updater was not started";
  // Its own path alone on the command line, a normal window, and the program folder to work in.
  const std::string expected =
      Utf8(L"\"" + dir->file(L"Renewick.exe") + L"\"\n" + std::to_wstring(SW_SHOWNORMAL) + L"\n" + dir->path() + L"\n");
  EXPECT_EQ(*launched, expected);
}

TEST_F(NoteUpdateCheck, ANoteThatCannotBeWrittenStaysOpenBesideTheUpdater) {
  HWND check = nullptr;
  std::wstring noteFile;
  ASSERT_NO_FATAL_FAILURE(askAboutANewVersion(check, noteFile));
  const auto lastGood = ReadBytes(noteFile);

  // A folder in the way of the note's temporary file makes the save fail.
  const std::wstring blocker = noteFile + L"." + std::to_wstring(note.id()) + L".saving";
  ASSERT_TRUE(::CreateDirectoryW(blocker.c_str(), nullptr));
  HWND body = NoteControl(window, stickwell::note::kBodyId);
  const POINT centre = CenterOf(WindowRectOf(body));
  Click(centre.x, centre.y);
  TypeText(L"还没存下的字");
  answerQuestion(L"13.04.21", IDOK);

  EXPECT_TRUE(WaitForFile(dir->file(L"launched.txt"), [](const std::string&) { return true; }))
      << "the updater starts all the same";
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(check); }, 5000));
  Pause(500);
  EXPECT_TRUE(note.running()) << "a note whose text is not on disk must not end";
  EXPECT_EQ(TextOf(body), L"还没存下的字");
  EXPECT_EQ(ReadBytes(noteFile), lastGood);
  ::RemoveDirectoryW(blocker.c_str());
}

TEST_F(NoteUpdateCheck, WithoutAWorkingUpdaterOkOffersTheOfficialSite) {
  dir = std::make_unique<ProgramDir>(std::vector<std::wstring>{L"Stickwell.exe"});
  server.route(UpdatePagePath(), Response::Ok(PageOfVersion(L"13.04.21")));
  struct Case {
    const char* updater;  // what stands at Renewick.exe
    int answer;
    bool opensSite;
  } cases[] = {{"missing", IDYES, true}, {"missing", IDNO, false}, {"not a program", IDYES, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.updater);
    if (std::string(c.updater) == "not a program") {
      ASSERT_TRUE(WriteBytes(dir->file(L"Renewick.exe"), "MZ broken"));
    }
    ClearOpenedPages();
    HWND check = startCheck();
    ASSERT_NE(check, nullptr);
    answerQuestion(L"13.04.21", IDOK);
    HWND second = WaitForDialog(note.id(), L"提示:");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(DialogText(second), L"更新文件已损坏,是否去官网重新下载最新完整版程序？");
    EXPECT_NE(::GetDlgItem(second, IDYES), nullptr);
    EXPECT_NE(::GetDlgItem(second, IDNO), nullptr);
    PressDialogButton(second, c.answer);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(check); }, 5000)) << "either answer closes the window";
    if (c.opensSite) {
      EXPECT_TRUE(WaitForOpenedPage(OfficialSite()));
    } else {
      Pause(500);
      EXPECT_TRUE(OpenedPages().empty());
    }
    EXPECT_TRUE(note.running()) << "the note keeps running";
  }
}

TEST_F(NoteUpdateCheck, APageItCannotReadClosesTheWindowWithoutAWord) {
  Response stall = Response::WithFault(Fault::StallHeaders, {});
  stall.stallMs = 8000;  // twice the time-out of the test build
  struct Case {
    const char* what;
    Response response;
  } cases[] = {
      {"no Ver", Response::Ok("<html><body>Maintenance</body></html>")},
      {"error status", Response::Status(500, PageOfVersion(L"13.04.21"))},
      {"cut-off body", Response::WithFault(Fault::ShortBody, PageOfVersion(L"13.04.21"), 100)},
      {"silent server", stall},
  };
  ASSERT_NE(startNote(), nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    server.route(UpdatePagePath(), c.response);
    const size_t requestsBefore = server.acceptedConnections();
    ASSERT_TRUE(PickMenuCommand(window, MenuCommand::CheckForUpdates));
    if (c.response.fault == Fault::StallHeaders) {
      // A silent server holds up neither window; a second pick meanwhile starts no second check.
      HWND check = WaitForWindow(kFormClass, kCheckCaption, note.id(), 5000);
      ASSERT_NE(check, nullptr);
      Pause(1000);
      EXPECT_TRUE(Responsive(check));
      EXPECT_TRUE(Responsive(window));
      EXPECT_EQ(TextOf(StatusLine(check)), L"正在检查更新...");
      EXPECT_EQ(BarValue(check), 0);
      EXPECT_TRUE(PickMenuCommand(window, MenuCommand::CheckForUpdates));
      Pause(500);
      EXPECT_EQ(TopLevelWindows(kFormClass, kCheckCaption, note.id()).size(), 1u);
      EXPECT_EQ(server.acceptedConnections(), requestsBefore + 1);
    }
    const Watched seen =
        WatchCheck(note.id(), [&] { return server.acceptedConnections() > requestsBefore; }, 10000);
    EXPECT_TRUE(seen.closed);
    EXPECT_FALSE(seen.anyDialog);
    // The bar never ran.
    for (const std::wstring& status : seen.statuses) EXPECT_EQ(status, L"正在检查更新...");
    EXPECT_TRUE(note.running());
  }
}

TEST_F(NoteUpdateCheck, OfficialSiteOpensTheUpdatePageInTheBrowser) {
  ASSERT_NE(startNote(), nullptr);
  const size_t requestsBefore = server.acceptedConnections();
  ASSERT_TRUE(PickMenuCommand(window, MenuCommand::OfficialSite));
  EXPECT_TRUE(WaitForOpenedPage(OfficialSite()));
  EXPECT_EQ(OpenedPages().size(), 1u);
  EXPECT_EQ(server.acceptedConnections(), requestsBefore) << "the note itself reads nothing for this";
}

TEST(OfflineNoteUpdateCheck, ReportsTheNetworkFailureThenClosesByItself) {
  TestServer server;
  server.route(UpdatePagePath(), Response::Ok(PageOfVersion(L"13.04.21")));
  ProgramDir dir;
  Process note;
  HWND window = StartNote(dir, note);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(window) && !NoteFiles(dir).empty(); })) << "start-up did not finish";
  ASSERT_TRUE(PickMenuCommand(window, MenuCommand::CheckForUpdates));
  HWND check = WaitForWindow(kFormClass, kCheckCaption, note.id(), 10000);
  ASSERT_NE(check, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(check); }, 5000, 2));

  const Watched seen = WatchUntilClosed(note.id());
  EXPECT_TRUE(seen.closed);
  const std::vector<std::wstring> expected = {L"正在检查更新...", L"正在检测版本信息...", L"网络连接失败！"};
  EXPECT_EQ(seen.statuses, expected);
  EXPECT_FALSE(seen.anyDialog);
  EXPECT_TRUE(note.running());
  EXPECT_EQ(server.acceptedConnections(), 0u) << "no request without a connection";
}

}  // namespace
}  // namespace e2e
