// The updater where an update cannot be made: a page it cannot offer, a note still open, and every way
// the download can fail. Whatever happens, the folder stays as it was: the old files untouched, no
// partial file left.
#include <gtest/gtest.h>

#include "harness/Input.h"
#include "harness/Note.h"
#include "harness/Pages.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "updater/win/ControlIds.h"

namespace e2e {

namespace ids = stickwell::updater::ids;

// A page it cannot offer (here an error status; the offer's core decides on every other page) shows the
// failed state with the link line: only a left click on the logo, the product's name or the link line
// opens the official site. 取消 ends the updater.
TEST(UpdaterFaults, APageItCannotOfferShowsTheWayToTheSite) {
  TestServer server;
  ProgramDir dir;
  server.route(UpdatePagePath(), Response::Status(500, BuildUpdatePage({})));
  const Process updater = dir.start(L"Renewick.exe");
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id);
  ASSERT_TRUE(offer && WaitUntil([&] { return TextOf(::GetDlgItem(offer, ids::kPrompt)) == L"在线升级失败"; }));
  EXPECT_TRUE(TextOf(::GetDlgItem(offer, ids::kVersion)) == L"无法获取版本号" && !::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)) &&
              IsShown(::GetDlgItem(offer, ids::kSiteLink)));
  SaveScreenshot(L"updater-failed");
  for (int id : {ids::kProduct, ids::kLogo, ids::kSiteLink}) {
    // The logo's left part: the product's name lies over its middle.
    const RECT r = WindowRectOf(::GetDlgItem(offer, id));
    const POINT at = id == ids::kLogo ? POINT{r.left + 5, r.bottom - 5} : CenterOf(r);
    ClearOpenedPages();
    Click(at, Button::Right);
    Pause(300);
    EXPECT_EQ(OpenedPages(), "") << "a right click opened the site (control " << id << ")";
    Click(at);
    EXPECT_TRUE(WaitForOpenedPage(UpdatePageAddress())) << "control " << id;
  }
  Click(CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kCancel))));
  EXPECT_TRUE(updater.waitForExit()) << "取消 did not end the updater";
}

TEST(UpdaterFaults, AFailedUpdateLeavesTheFolderAsItWas) {
  TestServer server;
  ProgramDir dir;
  const std::string build = ServedBuildOf(L"Stickwell.exe");
  const auto before = ReadBytes(dir.file(L"Stickwell.exe"));
  const auto accept = [&](const Process& updater) {
    HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id);
    return offer && WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)); }) &&
           ClickUntil(CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kUpdate))), [&] { return !::IsWindow(offer); });
  };
  // The first file, ReadMe.txt, always comes whole.
  const struct {
    const char* what;
    std::wstring name;  // of the second file
    Response response;
    bool namesReadable;
    int answer;  // to the failure question
  } rows[] = {
      {"a body cut short", L"Stickwell.exe", Response(build, Fault::ShortBody, build.size() / 2), true, IDNO},
      {"an error status", L"Stickwell.exe", Response::Status(404, "gone"), true, IDYES},
      {"a stalled transfer", L"Stickwell.exe", Response(build, Fault::StallBody, 1000), true, IDNO},
      {"a name outside the folder", L"..\\Stickwell.exe", Response(build), false, IDNO},
      {"a device name", L"CON", Response(build), false, IDNO},
      {"a share page without its link", L"Stickwell.exe", Response(build), false, IDNO},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ServeUpdate(server, {}, {{L"ReadMe.txt", Response("new read me")}, {row.name, row.response}});
    if (row.name == L"Stickwell.exe" && !row.namesReadable) server.route("/share/2", Response("<html>文件已过期</html>"));
    ASSERT_TRUE(WriteBytes(dir.file(L"ReadMe.txt"), "old read me"));
    ClearOpenedPages();
    const Process updater = dir.start(L"Renewick.exe");
    ASSERT_TRUE(accept(updater));
    HWND question = WaitForWindow(L"#32770", L"提示", updater.id, 20000);
    ASSERT_TRUE(question && DialogText(question) == L"更新失败，是否去官网下载最新版本") << "no failure question";
    PressDialogButton(question, row.answer);
    EXPECT_TRUE(updater.waitForExit()) << "the updater must end after the failure question";
    EXPECT_EQ(ReadBytes(dir.file(L"Stickwell.exe")), before) << "the old file was touched";
    EXPECT_TRUE(dir.files(L"*.partial").empty() && !FileExists(dir.path() + L"\\..\\Stickwell.exe"));
    // Nothing is downloaded before every name and address has been read; a file that came whole stays.
    EXPECT_EQ(ReadBytes(dir.file(L"ReadMe.txt")), row.namesReadable ? "new read me" : "old read me");
    EXPECT_TRUE(row.answer == IDYES ? WaitForOpenedPage(UpdatePageAddress()) : OpenedPages().empty());
  }

  // A note still open stops the update before anything is fetched.
  ServeUpdate(server, {}, {{L"Stickwell.exe", Response(build)}});
  const size_t shares = server.requestsFor("/share/1");
  Note note(dir);
  ASSERT_TRUE(note.started());
  const Process updater = dir.start(L"Renewick.exe");
  ASSERT_TRUE(accept(updater));
  HWND message = WaitForWindow(L"#32770", L"Stickwell 更新提示:", updater.id);
  ASSERT_TRUE(message && DialogText(message) == L"发现原程序正在运行,请关闭原程序后再点击更新.");
  PressDialogButton(message, IDOK);
  EXPECT_TRUE(updater.waitForExit());
  EXPECT_EQ(server.requestsFor("/share/1"), shares) << "something was fetched while a note is open";
  EXPECT_EQ(ReadBytes(dir.file(L"Stickwell.exe")), before);
}

}  // namespace e2e
