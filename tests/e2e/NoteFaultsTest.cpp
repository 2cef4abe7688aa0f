// The note where things go wrong around it: killed in the middle of saving, started together with
// others in the same seconds, handing over to a new updater whose files are in use, writing into a
// folder that refuses it or a file that another program holds, and ended from outside.
#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <random>
#include <set>
#include <thread>

#include "harness/Note.h"
#include "harness/Pages.h"

namespace e2e {

// Starts notes from the folder together and waits for the end of their start-up: the start time shows
// and each has claimed its file. A note claims it after it has shown and made itself the active window,
// so no note that is still starting takes the focus from one the test has activated.
static std::vector<HWND> StartNotes(const ProgramDir& dir, std::vector<Process>& notes) {
  std::vector<HWND> windows;
  const std::vector<std::wstring> before = NoteFiles(dir.path());
  for (Process& note : notes) note = dir.start(L"Stickwell.exe");
  for (Process& note : notes) {
    HWND window = WaitForWindow(kFormClass, kNoteCaption, note.id);
    windows.push_back(window && WaitUntil([&] { return !TextOf(NoteControl(window, kStartTimeId)).empty(); }) ? window : nullptr);
  }
  // A deleted file may stay listed for a moment while the killed note that wrote it is still closing.
  const auto added = [&] {
    const auto now = NoteFiles(dir.path());
    return std::count_if(now.begin(), now.end(), [&](auto& name) { return std::find(before.begin(), before.end(), name) == before.end(); });
  };
  EXPECT_TRUE(WaitUntil([&] { return added() == static_cast<std::ptrdiff_t>(notes.size()); })) << "not every note claimed a file: " << ::testing::PrintToString(NoteFiles(dir.path()));
  return windows;
}

// Notes killed at random moments of their saving leave complete records only: never an empty, partial
// or mixed file. Six notes at a time, each saving a large record over and over (the focus-loss message
// saves), so that kills often land in the middle of a write, which a temporary file left behind shows.
// The next notes that start clear those away, but never the temporary file of a program that runs.
TEST(NoteFaults, KilledWhileSavingAlwaysLeavesACompleteRecord) {
  std::wstring bodies[3];
  std::set<std::string> complete = {GbkRecord(L"", L"")};
  for (int n = 0; n < 3; ++n, complete.insert(GbkRecord(L"", bodies[n - 1])))
    for (int line = 0; line < 800; ++line) bodies[n] += L"第" + std::to_wstring(n) + L"版 第" + std::to_wstring(line) + L"行\r\n";
  std::mt19937 random(20130420);
  ProgramDir dir;
  int midWrite = 0;
  const std::wstring running = L"1-1 00-00-05.txt." + std::to_wstring(::GetCurrentProcessId()) + L".saving";
  for (int kills = 0; kills < 120; kills += 6) {
    ASSERT_TRUE(WriteBytes(dir.file(running), "a program that runs is saving"));
    std::vector<Process> notes(6);
    std::vector<std::thread> savers;
    std::atomic<bool> stop{false};
    const std::vector<std::wstring> left = dir.files(L"*.saving");
    for (HWND window : StartNotes(dir, notes))
      savers.emplace_back([window, body = bodies[savers.size() % 3], &stop] {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(NoteControl(window, kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(body.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored);
        while (!stop && ::SendMessageTimeoutW(window, WM_ACTIVATE, WA_INACTIVE, 0, SMTO_ABORTIFHUNG, 2000, &ignored)) {
        }
      });
    // Once every note has saved its body, each is killed at a random moment.
    EXPECT_TRUE(WaitUntil([&] {
      const auto names = NoteFiles(dir.path());
      return names.size() == 6 && std::none_of(names.begin(), names.end(), [&](auto& name) { return ReadBytes(dir.file(name)) == GbkRecord(L"", L""); });
    })) << "not every note saved its body, after " << kills << " kills";
    // Wine gives a new process the id of a dead one now and then: its file counts as that note's own.
    const auto reused = [&](const std::wstring& name) {
      return std::any_of(notes.begin(), notes.end(), [&](const Process& p) { return name.ends_with(L"." + std::to_wstring(p.id) + L".saving"); });
    };
    EXPECT_TRUE(WaitUntil([&] { return std::all_of(left.begin(), left.end(), [&](auto& name) { return name == running || reused(name) || !FileExists(dir.file(name)); }); }))
        << "a temporary file of a killed note stayed, after " << kills << " kills";
    EXPECT_TRUE(FileExists(dir.file(running))) << "a running program's temporary file went";
    for (const Process& note : notes) ::Sleep(std::uniform_int_distribution<DWORD>(0, 40)(random)), ::TerminateProcess(note.handle.get(), 1);
    for (const Process& note : notes) ASSERT_TRUE(note.waitForExit());
    stop = true;
    for (std::thread& saver : savers) saver.join();
    for (const std::wstring& name : dir.files(L"*.saving")) midWrite += std::find(left.begin(), left.end(), name) == left.end();
    for (const std::wstring& name : NoteFiles(dir.path())) {
      ASSERT_TRUE(complete.count(ReadBytes(dir.file(name)).value_or(""))) << Utf8(name) << " holds no complete record";
      // Wine may still be closing a killed process's files for a moment.
      ASSERT_TRUE(WaitUntil([&] { return ::DeleteFileW(dir.file(name).c_str()) || !FileExists(dir.file(name)); }));
    }
  }
  std::cout << "[ killed   ] 120 notes while saving, " << midWrite << " in the middle of a write\n";
  EXPECT_GT(midWrite, 0) << "no kill came during a save: the test proves nothing";
}

// Three notes started at once, in a folder where other notes' files hold the names of the next eight
// seconds, each take a name of their own and write only their own file. Under Wine a stray click into
// a note that opened under the resting pointer once started a fourth.
TEST(NoteFaults, NotesStartedTogetherInTakenSecondsGetAFileEach) {
  FocusSink sink;
  ProgramDir dir;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  ::FileTimeToLocalFileTime(&now, &now);
  std::vector<std::wstring> taken;
  for (ULONGLONG at = (ULONGLONG{now.dwHighDateTime} << 32 | now.dwLowDateTime), second = 0; second < 8; ++second, at += 10000000) {
    SYSTEMTIME t;
    const FILETIME time{static_cast<DWORD>(at), static_cast<DWORD>(at >> 32)};
    wchar_t name[40];
    ::FileTimeToSystemTime(&time, &t);
    swprintf(name, 40, L"%u-%u %02u-%02u-%02u.txt", t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    ASSERT_TRUE(WriteBytes(dir.file(taken.emplace_back(name)), "another note"));
  }
  std::vector<Process> notes(3);
  std::set<std::string> expected = {"another note"}, found;
  for (HWND window : StartNotes(dir, notes)) {
    const std::wstring body = L"便签" + std::to_wstring(expected.size());
    ::SendMessageW(NoteControl(window, kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(body.c_str()));
    expected.insert(GbkRecord(L"", body));
    ASSERT_TRUE(Activate(window) && sink.click());  // the note loses the focus and saves
  }
  EXPECT_TRUE(WaitUntil([&] {
    found.clear();
    for (const std::wstring& name : NoteFiles(dir.path())) found.insert(ReadBytes(dir.file(name)).value_or(""));
    return found == expected;
  })) << found.size() << " different note files";
  EXPECT_EQ(NoteFiles(dir.path()).size(), 11u) << "8 taken names and one for each note";
  EXPECT_EQ(Windows(kFormClass, kNoteCaption).size(), 3u) << "a stray click started another note";
}

// Once no updater window is open, the note puts "NewRenewick.exe" in the place of "Renewick.exe", in
// one move, while it goes on answering. A file opened without delete sharing (a running program holds
// its executable so, a virus scanner the new copy) can be neither replaced nor moved: both stay until
// it is free, and the move is tried again then; the folder is never without an updater.
TEST(NoteFaults, TheHandoffWaitsForTheUpdaterAndForFilesInUse) {
  FocusSink sink;
  ProgramDir dir;
  const auto prepare = [&] { return WriteBytes(dir.file(L"Renewick.exe"), "old") && WriteBytes(dir.file(L"NewRenewick.exe"), "new"); };
  // The updater's window, and look-alikes that stay open all along: its caption with another class, its
  // class with another caption.
  HWND updater = OpenOwnWindow(kFormClass, kUpdaterCaption, {700, 100, 760, 160});
  OpenOwnWindow(L"NotAForm", kUpdaterCaption, {700, 200, 760, 260});
  OpenOwnWindow(kFormClass, L"Stickwell 更新", {700, 300, 760, 360});
  ASSERT_TRUE(prepare());
  Note note(dir);
  ASSERT_TRUE(note.started());
  ULONGLONG slowestAnswer = 0;  // while waiting for the hand-off
  const auto handedOver = [&](DWORD timeoutMs) {
    slowestAnswer = 0;
    return WaitUntil([&] {
      const ULONGLONG asked = ::GetTickCount64();
      slowestAnswer = std::max(slowestAnswer, Responsive(note.window) ? ::GetTickCount64() - asked : 5000);
      return !FileExists(dir.file(L"NewRenewick.exe")) && ReadBytes(dir.file(L"Renewick.exe")) == "new";
    }, timeoutMs);
  };
  EXPECT_FALSE(handedOver(1500)) << "handed over while the updater is open";
  ::DestroyWindow(updater);
  EXPECT_TRUE(handedOver(5000) && slowestAnswer < 250) << "no hand-off after the updater window closed, or the note was held up";
  for (const wchar_t* inUse : {L"Renewick.exe", L"NewRenewick.exe"}) {
    ASSERT_TRUE(prepare());
    HANDLE handle = ::CreateFileW(dir.file(inUse).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(!handedOver(1500) && slowestAnswer < 250) << Utf8(inUse) << " in use was moved, or the failing move held up the note";
    EXPECT_TRUE(ReadBytes(dir.file(L"Renewick.exe")) == "old" && ReadBytes(dir.file(L"NewRenewick.exe")) == "new");
    ::CloseHandle(handle);
    EXPECT_TRUE(handedOver(3000)) << "the hand-off was not tried again once " << Utf8(inUse) << " was free";
  }
  EXPECT_EQ(dir.files(L"*Renewick*"), std::vector<std::wstring>{L"Renewick.exe"});
}

// The user's folder for notes, "%LOCALAPPDATA%\\Stickwell" under the tests' Wine prefix, emptied (a file
// in its way removed).
static std::wstring EmptiedUserFolder() {
  const std::wstring folder = _wgetenv(L"LOCALAPPDATA") + std::wstring(L"\\Stickwell");
  for (const std::wstring& name : FilesIn(folder + L"\\*")) ::DeleteFileW((folder + L"\\" + name).c_str());
  if (!::RemoveDirectoryW(folder.c_str())) ::DeleteFileW(folder.c_str());
  return folder;
}

// A note whose program folder refuses writing keeps its file in the user's folder: typing reaches it,
// 打开 starts there, "x" deletes it. When that folder refuses too, the note says so once and goes on.
// When a save fails (the next one writes), and when the update question's OK cannot save the note, the
// updater starts, but the note stays open with its text rather than end with it unsaved.
TEST(NoteFaults, ANoteThatCannotWriteItsFolderMovesToTheUsersFolder) {
  FocusSink sink;
  const std::wstring readOnly = PathFromEnvironment("STICKWELL_E2E_READONLY_DIR"), user = EmptiedUserFolder();
  ASSERT_TRUE(!readOnly.empty() && !WriteBytes(readOnly + L"\\probe.txt", "x")) << "run it through scripts/e2e.sh";
  Note moved(readOnly, true, user);
  ASSERT_TRUE(moved.started());
  ASSERT_TRUE(WriteBytes(user + L"\\1-1 00-00-05.txt", GbkRecord(L"留下的", L"旧事")));
  moved.click(kBodyId);
  TypeText(L"只读");
  EXPECT_TRUE(moved.pick(MenuItem::Open) && AnswerFileDialog(moved.id(), L"1-1 00-00-05.txt")) << "打开 did not start in the user's folder";
  ASSERT_TRUE(sink.click());
  EXPECT_TRUE(FileHolds(moved.file, GbkRecord(L"留下的", L"只读\r\n旧事")));
  EXPECT_TRUE(FilesIn(readOnly + L"\\*") == std::vector<std::wstring>{L"Stickwell.exe"} && FilesIn(user + L"\\*").size() == 1);
  moved.click(kCloseButtonId);
  EXPECT_TRUE(moved.process.waitForExit() && FilesIn(user + L"\\*").empty()) << "\"x\" must delete the file in the user's folder";

  ASSERT_TRUE(::RemoveDirectoryW(user.c_str()) && WriteBytes(user, "a file in the folder's way"));
  Note stuck(readOnly, false);
  ASSERT_TRUE(stuck.started());
  HWND told = WaitForWindow(L"#32770", nullptr, stuck.id());
  stuck.click(kBodyId);
  TypeText(L"无处可存");
  ASSERT_TRUE(sink.click());  // every save fails meanwhile
  EXPECT_TRUE((Pause(500), told && Windows(L"#32770", nullptr, stuck.id()).size() == 1 && stuck.text(kBodyId) == L"无处可存" && Responsive(stuck.window)))
      << "the note must say once that it cannot be saved, and go on";
  stuck.click(kCloseButtonId);
  EXPECT_TRUE(stuck.process.waitForExit()) << "\"x\" must end a note that has no file";
  EmptiedUserFolder();

  TestServer server;
  ServeUpdate(server, {});
  ProgramDir dir;
  Note note(dir);
  ASSERT_TRUE(note.started());
  // A folder in the way of the note's temporary file makes every save fail.
  const std::wstring blocker = note.file + L"." + std::to_wstring(note.id()) + L".saving";
  ASSERT_TRUE(::CreateDirectoryW(blocker.c_str(), nullptr));
  note.click(kBodyId);
  TypeText(L"还没存下的字");
  ASSERT_TRUE(sink.click() && Activate(note.window) && note.pick(MenuItem::CheckForUpdates));
  EXPECT_EQ(note.record(), GbkRecord(L"", L"")) << "the failed save must leave the last good record";
  PressDialogButton(WaitForWindow(L"#32770", L"更新提示：", note.id()), IDOK);
  HWND updater = WaitForWindow(kFormClass, kUpdaterCaption);
  EXPECT_NE(updater, nullptr) << "the updater starts all the same";
  EXPECT_TRUE(note.process.running() && note.text(kBodyId) == L"还没存下的字" && Windows(L"#32770", nullptr, note.id()).empty());
  ::PostMessageW(updater, WM_CLOSE, 0, 0);  // it lies over the focus sink
  ASSERT_TRUE(::RemoveDirectoryW(blocker.c_str()) && WaitUntil([&] { return !::IsWindow(updater); }) && Activate(note.window) && sink.click());
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"", L"还没存下的字")));
}

// Typing with the pointer resting on the note reaches its file at the first pause. While another
// program holds the file against replacing, it keeps its last good record with no temporary file
// beside it, and the new record follows the release at once. The end of the session (while a scanner
// holds the file for a moment) and Alt+F4 save the title still in its editor. "x" deletes a file held
// for a moment, and the note's temporary file with it.
TEST(NoteFaults, TypingReachesTheFileThroughHeldFilesAndEveryEnd) {
  FocusSink sink;
  ProgramDir dir;
  Note note(dir);
  ASSERT_TRUE(note.started());
  const auto hold = [&] { return ::CreateFileW(note.file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr); };
  note.click(kBodyId);
  TypeText(L"一");
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"", L"一"), 3000)) << "no save at a pause in the typing";
  HANDLE held = hold();
  TypeText(L"二");
  EXPECT_TRUE((Pause(2500), note.record() == GbkRecord(L"", L"一") && dir.files(L"*.saving").empty())) << "while the file is held";
  ::CloseHandle(held);
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"", L"一二"), 400) && dir.files(L"*.saving").empty()) << "after the release";

  DoubleClick(note.titlePoint());
  ASSERT_TRUE(WaitUntil([&] { return IsShown(note.control(kTitleEditorId)); }, 3000));
  TypeText(L"标题");
  held = hold();
  std::thread scanner([held] { ::Sleep(250), ::CloseHandle(held); });
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(note.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &ignored);
  scanner.join();
  EXPECT_EQ(note.record(), GbkRecord(L"标题", L"一二")) << "the end of the session";

  const std::wstring temporary = note.file + L"." + std::to_wstring(note.id()) + L".saving";
  ASSERT_TRUE(WriteBytes(temporary, "left by a save whose clean-up failed") && (held = hold()) != INVALID_HANDLE_VALUE);
  note.click(kCloseButtonId);
  ::CloseHandle((Pause(300), held));
  EXPECT_TRUE(note.process.waitForExit() && !FileExists(note.file) && !FileExists(temporary)) << "\"x\" on a file held for a moment";

  Note closing(dir);
  ASSERT_TRUE(closing.started());
  closing.click(kBodyId);
  TypeText(L"三");
  DoubleClick(closing.titlePoint());
  ASSERT_TRUE(WaitUntil([&] { return IsShown(closing.control(kTitleEditorId)); }, 3000));
  TypeText(L"关");
  KeyChord({VK_MENU, VK_F4});
  EXPECT_TRUE(closing.process.waitForExit() && ReadBytes(closing.file) == GbkRecord(L"关", L"三")) << "Alt+F4: " << closing.record();
}

}  // namespace e2e
