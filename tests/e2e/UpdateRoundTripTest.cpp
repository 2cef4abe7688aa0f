// A whole update as a user lives it: a running note finds a new version, hands over to the updater
// with its text saved, the updater installs the new note and the new updater and restarts the note,
// and the new note completes the updater's own update and finds itself up to date.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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
#include "updater/win/ControlIds.h"

namespace e2e {
namespace {

constexpr wchar_t kCheckCaption[] = L"自动更新";

HWND OtherWindow(const wchar_t* caption, DWORD notProcess) {
  for (HWND window : TopLevelWindows(kFormClass, caption))
    if (ProcessOf(window) != notProcess && IsShown(window)) return window;
  return nullptr;
}

TEST(UpdateRoundTrip, ANoteUpdatesItselfAndTheUpdaterFromThePage) {
  TestServer server;
  ASSERT_TRUE(server.listening());
  ProgramDir dir;
  // The new version: the programs built as 13.4.21, listed as Stickwell.exe and Renewick.exe.
  const auto nextNote = ReadBytes(BuildBinFolder() + L"\\StickwellNext.exe");
  const auto nextUpdater = ReadBytes(BuildBinFolder() + L"\\RenewickNext.exe");
  ASSERT_TRUE(nextNote && nextUpdater);
  ASSERT_NE(nextNote, ReadBytes(dir.file(L"Stickwell.exe")));
  PageContent page;
  int number = 1;
  for (const auto& [name, bytes] : {std::pair{L"Stickwell.exe", *nextNote}, std::pair{L"Renewick.exe", *nextUpdater}}) {
    const std::string share = "/share/" + std::to_string(number++);
    const std::string file = "/files/" + Utf8(name);
    page.downloads.push_back({name, ServerUrl(share)});
    server.route(share, Response::Ok(BuildSharePage(ServerUrl(file))));
    server.route(file, Response::Ok(bytes));
  }
  server.route(UpdatePagePath(), Response::Ok(BuildUpdatePage(page)));

  // The note runs, the user has typed something, and picks 检查更新.
  Process oldNote;
  HWND note = StartNote(dir, oldNote);
  ASSERT_NE(note, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(note) && NoteFiles(dir).size() == 1; }));
  const std::wstring noteFile = dir.file(NoteFiles(dir).front());
  const POINT body = CenterOf(WindowRectOf(NoteControl(note, stickwell::note::kBodyId)));
  Click(body.x, body.y);
  TypeText(L"更新前写下的话");
  ASSERT_TRUE(PickMenuCommand(note, MenuCommand::CheckForUpdates));
  HWND question = WaitForDialog(oldNote.id(), L"更新提示：");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(DialogText(question), L"发现新版本 Ver：13.04.21 是否需要更新？");
  PressDialogButton(question, IDOK);

  // The note ends with its text in its file, and the updater offers the version.
  EXPECT_TRUE(oldNote.waitForExit(10000));
  EXPECT_EQ(ReadBytes(noteFile), GbkRecord(L"", L"更新前写下的话"));
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption);
  ASSERT_NE(offer, nullptr) << "the note did not start the updater";
  const DWORD updater = ProcessOf(offer);
  // The controls come with the window's first showing.
  HWND update = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    update = ::GetDlgItem(offer, stickwell::updater::ids::kUpdate);
    return IsShown(offer) && update && ::IsWindowEnabled(update);
  })) << Utf8(TextOf(::GetDlgItem(offer, stickwell::updater::ids::kPrompt)));
  EXPECT_EQ(TextOf(::GetDlgItem(offer, stickwell::updater::ids::kVersion)), L"Ver:13.04.21");
  EXPECT_EQ(TextOf(::GetDlgItem(offer, stickwell::updater::ids::kChangeLog)), L"更新日志\r\n1. 修复停靠问题\r\n2. 新增字体颜色");
  const POINT button = CenterOf(WindowRectOf(update));
  Click(button.x, button.y);

  // The download, the countdown and the restart: a new note of the new version.
  HWND newNote = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (newNote = OtherWindow(kNoteCaption, oldNote.id())) != nullptr; }, 30000))
      << "the updater did not restart the note";
  EXPECT_TRUE(WaitForNoWindow(kFormClass, kUpdaterCaption, updater, 10000)) << "the updater did not end";
  EXPECT_EQ(ReadBytes(dir.file(L"Stickwell.exe")), nextNote);
  EXPECT_TRUE(dir.files(L"*.partial").empty());
  // The new note puts the new updater in place of the old one.
  EXPECT_TRUE(WaitUntil(
      [&] { return !FileExists(dir.file(L"NewRenewick.exe")) && ReadBytes(dir.file(L"Renewick.exe")) == nextUpdater; },
      10000));
  EXPECT_EQ(ReadBytes(noteFile), GbkRecord(L"", L"更新前写下的话")) << "the old note's text stays for 打开";
  SaveScreenshot(L"update-round-trip");

  // The new note is the page's version: its own check finds nothing newer.
  ASSERT_TRUE(PickMenuCommand(newNote, MenuCommand::CheckForUpdates));
  HWND check = WaitForWindow(kFormClass, kCheckCaption, ProcessOf(newNote), 10000);
  ASSERT_NE(check, nullptr);
  EXPECT_TRUE(WaitUntil([&] {
    const auto statics = Children(check, L"Static");
    return !statics.empty() && TextOf(statics.front()) == L"暂无更新";
  }));
  EXPECT_TRUE(DialogsOf(ProcessOf(newNote)).empty());
}

}  // namespace
}  // namespace e2e
