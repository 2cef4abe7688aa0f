// A note killed at any moment leaves a complete record: never an empty, partial or mixed file.
#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <random>
#include <set>
#include <thread>

#include "harness/Files.h"
#include "harness/NoteUi.h"
#include "harness/ProgramDir.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"

namespace e2e {
namespace {

using namespace stickwell::note;

constexpr int kKills = 240;
constexpr int kNotesAtOnce = 4;
constexpr int kBodies = 3;

// Large bodies, so that a save takes long enough to be hit in the middle.
std::wstring Body(int n) {
  std::wstring body;
  for (int line = 0; line < 800; ++line)
    body += L"第" + std::to_wstring(n) + L"版 第" + std::to_wstring(line) + L"行 的内容 content\r\n";
  return body;
}

// Gives a note its body, then keeps it saving: the message the system sends when the window loses
// the focus (which saves) over and over, until the note is gone.
void SaveInALoop(HWND note, const std::wstring& body, const std::atomic<bool>& stop) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(NoteControl(note, kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(body.c_str()),
                             SMTO_ABORTIFHUNG, 5000, &result))
    return;
  while (!stop && ::SendMessageTimeoutW(note, WM_ACTIVATE, WA_INACTIVE, 0, SMTO_ABORTIFHUNG, 2000, &result)) {
  }
}

TEST(NoteCrash, KilledWhileSavingAlwaysLeavesACompleteRecord) {
  std::vector<std::wstring> bodies;
  std::set<std::string> complete = {GbkRecord(L"", L"")};
  for (int n = 0; n < kBodies; ++n) {
    bodies.push_back(Body(n));
    complete.insert(GbkRecord(L"", bodies.back()));
  }
  std::mt19937 random(20130420);
  ProgramDir dir;
  int kills = 0, midWrite = 0, withBody = 0;
  while (kills < kKills) {
    Process processes[kNotesAtOnce];
    HWND windows[kNotesAtOnce];
    for (Process& process : processes) process = dir.startNote();
    for (int i = 0; i < kNotesAtOnce; ++i) {
      windows[i] = WaitForWindow(kFormClass, kNoteCaption, processes[i].id());
      ASSERT_NE(windows[i], nullptr);
    }
    ASSERT_TRUE(WaitUntil([&] { return NoteFiles(dir).size() == kNotesAtOnce; }))
        << NoteFiles(dir).size() << " note files after " << kills << " kills";

    std::atomic<bool> stop{false};
    std::vector<std::thread> savers;
    for (int i = 0; i < kNotesAtOnce; ++i)
      savers.emplace_back(SaveInALoop, windows[i], std::cref(bodies[(kills + i) % kBodies]), std::cref(stop));
    // Once every note has saved a body, each is killed at a random moment of its saving.
    EXPECT_TRUE(WaitUntil([&] {
      for (const std::wstring& name : NoteFiles(dir))
        if (ReadBytes(dir.file(name)) == GbkRecord(L"", L"")) return false;
      return true;
    }));
    for (const Process& process : processes) {
      ::Sleep(std::uniform_int_distribution<DWORD>(0, 40)(random));
      ::TerminateProcess(process.handle(), 1);
    }
    for (const Process& process : processes) ASSERT_TRUE(process.waitForExit(10000));
    stop = true;
    for (std::thread& saver : savers) saver.join();
    kills += kNotesAtOnce;

    // A temporary file left behind shows the kill came in the middle of a save.
    midWrite += static_cast<int>(dir.files(L"*.saving").size());
    for (const std::wstring& name : NoteFiles(dir)) {
      const std::optional<std::string> bytes = ReadBytes(dir.file(name));
      ASSERT_TRUE(bytes.has_value()) << name;
      ASSERT_TRUE(complete.count(*bytes)) << name << " holds " << bytes->size() << " bytes that are no complete record"
                                          << " (after " << kills << " kills)";
      if (*bytes != GbkRecord(L"", L"")) ++withBody;
      // Wine may still be closing a killed process's files for a moment.
      ASSERT_TRUE(WaitUntil([&] { return ::DeleteFileW(dir.file(name).c_str()) || !FileExists(dir.file(name)); }))
          << name;
    }
    for (const std::wstring& name : dir.files(L"*.saving")) ::DeleteFileW(dir.file(name).c_str());
  }
  std::cout << "[ killed   ] " << kills << " notes while saving; " << midWrite << " in the middle of a write, "
            << withBody << " left a saved body, all complete records\n";
  RecordProperty("kills", kills);
  RecordProperty("midWrite", midWrite);
  EXPECT_GT(midWrite, 0) << "no kill came during a save: the test proves nothing";
  EXPECT_GT(withBody, 0) << "no note saved its body before it was killed: the test proves nothing";
}

}  // namespace
}  // namespace e2e
