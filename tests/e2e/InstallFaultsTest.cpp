// The install on a machine where other programs are at work: a virus scanner that opens every new
// file for a moment, another session's program holding the install lock, and, in a build without the
// makers' key, a program file cut short by the connection.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "harness/Pages.h"
#include "harness/Update.h"

namespace e2e {

// A scanner opens every new staged file as soon as the download lets go of it, and the note's program
// once the new one has moved in, each for 300 ms with reading shared and nothing else.
TEST(InstallFaults, AScannerHoldingEveryNewFileForAMomentDoesNotStopTheUpdate) {
  TestServer server;
  ProgramDir dir;
  const std::string newNote = ServedBuildOf(L"Stickwell.exe"), newUpdater = ServedBuildOf(L"Renewick.exe"), guide = PatternBytes(1 << 20, 7);
  ServeUpdate(server, {}, {{L"Stickwell.exe", Response(newNote)}, {L"Guide.chm", Response(guide)}, {L"Renewick.exe", Response(newUpdater)}});
  std::atomic<bool> stop{false};
  std::map<std::wstring, std::pair<HANDLE, ULONGLONG>> held;  // since when
  std::thread scanner([&] {
    while (!stop) {
      auto names = dir.files(L"*.staged");
      WIN32_FILE_ATTRIBUTE_DATA note{};
      if (::GetFileAttributesExW(dir.file(L"Stickwell.exe").c_str(), GetFileExInfoStandard, &note) && note.nFileSizeLow == newNote.size())
        names.push_back(L"Stickwell.exe");
      for (const auto& name : names) {
        HANDLE file = held.count(name) ? INVALID_HANDLE_VALUE : ::CreateFileW(dir.file(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) held[name] = {file, ::GetTickCount64()};
      }
      for (auto& [name, since] : held)
        if (since.first && ::GetTickCount64() - since.second >= 300) ::CloseHandle(since.first), since.first = nullptr;
      ::Sleep(2);
    }
  });
  const bool installed = RunUpdate(dir);
  stop = true, scanner.join();
  for (auto& [name, since] : held) since.first && ::CloseHandle(since.first);
  ASSERT_TRUE(installed) << "the update failed";
  EXPECT_EQ(held.size(), 4u) << "the scanner missed a file";
  EXPECT_TRUE(ReadBytes(dir.file(L"Stickwell.exe")) == newNote && ReadBytes(dir.file(L"Guide.chm")) == guide);
  EXPECT_TRUE(WaitForWindow(kFormClass, kNoteCaption) && FileHolds(dir.file(L"Renewick.exe"), newUpdater, 8000)) << "no hand-off";
  EXPECT_EQ(UpdateLeftovers(dir), std::vector<std::wstring>{});
}

// Another session's updater, or a note there finishing an install, holds the lock file: a note that
// starts here waits, touching nothing in the folder, and finishes the interrupted install once it is free.
TEST(InstallFaults, ANoteWaitsForTheInstallLockBeforeItTouchesTheFolder) {
  ProgramDir dir;
  const std::wstring journal = L"\xFEFFStickwell update journal 2\r\nback\r\nGuide.chm\tGuide.chm.staged\tGuide.chm.replaced\tnew\t-\r\nend\r\n";
  ASSERT_TRUE(WriteBytes(dir.file(L"Stickwell.update-journal"), std::string(reinterpret_cast<const char*>(journal.data()), journal.size() * 2)) &&
              WriteBytes(dir.file(L"Guide.chm.staged"), "half a guide"));
  HANDLE lock = ::CreateFileW(dir.file(L"Stickwell.update-lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const Process note = dir.start(L"Stickwell.exe");
  Pause(2500);
  EXPECT_TRUE(note.running() && Windows(kFormClass, kNoteCaption, note.id).empty()) << "the note did not wait";
  EXPECT_EQ(dir.files(L"*"), (std::vector<std::wstring>{L"Guide.chm.staged", L"Renewick.exe", L"Stickwell.exe", L"Stickwell.update-journal",
                                                        L"Stickwell.update-lock"})) << "the note touched the folder";
  ::CloseHandle(lock);
  EXPECT_TRUE(WaitForWindow(kFormClass, kNoteCaption, note.id, 5000)) << "the note did not start once the lock was free";
  EXPECT_EQ(UpdateLeftovers(dir), std::vector<std::wstring>{});
}

// A build without the makers' key has no signed length: a program counts as whole only with its length
// announced and met, and a whole program image. What is refused leaves every file as it was.
TEST(InstallFaults, WithoutAKeyAProgramCutShortIsRefused) {
  const std::wstring keyless = PathFromEnvironment("STICKWELL_E2E_KEYLESS_BIN");
  ASSERT_TRUE(FileExists(keyless + L"\\Renewick.exe")) << "the programs without a key are not built (bin/keyless of the windows-e2e build)";
  TestServer server;
  ProgramDir dir({L"Stickwell.exe", L"Renewick.exe"}, keyless);
  const std::string newNote = ServedBuildOf(L"Stickwell.exe"), cut = newNote.substr(0, newNote.size() / 2);
  const auto before = std::make_pair(ReadBytes(dir.file(L"Stickwell.exe")), ReadBytes(dir.file(L"Renewick.exe")));
  const struct { const char* what; Response note; bool installs; } rows[] = {
      {"served without a length, the connection closed half-way", Response(cut, Fault::NoContentLength), false},
      {"cut short where it is kept, served with that length", Response(cut), false},
      {"whole, with its length", Response(newNote), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ServeUpdate(server, {}, {{L"Guide.chm", Response(PatternBytes(4096, 8))}, {L"Stickwell.exe", row.note}}, Signing(false));
    EXPECT_EQ(RunUpdate(dir), row.installs);
    if (row.installs) continue;
    EXPECT_TRUE(std::make_pair(ReadBytes(dir.file(L"Stickwell.exe")), ReadBytes(dir.file(L"Renewick.exe"))) == before) << "a file was touched";
    EXPECT_TRUE(!FileExists(dir.file(L"Guide.chm")) && UpdateLeftovers(dir).empty());
  }
  EXPECT_EQ(ReadBytes(dir.file(L"Stickwell.exe")), newNote);
}

}  // namespace e2e
