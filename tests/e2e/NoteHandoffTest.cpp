// The note completes an update of the updater: once no updater window is open, "NewRenewick.exe"
// replaces "Renewick.exe" in one move, a second or more later, while the note goes on working.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

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

// Stand-ins for the two executables: the note only moves them.
const std::string kOldBuild = "the updater in use until now";
const std::string kNewBuild = "the new updater, left by the download";

// How long the note takes to answer a message; a second or more when its thread is held up.
ULONGLONG AnswerDelay(HWND note) {
  const ULONGLONG sent = ::GetTickCount64();
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(note, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) return 5000;
  return ::GetTickCount64() - sent;
}

struct NoteHandoff : ::testing::Test {
  void SetUp() override {
    MoveTo(900, 900);  // away from the note: it saves on every tick
    ASSERT_TRUE(WriteBytes(dir.file(L"Renewick.exe"), kOldBuild));
    ASSERT_TRUE(WriteBytes(dir.file(L"NewRenewick.exe"), kNewBuild));
  }

  ::testing::AssertionResult startNote() {
    note = StartNote(dir, process);
    if (!note) return ::testing::AssertionFailure() << "no note window";
    if (!WaitUntil([&] { return !TextOf(NoteControl(note, kStartTimeId)).empty(); }))
      return ::testing::AssertionFailure() << "start-up did not finish";
    return ::testing::AssertionSuccess();
  }

  bool handedOver() const {
    return !FileExists(dir.file(L"NewRenewick.exe")) && ReadBytes(dir.file(L"Renewick.exe")) == kNewBuild;
  }

  // Asks the note again and again until the hand-off is done or `timeoutMs` passes; the longest wait
  // for an answer goes to `longestAnswer`.
  bool waitForHandover(DWORD timeoutMs, ULONGLONG& longestAnswer) {
    longestAnswer = 0;
    return WaitUntil(
        [&] {
          longestAnswer = std::max(longestAnswer, AnswerDelay(note));
          return handedOver();
        },
        timeoutMs);
  }

  ProgramDir dir;
  Process process;
  HWND note = nullptr;
};

TEST_F(NoteHandoff, UpdaterWindowHoldsItBackAndItRunsASecondAfterTheWindowCloses) {
  HWND updater = OpenOwnWindow(kFormClass, kUpdaterCaption, 700, 700);
  // Look-alikes that stay open all along: the caption with another class, the class with another caption.
  HWND otherClass = OpenOwnWindow(L"StickwellTestNotAForm", kUpdaterCaption, 700, 700);
  HWND otherCaption = OpenOwnWindow(kFormClass, L"Stickwell 更新", 700, 700);
  ASSERT_TRUE(updater && otherClass && otherCaption);
  ASSERT_TRUE(startNote());
  Pause(1500);
  EXPECT_EQ(ReadBytes(dir.file(L"Renewick.exe")), kOldBuild) << "nothing may change while the updater is open";
  EXPECT_EQ(ReadBytes(dir.file(L"NewRenewick.exe")), kNewBuild);

  const ULONGLONG closed = ::GetTickCount64();
  ::DestroyWindow(updater);
  ULONGLONG longestAnswer = 0;
  ASSERT_TRUE(waitForHandover(5000, longestAnswer)) << "no hand-off after the updater window closed";
  const ULONGLONG after = ::GetTickCount64() - closed;
  std::cout << "[ handoff  ] done " << after << " ms after the updater window closed; the note answered within "
            << longestAnswer << " ms meanwhile\n";
  EXPECT_GE(after, 1000u) << "the new updater must wait a second for the old one to end";
  EXPECT_LE(after, 2500u);
  EXPECT_LT(longestAnswer, 500u) << "the second's wait must not hold up the note";
  EXPECT_EQ(dir.files(L"*Renewick*"), std::vector<std::wstring>{L"Renewick.exe"});
  ::DestroyWindow(otherClass);
  ::DestroyWindow(otherCaption);
}

TEST_F(NoteHandoff, NewUpdaterAloneKeepsItsNameAndTheNoteKeepsWorking) {
  ASSERT_TRUE(::DeleteFileW(dir.file(L"Renewick.exe").c_str()));
  ASSERT_TRUE(startNote());
  const std::wstring file = dir.file(NoteFiles(dir).front());
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(NoteControl(note, kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"照常"),
                        SMTO_ABORTIFHUNG, 2000, &result);
  EXPECT_TRUE(WaitForFile(file, [](const std::string& bytes) { return bytes == GbkRecord(L"", L"照常"); }, 2000))
      << "the watcher must go on saving";
  Pause(2000);
  EXPECT_EQ(ReadBytes(dir.file(L"NewRenewick.exe")), kNewBuild);
  EXPECT_FALSE(FileExists(dir.file(L"Renewick.exe")));
  EXPECT_LT(AnswerDelay(note), 500u);

  // Once an updater is back, the waiting one takes its place.
  ASSERT_TRUE(WriteBytes(dir.file(L"Renewick.exe"), kOldBuild));
  EXPECT_TRUE(WaitUntil([&] { return handedOver(); }, 5000));
}

TEST_F(NoteHandoff, FileInUseKeepsBothUntilItIsReleasedAndNeverLeavesTheFolderWithoutAnUpdater) {
  const struct {
    const char* what;
    const wchar_t* file;
  } cases[] = {
      {"the old updater still running", L"Renewick.exe"},
      // Deleting the old one first and then renaming would leave no updater at all here.
      {"the new copy still being read (a virus scanner)", L"NewRenewick.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteBytes(dir.file(L"Renewick.exe"), kOldBuild));
    ASSERT_TRUE(WriteBytes(dir.file(L"NewRenewick.exe"), kNewBuild));
    // Open without FILE_SHARE_DELETE, as a running program holds its executable: it cannot be moved
    // or replaced.
    HANDLE inUse = ::CreateFileW(dir.file(c.file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    if (!note) {
      ASSERT_TRUE(startNote());
    }
    ULONGLONG longestAnswer = 0;
    EXPECT_FALSE(waitForHandover(2500, longestAnswer)) << "a file in use was moved";
    EXPECT_EQ(ReadBytes(dir.file(L"Renewick.exe")), kOldBuild);
    EXPECT_EQ(ReadBytes(dir.file(L"NewRenewick.exe")), kNewBuild);
    EXPECT_LT(longestAnswer, 500u) << "the note must keep answering while the move fails";
    EXPECT_TRUE(DialogsOf(process.id()).empty());

    const ULONGLONG released = ::GetTickCount64();
    ::CloseHandle(inUse);
    EXPECT_TRUE(waitForHandover(5000, longestAnswer)) << "the hand-off must be tried again";
    // Tried about once a second: done within about two seconds of the release.
    EXPECT_LE(::GetTickCount64() - released, 3000u);
  }
}

}  // namespace
}  // namespace e2e
