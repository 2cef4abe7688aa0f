// What the note does with the update page when things are not as they should be: a check that cannot
// read the page or start the updater, the official site, and the pushed message in each of its forms.
// The test build's push timer ticks every second instead of every minute.
#include <gtest/gtest.h>

#include "BuildConfig.h"
#include "harness/Input.h"
#include "harness/Note.h"
#include "harness/Pages.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "note/win/PushDialogIds.h"

namespace e2e {

TEST(UpdateCheckFaults, APageItCannotUseOrAMissingUpdaterEndTheCheckAsTheyShould) {
  TestServer server;
  ProgramDir dir({L"Stickwell.exe"});
  Note note(dir);
  ASSERT_TRUE(note.started());
  ASSERT_TRUE(WaitUntil([&] { return server.requests().size() == 1; })) << "the push read no page at start-up";

  // A page it cannot read closes the check without a word, the bar never having moved. A silent server
  // holds up neither window, and a second pick meanwhile starts no second check.
  Response silent("", Fault::StallHeaders);
  silent.stallMs = 8000;  // twice the test build's time-out
  for (const Response& page : {silent, Response("<html><body>Maintenance</body></html>"), Response(BuildUpdatePage({}), Fault::ShortBody, 100)}) {
    server.route(UpdatePagePath(), page);
    const size_t before = server.requests().size();
    ASSERT_TRUE(note.pick(MenuItem::CheckForUpdates));
    HWND check = WaitForWindow(kFormClass, kCheckCaption, note.id());
    if (page.fault == Fault::StallHeaders) {
      ASSERT_TRUE(note.pick(MenuItem::CheckForUpdates));
      EXPECT_TRUE(Responsive(check) && Responsive(note.window) && Windows(kFormClass, kCheckCaption, note.id()).size() == 1);
    }
    const auto seen = WatchTexts(FirstChild(check, L"Static"), [] { return false; }, nullptr, 10000);
    EXPECT_TRUE(seen.empty() || seen == std::vector<std::wstring>{L"正在检查更新..."}) << *page.body;
    EXPECT_TRUE(!::IsWindow(check) && Windows(L"#32770", nullptr, note.id()).empty()) << "the check did not close without a word";
    EXPECT_EQ(server.requests().size(), before + 1);
  }

  // 官方网站 opens the update page in the browser and reads nothing itself.
  ClearOpenedPages();
  const size_t before = server.requests().size();
  ASSERT_TRUE(note.pick(MenuItem::OfficialSite));
  EXPECT_TRUE(WaitForOpenedPage(UpdatePageAddress()));
  EXPECT_EQ(server.requests().size(), before);

  // A new version, but no working updater beside the note: a second question; Yes opens the site.
  ServeUpdate(server, {});
  for (int answer : {IDYES, IDNO, IDYES}) {
    if (answer == IDNO) WriteBytes(dir.file(L"Renewick.exe"), "MZ, but not a program");
    ClearOpenedPages();
    ASSERT_TRUE(note.pick(MenuItem::CheckForUpdates));
    PressDialogButton(WaitForWindow(L"#32770", L"更新提示：", note.id()), IDOK);
    HWND second = WaitForWindow(L"#32770", L"提示:", note.id());
    ASSERT_TRUE(second && DialogText(second) == L"更新文件已损坏,是否去官网重新下载最新完整版程序？");
    PressDialogButton(second, answer);
    EXPECT_TRUE(WaitUntil([&] { return Windows(kFormClass, kCheckCaption, note.id()).empty(); }) && note.process.running());
    EXPECT_TRUE(answer == IDYES ? WaitForOpenedPage(UpdatePageAddress()) : OpenedPages().empty());
  }
}

// Notes started one after another, each reading its own page right after start-up. The message shows
// at the third tick of the push timer, once, and leaves the note usable; 确定 closes it and the timer
// goes on, "知道了，不再提醒" stops the timer. A page with the switch off, or unreadable, gives neither dialog
// nor timer; a silent server does not hold up typing into a new note.
TEST(Push, EachPageDecidesTheMessageAndTheTimer) {
  constexpr DWORD kInterval = stickwell::config::kPushIntervalMs;
  FocusSink sink;
  TestServer server;
  ProgramDir dir;
  PageContent on;
  on.pushSwitch = L"开";
  on.pushLines = {L"今晚八点停机维护", L"请提前保存好便签"};
  PageContent off = on;
  off.pushSwitch = L"关";
  Response silent("", Fault::StallHeaders);
  silent.stallMs = 8000;
  const struct {
    Response response;
    int button;  // pressed in the dialog; 0: no dialog may come
    long long ticks;  // of the push timer in the end; at least that many when it goes on
  } rows[] = {{silent, 0, 0},
              {Response(BuildUpdatePage(on)), kPushOkId, 6},
              {Response(BuildUpdatePage(on)), kStopRemindingId, 3},
              {Response(BuildUpdatePage(off)), 0, 0},
              {Response::Status(500, BuildUpdatePage(on)), 0, 0}};
  std::vector<std::unique_ptr<Note>> notes;
  for (const auto& row : rows) {
    server.route(UpdatePagePath(), row.response);
    const size_t requests = server.requests().size();
    const Note& note = *notes.emplace_back(std::make_unique<Note>(dir));
    ASSERT_TRUE(note.started());
    const ULONGLONG started = ::GetTickCount64();
    ASSERT_TRUE(WaitUntil([&] { return server.requests().size() > requests; }, 5000));
    if (row.response.fault == Fault::StallHeaders) {
      note.click(kBodyId);
      TypeText(L"先记下来");
      EXPECT_TRUE(WaitUntil([&] { return note.text(kBodyId) == L"先记下来"; }, 5000, 5));
      EXPECT_LT(::GetTickCount64() - started, 1500u) << "typing waited for the page";
    }
    // Side by side, so that each can be clicked.
    ::SetWindowPos(note.window, nullptr, 255 * static_cast<int>(notes.size() - 1), 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  for (size_t i = 0; i < std::size(rows); ++i) {
    HWND dialog = rows[i].button ? WaitForWindow(L"#32770", L"消息推送：", notes[i]->id(), 6 * kInterval + 10000) : nullptr;
    if (!rows[i].button) continue;
    ASSERT_NE(dialog, nullptr) << "row " << i;
    EXPECT_EQ(notes[i]->pushTicks(), 3) << "the dialog opens at the third tick";
    EXPECT_EQ(TextOf(::GetDlgItem(dialog, kPushTextId)), L"今晚八点停机维护\r\n请提前保存好便签");
    EXPECT_TRUE((::GetWindowLongPtrW(::GetDlgItem(dialog, kPushTextId), GWL_STYLE) & WS_VSCROLL) && TextOf(::GetDlgItem(dialog, kPushOkId)) == L"确定" &&
                TextOf(::GetDlgItem(dialog, kStopRemindingId)) == L"知道了，不再提醒");
    SaveScreenshot(L"push-dialog");
    notes[i]->click(kBodyId);
    TypeText(L"照常");
    EXPECT_TRUE(WaitUntil([&] { return notes[i]->text(kBodyId) == L"照常"; }, 3000)) << "the dialog held up the note";
    PressDialogButton(dialog, rows[i].button);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
  }
  Pause(3 * kInterval + 500);
  for (size_t i = 0; i < std::size(rows); ++i) {
    const long long ticks = notes[i]->pushTicks();
    EXPECT_TRUE(rows[i].button == kPushOkId ? ticks >= rows[i].ticks : ticks == rows[i].ticks) << "row " << i << ": " << ticks << " ticks";
    EXPECT_TRUE(Windows(L"#32770", nullptr, notes[i]->id()).empty()) << "row " << i;
  }
}

}  // namespace e2e
