// The message the makers push through the update page: read right after start-up without holding up
// the note, shown at the push timer's third tick, once, and stopped for the run by its second button.
// The test build's push timer ticks every second instead of every minute.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "BuildConfig.h"
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
#include "note/win/PushDialogIds.h"

namespace e2e {
namespace {

using namespace stickwell::note;

constexpr wchar_t kDialogCaption[] = L"消息推送：";
constexpr DWORD kInterval = stickwell::config::kPushIntervalMs;

std::string PushPage(const std::wstring& pushSwitch, std::vector<std::wstring> lines) {
  PageContent content;
  content.pushSwitch = pushSwitch;
  content.pushLines = std::move(lines);
  return BuildUpdatePage(content);
}

class NotePush : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.listening()); }

  HWND start() {
    window = StartNote(dir, note);
    return window && WaitUntil([&] { return IsShown(window); }) ? window : nullptr;
  }

  // The push dialog of the note, once it shows (about three intervals after start-up).
  HWND waitForDialog() { return WaitForDialog(note.id(), kDialogCaption, 6 * kInterval + 10000); }

  TestServer server;
  ProgramDir dir;
  Process note;
  HWND window = nullptr;
};

TEST_F(NotePush, TheThirdTickShowsTheMessageLinesOnceAndTheNoteStaysUsable) {
  server.route(UpdatePagePath(), Response::Ok(PushPage(L"开", {L"今晚八点停机维护", L"请提前保存好便签"})));
  ASSERT_NE(start(), nullptr);
  HWND dialog = waitForDialog();
  ASSERT_NE(dialog, nullptr) << "no push dialog";
  EXPECT_EQ(PushTimerTicks(window), 3) << "the dialog opens at the third tick";

  HWND text = ::GetDlgItem(dialog, kPushTextId);
  EXPECT_EQ(TextOf(text), L"今晚八点停机维护\r\n请提前保存好便签");
  const LONG_PTR style = ::GetWindowLongPtrW(text, GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_EQ(TextOf(::GetDlgItem(dialog, kPushOkId)), L"确定");
  EXPECT_EQ(TextOf(::GetDlgItem(dialog, kStopRemindingId)), L"知道了，不再提醒");
  SaveScreenshot(L"push-dialog");

  // Modeless: the note takes typing while the dialog is open.
  HWND body = NoteControl(window, kBodyId);
  const POINT centre = CenterOf(WindowRectOf(body));
  Click(centre.x, centre.y);
  TypeText(L"照常记录");
  EXPECT_TRUE(WaitUntil([&] { return TextOf(body) == L"照常记录"; }, 3000));
  EXPECT_TRUE(IsShown(dialog));

  PressDialogButton(dialog, kPushOkId);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000)) << "确定 closes the dialog";
  // The timer runs on, but shows nothing again in this run.
  EXPECT_TRUE(WaitUntil([&] { return PushTimerTicks(window) >= 6; }, 4 * kInterval + 5000));
  EXPECT_TRUE(DialogsOf(note.id()).empty());
}

TEST_F(NotePush, StopRemindingStopsThePushTimer) {
  server.route(UpdatePagePath(), Response::Ok(PushPage(L"开", {L"新版本已发布"})));
  ASSERT_NE(start(), nullptr);
  HWND dialog = waitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(::GetDlgItem(dialog, kPushTextId)), L"新版本已发布");

  PressDialogButton(dialog, kStopRemindingId);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
  const long long ticks = PushTimerTicks(window);
  EXPECT_EQ(ticks, 3);
  Pause(3 * kInterval + 500);
  EXPECT_EQ(PushTimerTicks(window), ticks) << "the push timer must have stopped";
  EXPECT_TRUE(DialogsOf(note.id()).empty());
}

TEST_F(NotePush, NoDialogAndNoTimerWhenThePushIsOffOrThePageUnreadable) {
  struct Case {
    const char* what;
    Response response;
  } cases[] = {
      {"switch off", Response::Ok(PushPage(L"关", {L"不该出现"}))},
      {"error status", Response::Status(500, PushPage(L"开", {L"不该出现"}))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    server.route(UpdatePagePath(), c.response);
    const size_t before = server.requestsFor(UpdatePagePath()).size();
    ASSERT_NE(start(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return server.requestsFor(UpdatePagePath()).size() == before + 1; }, 5000));
    Pause(4 * kInterval);
    EXPECT_EQ(PushTimerTicks(window), 0);
    EXPECT_TRUE(DialogsOf(note.id()).empty());
    note.terminate();
  }
}

TEST_F(NotePush, ASilentServerDoesNotHoldUpTypingIntoANewNote) {
  Response stall = Response::WithFault(Fault::StallHeaders, {});
  stall.stallMs = 8000;
  server.route(UpdatePagePath(), stall);
  note = dir.startNote();
  window = WaitForWindow(kFormClass, kNoteCaption, note.id());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(window); }, 5000, 2));
  const ULONGLONG shown = ::GetTickCount64();

  HWND body = NoteControl(window, kBodyId);
  const POINT centre = CenterOf(WindowRectOf(body));
  Click(centre.x, centre.y);
  TypeText(L"先记下来");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(body) == L"先记下来"; }, 10000, 5));
  const ULONGLONG typed = ::GetTickCount64() - shown;
  EXPECT_LT(typed, 500u) << "the typing took " << typed << " ms to arrive";
  // The page was asked for, and the server has not answered: the note typed while it waited.
  EXPECT_TRUE(WaitUntil([&] { return server.acceptedConnections() >= 1; }, 3000));
  EXPECT_TRUE(DialogsOf(note.id()).empty());
}

TEST(OfflineNotePush, WithoutAConnectionNothingIsAskedAndThePushTimerStaysStopped) {
  TestServer server;
  server.route(UpdatePagePath(), Response::Ok(PushPage(L"开", {L"不该出现"})));
  ProgramDir dir;
  Process note;
  HWND window = StartNote(dir, note);
  ASSERT_NE(window, nullptr);
  Pause(4 * kInterval + 500);
  EXPECT_EQ(PushTimerTicks(window), 0);
  EXPECT_TRUE(DialogsOf(note.id()).empty());
  EXPECT_EQ(server.acceptedConnections(), 0u);
}

}  // namespace
}  // namespace e2e
