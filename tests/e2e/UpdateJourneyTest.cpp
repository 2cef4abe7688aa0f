// A whole update as a user lives it: a running note finds a new version, hands over to the updater with
// its text saved, the updater offers the version, downloads every listed file, counts down and starts
// the note again, and the new note puts the new updater in place and finds itself up to date.
#include <gtest/gtest.h>

#include "harness/Input.h"
#include "harness/Note.h"
#include "harness/Pages.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "updater/win/ControlIds.h"

namespace e2e {

namespace ids = stickwell::updater::ids;

static int BarValue(HWND window) { return static_cast<int>(::SendMessageW(FirstChild(window, L"msctls_progress32"), WM_USER + 8, 0, 0)); }

// The version a program's properties show: its resource's product version.
static std::wstring ProductVersionOf(const std::wstring& program) {
  std::string info(::GetFileVersionInfoSizeW(program.c_str(), nullptr), '\0');
  wchar_t* text = nullptr;
  UINT length = 0;
  if (info.empty() || !::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) return L"";
  return ::VerQueryValueW(info.data(), L"\\StringFileInfo\\080404b0\\ProductVersion", reinterpret_cast<void**>(&text), &length) ? text : L"";
}

TEST(UpdateJourney, ANoteUpdatesItselfAndTheUpdaterFromThePage) {
  TestServer server;
  ProgramDir dir;
  // The new version's files come in quarters, slowly enough to watch the download window at work. They
  // are this build's programs, or those of the release folder that STICKWELL_E2E_RELEASE names (one that
  // scripts/release.sh made with the tests' key, of the page's version).
  const std::wstring release = PathFromEnvironment("STICKWELL_E2E_RELEASE");
  const auto newProgram = [&](const wchar_t* name) { return release.empty() ? ServedBuildOf(name) : ReadBytes(release + L"\\" + name).value_or(""); };
  const std::string newNote = newProgram(L"Stickwell.exe"), newUpdater = newProgram(L"Renewick.exe"), help(300000, 'r');
  ASSERT_FALSE(newNote.empty() || newUpdater.empty()) << "no programs in " << Utf8(release);
  // The title runs straight into "Ver" after nine bytes of Chinese: read in code page 936, the last of
  // them would take the "V" along, and the note would find no version where the updater finds one.
  PageContent page;
  page.beforeVersion = L"新版本";
  page = ServeUpdate(server, page,
                     {{L"Stickwell.exe", Response::Trickling(newNote, 4, 250)},
                      {L"Renewick.exe", Response::Trickling(newUpdater, 4, 250)},
                      {L"Guide.chm", Response::Trickling(help, 4, 250)}});
  const std::string title = Utf8(page.beforeVersion + L"Ver" + page.version);
  std::wstring inCodePage936(title.size(), L'\0');
  inCodePage936.resize(::MultiByteToWideChar(936, 0, title.data(), static_cast<int>(title.size()), inCodePage936.data(), static_cast<int>(title.size())));
  ASSERT_EQ(inCodePage936.find(L"Ver"), std::wstring::npos) << "the title does not test how the page is read";
  Note note(dir);
  ASSERT_TRUE(note.started());
  note.click(kBodyId);
  TypeText(L"更新前写下的话");

  // 检查更新: the check window shows its status line and bar on a blue that is its transparent colour.
  // While the page comes (in pieces now) it waits with its first status and an empty bar, answering all
  // the while; then it counts, and asks about the new version with the bar at 90.
  server.route(UpdatePagePath(), Response::Trickling(BuildUpdatePage(page), 4, 400));
  ASSERT_TRUE(note.pick(MenuItem::CheckForUpdates));
  HWND check = WaitForWindow(kFormClass, kCheckCaption, note.id()), question = nullptr;
  COLORREF key = 0;
  DWORD flags = 0;
  ASSERT_TRUE(check && ::GetLayeredWindowAttributes(check, &key, nullptr, &flags) && key == RGB(0, 0, 255) && flags == LWA_COLORKEY);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(FirstChild(check, L"Static")) == L"正在检查更新..."; }));
  EXPECT_TRUE(BarValue(check) == 0 && Responsive(check) && Responsive(note.window));
  EXPECT_EQ(WatchTexts(FirstChild(check, L"Static"), [&] { return (question = WaitForWindow(L"#32770", L"更新提示：", note.id(), 0)) != nullptr; }),
            (std::vector<std::wstring>{L"正在检查更新...", L"正在检测版本信息..."}));
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(DialogText(question), L"发现新版本 Ver：13.04.21 是否需要更新？");
  EXPECT_EQ(BarValue(check), 90);

  // OK: the note ends with its latest text in its file, and the updater offers the version. A second
  // updater says that one runs already, and ends.
  PressDialogButton(question, IDOK);
  EXPECT_TRUE(note.process.waitForExit()) << "the note did not end for the updater";
  EXPECT_EQ(note.record(), GbkRecord(L"", L"更新前写下的话"));
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption), update = nullptr;
  // Its controls come with the window's first showing.
  ASSERT_TRUE(offer && WaitUntil([&] { return IsShown(offer) && ::IsWindowEnabled(update = ::GetDlgItem(offer, ids::kUpdate)); }));
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kVersion)), L"Ver:13.04.21");
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kChangeLog)), L"更新日志\r\n1. 修复停靠问题\r\n2. 新增字体颜色");
  SaveScreenshot(L"updater-offer");
  const Process second = dir.start(L"Renewick.exe");
  HWND running = WaitForWindow(L"#32770", L"提示：", second.id);
  EXPECT_TRUE(running && DialogText(running) == L"更新程序已经在运行");
  EXPECT_TRUE((PressDialogButton(running, IDOK), second.waitForExit()));

  // 确定, which has the keyboard, takes Enter: the download window takes the offer's place, names each
  // file as it comes (the updater's own as NewRenewick.exe), counts down from 5 a second apart, closes
  // and starts the note.
  const DWORD updater = ProcessOf(offer);
  ASSERT_TRUE(Activate(offer) && WaitUntil([&] { return FocusIn(offer) == update; })) << "确定 does not have the keyboard";
  KeyChord({VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(offer); }));
  HWND download = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND window : Windows(kFormClass, kUpdaterCaption, updater))
      download = ::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED && IsShown(window) ? window : download;
    return download != nullptr;
  })) << "no download window after 确定";
  std::vector<ULONGLONG> times;
  auto seen = WatchTexts(::GetDlgItem(download, ids::kStatus), [] { return false; }, &times);
  const ULONGLONG countdown = times.size() >= 5 ? times[times.size() - 5] : 0;
  std::erase(seen, L"正在准备更新...");  // when the test is quick enough to see it
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"正在下载 Stickwell.exe", L"正在下载 NewRenewick.exe", L"正在下载 Guide.chm",
                                             L"更新完成，5秒钟后自动关闭本窗口", L"更新完成，4秒钟后自动关闭本窗口",
                                             L"更新完成，3秒钟后自动关闭本窗口", L"更新完成，2秒钟后自动关闭本窗口",
                                             L"更新完成，1秒钟后自动关闭本窗口"}));
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(download); }, 3000));
  EXPECT_NEAR(static_cast<double>(::GetTickCount64() - countdown), 5750, 1250) << "ms from the countdown's start to its end";

  // The new note starts, the updater ends, the files are in place (the note writes its ReadMe.txt afresh,
  // so the third file is another); the new note puts the new updater in place of the old one, and no
  // file of the update is left.
  HWND restarted = WaitForWindow(kFormClass, kNoteCaption);
  ASSERT_TRUE(restarted && WaitUntil([&] { return Windows(kFormClass, kUpdaterCaption).empty(); })) << "no new note, or the updater stays";
  EXPECT_TRUE(ReadBytes(dir.file(L"Stickwell.exe")) == newNote && ReadBytes(dir.file(L"Guide.chm")) == help);
  EXPECT_TRUE(WaitUntil([&] { return !FileExists(dir.file(L"NewRenewick.exe")) && ReadBytes(dir.file(L"Renewick.exe")) == newUpdater; }))
      << "the new note did not put the new updater in place";
  EXPECT_TRUE(WaitUntil([&] { return UpdateLeftovers(dir).empty(); })) << "a file of the update stays";
  EXPECT_EQ(note.record(), GbkRecord(L"", L"更新前写下的话")) << "the old note's text stays for 打开";
  SaveScreenshot(L"update-round-trip");
  // A release's programs are of the version the page offered, and read the makers' own page, which the
  // tests' network does not reach: the walk ends here for them.
  if (!release.empty()) {
    for (const wchar_t* program : {L"Stickwell.exe", L"Renewick.exe"}) EXPECT_EQ(Utf8(ProductVersionOf(dir.file(program))), Utf8(page.version)) << Utf8(program);
    return;
  }

  // An updater started while the note runs offers the version, but its 确定 stops before anything is
  // fetched.
  const size_t shares = server.requestsFor("/share/1");
  const Process again = dir.start(L"Renewick.exe");
  ASSERT_TRUE((offer = WaitForWindow(kFormClass, kUpdaterCaption, again.id)) && WaitUntil([&] { return ::IsWindowEnabled(update = ::GetDlgItem(offer, ids::kUpdate)); }));
  ASSERT_TRUE(ClickUntil(CenterOf(WindowRectOf(update)), [&] { return !::IsWindow(offer); }));
  HWND stop = WaitForWindow(L"#32770", L"Stickwell 更新提示:", again.id);
  EXPECT_TRUE(stop && DialogText(stop) == L"发现原程序正在运行,请关闭原程序后再点击更新.");
  EXPECT_TRUE((PressDialogButton(stop, IDOK), again.waitForExit()) && server.requestsFor("/share/1") == shares) << "it fetched something";

  // Checking against a page of its own version, the new note finds nothing newer and the check closes
  // by itself, after one request.
  page.version = L"13.04.20";
  server.route(UpdatePagePath(), Response(BuildUpdatePage(page)));
  const size_t requests = server.requestsFor(UpdatePagePath());
  ASSERT_TRUE(WalkMenu(ProcessOf(restarted), CenterOf(WindowRectOf(NoteControl(restarted, kBodyId))), MenuKeys(MenuItem::CheckForUpdates)));
  check = WaitForWindow(kFormClass, kCheckCaption, ProcessOf(restarted));
  EXPECT_EQ(WatchTexts(FirstChild(check, L"Static"), [] { return false; }),
            (std::vector<std::wstring>{L"正在检查更新...", L"正在检测版本信息...", L"暂无更新"}));
  EXPECT_TRUE(!::IsWindow(check) && Windows(L"#32770", nullptr, ProcessOf(restarted)).empty()) << "the check did not close by itself";
  EXPECT_EQ(server.requestsFor(UpdatePagePath()), requests + 1);
}

}  // namespace e2e
