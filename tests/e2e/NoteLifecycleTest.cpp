// One note per process: "+" starts another, notes started together keep apart, "x" ends only its own
// note, and a folder that cannot be written leaves the note usable.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "harness/Files.h"
#include "harness/Input.h"
#include "harness/NoteUi.h"
#include "harness/ProgramDir.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"

namespace e2e {
namespace {

using namespace stickwell::note;

void ClickControl(HWND note, int id) {
  const POINT centre = CenterOf(WindowRectOf(NoteControl(note, id)));
  Click(centre.x, centre.y);
}

// A note window of any process but `except`.
HWND OtherNoteWindow(DWORD except) {
  for (HWND window : TopLevelWindows(kFormClass, kNoteCaption))
    if (ProcessOf(window) != except) return window;
  return nullptr;
}

std::vector<std::wstring> Added(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after) {
  std::vector<std::wstring> added;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
  return added;
}

std::wstring NameAt(const SYSTEMTIME& t) {
  return std::to_wstring(t.wMonth) + L"-" + std::to_wstring(t.wDay) + L" " + (t.wHour < 10 ? L"0" : L"") +
         std::to_wstring(t.wHour) + L"-" + (t.wMinute < 10 ? L"0" : L"") + std::to_wstring(t.wMinute) + L"-" +
         (t.wSecond < 10 ? L"0" : L"") + std::to_wstring(t.wSecond) + L".txt";
}

TEST(NoteLifecycle, PlusStartsAnotherNoteWithItsOwnFile) {
  ProgramDir dir;
  Process first;
  HWND note = StartNote(dir, first);
  ASSERT_NE(note, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return NoteFiles(dir).size() == 1; }));
  const auto before = NoteFiles(dir);

  ClickControl(note, kPlusButtonId);
  HWND second = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (second = OtherNoteWindow(first.id())) != nullptr; }, 15000))
      << "\"+\" started no second note";
  ASSERT_TRUE(WaitUntil([&] { return NoteFiles(dir).size() == 2; }));
  const auto added = Added(before, NoteFiles(dir));
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(ReadBytes(dir.file(added[0])), GbkRecord(L"", L""));

  // The first note is as it was: same window, same file, still running.
  EXPECT_TRUE(first.running());
  EXPECT_EQ(TopLevelWindows(kFormClass, kNoteCaption, first.id()).size(), 1u);
  EXPECT_EQ(ReadBytes(dir.file(before[0])), GbkRecord(L"", L""));
  const RECT a = WindowRectOf(note), b = WindowRectOf(second);
  EXPECT_TRUE(::EqualRect(&a, &b)) << "the new note opens at the same spot";
}

