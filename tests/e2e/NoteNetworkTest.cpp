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
    // A check that ends at once may still be going when the test finds it: its closing is awaited.
    const bool closed = WaitUntil([&] { return !::IsWindow(check); }, 2000);
    const std::vector<HWND> dialogs = Windows(L"#32770", nullptr, note.id());
    EXPECT_TRUE(closed && dialogs.empty())
        << "the check did not close without a word on " << *page.body << (::IsWindow(check) ? ": it is still open" : "")
        << (dialogs.empty() ? std::wstring() : L": a dialog says " + DialogText(dialogs.front()));
    EXPECT_EQ(server.requests().size(), before + 1);
  }

  // 官方网站 opens the update page in the browser and reads nothing itself.
  ClearOpenedPages();
  const size_t before = server.requests().size();
  ASSERT_TRUE(note.pick(MenuItem::OfficialSite));
  EXPECT_TRUE(WaitForOpenedPage(UpdatePageAddress()));
  EXPECT_EQ(server.requests().size(), before);

  // A new version: Cancel closes the check. With no working updater beside the note, OK brings a second
  // question; Yes opens the site.
  ServeUpdate(server, {});
  for (int answer : {IDCANCEL, IDYES, IDNO, IDYES}) {
    if (answer == IDNO) WriteBytes(dir.file(L"Renewick.exe"), "MZ, but not a program");
    ClearOpenedPages();
    ASSERT_TRUE(note.pick(MenuItem::CheckForUpdates));
    PressDialogButton(WaitForWindow(L"#32770", L"更新提示：", note.id()), answer == IDCANCEL ? IDCANCEL : IDOK);
    HWND second = answer == IDCANCEL ? nullptr : WaitForWindow(L"#32770", L"提示:", note.id());
    ASSERT_TRUE(answer == IDCANCEL || (second && DialogText(second) == L"更新文件已损坏,是否去官网重新下载最新完整版程序？"));
    PressDialogButton(second, answer);
    EXPECT_TRUE(WaitUntil([&] { return Windows(kFormClass, kCheckCaption, note.id()).empty(); }) && note.process.running() &&
                Windows(L"#32770", nullptr, note.id()).empty());
    EXPECT_TRUE(answer == IDYES ? WaitForOpenedPage(UpdatePageAddress()) : OpenedPages().empty());
  }
}

// Notes started one after another, each reading its own page right after start-up. The message shows
// at the third tick of the push timer, once, and leaves the note usable; 确定 closes it and the timer
// goes on, "知道了，不再提醒" stops the timer. A page with the switch off, or unreadable, gives neither dialog
// nor timer; a silent server does not hold up typing into a new note.
TEST(Push, EachPageDecidesTheMessageAndTheTimer) {
  FocusSink sink;
  TestServer server;
  ProgramDir dir;
  PageContent on, off;
  on.pushSwitch = L"开";
  on.pushLines = off.pushLines = {L"今晚八点停机维护", L"请提前保存好便签"};
  Response silent("", Fault::StallHeaders);
  silent.stallMs = 8000;
  // The page, and the button pressed in its dialog (0: no dialog may come, nor the timer run).
  const std::pair<Response, int> rows[] = {{silent, 0}, {Response(BuildUpdatePage(on)), kPushOkId}, {Response(BuildUpdatePage(on)), kStopRemindingId},
                                           {Response(BuildUpdatePage(off)), 0}, {Response::Status(500, BuildUpdatePage(on)), 0}};
  std::vector<std::unique_ptr<Note>> notes;
  for (const auto& [page, button] : rows) {
    const size_t requests = (server.route(UpdatePagePath(), page), server.requests().size());
    const Note& note = *notes.emplace_back(std::make_unique<Note>(dir));
    const ULONGLONG started = ::GetTickCount64();
    ASSERT_TRUE(note.started() && WaitUntil([&] { return server.requests().size() > requests; }));
    // Side by side, so that each can be clicked, clear of the edges, where a note would dock.
    ::SetWindowPos(note.window, nullptr, 20 + 250 * static_cast<int>(notes.size() - 1), 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (page.fault != Fault::StallHeaders) continue;
    note.click(kBodyId);
    TypeText(L"先记下来");
    EXPECT_TRUE(WaitUntil([&] { return note.text(kBodyId) == L"先记下来"; }, 5000, 5) && ::GetTickCount64() - started < 2500) << "typing waited for the page";
  }
  // Every dialog first, each note answering once its dialog has shown: under Wine a dialog that opens
  // takes the keyboard from another note being typed into.
  std::vector<HWND> dialogs;
  for (size_t i = 0; i < std::size(rows); ++i)
    dialogs.push_back(rows[i].second ? WaitForWindow(L"#32770", L"消息推送：", notes[i]->id(), 20000) : nullptr), notes[i]->pushTicks();
  std::vector<long long> pressedAt(std::size(rows));  // the timer's ticks when the button was pressed
  for (size_t i = 0; i < std::size(rows); ++i) {
    HWND dialog = dialogs[i];
    if (!rows[i].second) continue;
    ASSERT_TRUE(dialog && notes[i]->pushTicks() >= 3) << "no dialog, or before the third tick";
    EXPECT_TRUE(TextOf(::GetDlgItem(dialog, kPushTextId)) == L"今晚八点停机维护\r\n请提前保存好便签" && TextOf(::GetDlgItem(dialog, kPushOkId)) == L"确定" &&
                TextOf(::GetDlgItem(dialog, kStopRemindingId)) == L"知道了，不再提醒");
    SaveScreenshot(L"push-dialog");
    notes[i]->setText(kBodyId, L"");
    ASSERT_TRUE(notes[i]->focus(kBodyId)) << "the note did not take the keyboard beside its dialog";
    TypeText(L"照常");
    EXPECT_TRUE(WaitUntil([&] { return notes[i]->text(kBodyId) == L"照常"; }, 3000)) << "the dialog held up the note";
    PressDialogButton(dialog, rows[i].second);
    pressedAt[i] = notes[i]->pushTicks();
  }
  Pause(3 * stickwell::config::kPushIntervalMs + 500);
  for (size_t i = 0; i < std::size(rows); ++i) {
    const long long ticks = notes[i]->pushTicks();
    EXPECT_TRUE((rows[i].second == kPushOkId ? ticks >= pressedAt[i] + 3 : ticks == pressedAt[i]) && Windows(L"#32770", nullptr, notes[i]->id()).empty())
        << "note " << i << ": " << ticks << " ticks";
  }
}

}  // namespace e2e
