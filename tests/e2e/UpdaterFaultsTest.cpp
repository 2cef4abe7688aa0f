// The updater where an update cannot be made: a page it cannot offer, and every way the download can
// fail. Whatever happens, the folder stays as it was: the old files untouched, no
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
// failed state, whose link line opens the official site on a left click only. 取消 ends the updater.
TEST(UpdaterFaults, APageItCannotOfferShowsTheWayToTheSite) {
  TestServer server;
  ProgramDir dir;
  server.route(UpdatePagePath(), Response::Status(500, BuildUpdatePage({})));
  const Process updater = dir.start(L"Renewick.exe");
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id), link = nullptr;
  ASSERT_TRUE(offer && WaitUntil([&] { return IsShown(link = ::GetDlgItem(offer, ids::kSiteLink)); }));
  EXPECT_TRUE(TextOf(::GetDlgItem(offer, ids::kPrompt)) == L"在线升级失败" && !::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)));
  ClearOpenedPages();
  Click(CenterOf(WindowRectOf(link)), Button::Right);
  EXPECT_TRUE((Pause(300), OpenedPages().empty())) << "a right click opened the site";
  Click(CenterOf(WindowRectOf(link)));
  EXPECT_TRUE(WaitForOpenedPage(UpdatePageAddress()));
  Click(CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kCancel))));
  EXPECT_TRUE(updater.waitForExit()) << "取消 did not end the updater";
}

TEST(UpdaterFaults, AFailedUpdateLeavesTheFolderAsItWas) {
  TestServer server;
  ProgramDir dir;
  const std::string build = ServedBuildOf(L"Stickwell.exe");
  const auto before = ReadBytes(dir.file(L"Stickwell.exe"));
  // The first file, ReadMe.txt, always comes whole.
  // What goes wrong; the second file's name and response; whether every name can be read; the answer to
  // the failure question.
  const struct { const char* what; std::wstring name; Response response; bool namesReadable; int answer; } rows[] = {
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
    HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id);
    ASSERT_TRUE(offer && WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)); }) &&
                ClickUntil(CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kUpdate))), [&] { return !::IsWindow(offer); }));
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
}

}  // namespace e2e