TEST(NoteLifecycle, NotesStartedTogetherGetAFileEach) {
  FocusSink sink;
  ProgramDir dir;
  // Files of other notes already hold the names of the next seconds.
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  FILETIME at;
  ::SystemTimeToFileTime(&now, &at);
  std::vector<std::wstring> taken;
  for (int second = 0; second < 8; ++second) {
    ULARGE_INTEGER t{{at.dwLowDateTime, at.dwHighDateTime}};
    t.QuadPart += 10000000ULL * second;
    const FILETIME shifted{t.LowPart, t.HighPart};
    SYSTEMTIME later;
    ::FileTimeToSystemTime(&shifted, &later);
    taken.push_back(NameAt(later));
    ASSERT_TRUE(WriteBytes(dir.file(taken.back()), "another note"));
  }

  constexpr int kNotes = 3;
  Process processes[kNotes];
  for (Process& process : processes) process = dir.startNote();
  std::vector<HWND> windows;
  for (const Process& process : processes) {
    windows.push_back(WaitForWindow(kFormClass, kNoteCaption, process.id()));
    ASSERT_NE(windows.back(), nullptr);
  }
  ASSERT_TRUE(WaitUntil([&] { return NoteFiles(dir).size() == taken.size() + kNotes; }))
      << NoteFiles(dir).size() << " note files";
  for (const std::wstring& name : taken) EXPECT_EQ(ReadBytes(dir.file(name)), "another note") << name;

  // Each note writes its own file.
  for (int i = 0; i < kNotes; ++i) {
    const std::wstring body = L"便签" + std::to_wstring(i);
    ::SendMessageW(NoteControl(windows[i], kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(body.c_str()));
    ASSERT_TRUE(Activate(windows[i]));
    ASSERT_TRUE(sink.click());
  }
  std::set<std::string> expected, found;
  for (int i = 0; i < kNotes; ++i) expected.insert(GbkRecord(L"", L"便签" + std::to_wstring(i)));
  WaitUntil([&] {
    found.clear();
    for (const std::wstring& name : Added(taken, NoteFiles(dir))) found.insert(ReadBytes(dir.file(name)).value_or(""));
    return found == expected;
  });
  EXPECT_EQ(found, expected);
  for (const std::wstring& name : Added(taken, NoteFiles(dir)))
    EXPECT_NE(name.find(L" ("), std::wstring::npos) << name << ": a taken name was not passed over";
}

TEST(NoteLifecycle, CloseRemovesOnlyItsOwnFileAndEndsOnlyItsProcess) {
  ProgramDir dir;
  Process first, second;
  HWND firstNote = StartNote(dir, first);
  ASSERT_NE(firstNote, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return NoteFiles(dir).size() == 1; }));
  const auto firstFile = NoteFiles(dir);
  HWND secondNote = StartNote(dir, second);
  ASSERT_NE(secondNote, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return NoteFiles(dir).size() == 2; }));
  const auto secondFile = Added(firstFile, NoteFiles(dir));
  ASSERT_EQ(secondFile.size(), 1u);

  ASSERT_TRUE(Activate(secondNote));  // on top of the first, at the same spot
  ClickControl(secondNote, kCloseButtonId);
  EXPECT_TRUE(second.waitForExit(10000)) << "\"x\" did not end its note";
  EXPECT_FALSE(FileExists(dir.file(secondFile[0])));
  EXPECT_TRUE(first.running()) << "\"x\" ended another note";
  EXPECT_EQ(NoteFiles(dir), firstFile);

  ASSERT_TRUE(Activate(firstNote));
  ClickControl(firstNote, kCloseButtonId);
  EXPECT_TRUE(first.waitForExit(10000));
  EXPECT_TRUE(NoteFiles(dir).empty());
  EXPECT_TRUE(FileExists(dir.file(L"License.txt"))) << "only the note's own file goes";
}

// scripts/e2e.sh mounts a folder holding Stickwell.exe read-only and names it here.
std::wstring ReadOnlyFolder() {
  wchar_t unixPath[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"STICKWELL_E2E_READONLY_DIR", unixPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring path = L"Z:" + std::wstring(unixPath, length);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

TEST(NoteLifecycle, ReadOnlyProgramFolderLeavesTheNoteUsable) {
  const std::wstring folder = ReadOnlyFolder();
  if (folder.empty()) GTEST_SKIP() << "needs the read-only folder that scripts/e2e.sh mounts";
  ASSERT_TRUE(FileExists(folder + L"\\Stickwell.exe"));
  ASSERT_FALSE(WriteBytes(folder + L"\\probe.txt", "x")) << "the folder is not read-only";

  FocusSink sink;
  const Process process = StartProgram(folder + L"\\Stickwell.exe");
  HWND note = WaitForWindow(kFormClass, kNoteCaption, process.id());
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !TextOf(NoteControl(note, kStartTimeId)).empty(); })) << "start-up did not finish";

  ClickControl(note, kBodyId);
  TypeText(L"只读");
  ASSERT_TRUE(sink.click());  // a save that cannot be written
  Pause(300);
  EXPECT_TRUE(process.running());
  EXPECT_TRUE(DialogsOf(process.id()).empty());
  EXPECT_EQ(TextOf(NoteControl(note, kBodyId)), L"只读");

  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  std::vector<std::wstring> names;
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  EXPECT_EQ(names, std::vector<std::wstring>{L"Stickwell.exe"});

  ASSERT_TRUE(Activate(note));
  ClickControl(note, kCloseButtonId);
  EXPECT_TRUE(process.waitForExit(10000)) << "\"x\" must end the note even when its file cannot be deleted";
  process.terminate();
}

}  // namespace
}  // namespace e2e
