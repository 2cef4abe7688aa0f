// The install on a machine where other programs are at work: a virus scanner that opens every new
// file for a moment, another session's program holding the install lock, and, in a build without the
// makers' key, a program file cut short by the connection.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "harness/Input.h"
#include "harness/Pages.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "updater/win/ControlIds.h"

namespace e2e {

namespace ids = stickwell::updater::ids;

// Opens the updater's offer and presses 更新; then waits for the countdown (true) or the failure
// question (false), which it answers No.
static bool RunUpdate(const ProgramDir& dir) {
  const Process updater = dir.start(L"Renewick.exe");
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id);
  EXPECT_TRUE(offer && WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)); }) &&
              ClickUntil(CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kUpdate))), [&] { return !::IsWindow(offer); }));
  HWND question = nullptr;
  bool counting = false;
  EXPECT_TRUE(WaitUntil([&] {
    for (HWND shown : Windows(kFormClass, kUpdaterCaption, updater.id))
      counting = counting || TextOf(::GetDlgItem(shown, ids::kStatus)).starts_with(L"更新完成");
    return counting || (question = WaitForWindow(L"#32770", L"提示", updater.id, 0)) != nullptr;
  }, 20000)) << "neither the countdown nor the failure question";
  if (question) PressDialogButton(question, IDNO);
  EXPECT_TRUE(updater.waitForExit(10000));
  return counting;
}

// Like a virus scanner: opens every new staged file as soon as the download has let go of it, and the
// note's program once the new one has moved in, each for 300 ms with reading shared and nothing else.
class Scanner {
 public:
  Scanner(const ProgramDir& dir, size_t newNoteSize) : dir_(dir), newNoteSize_(static_cast<DWORD>(newNoteSize)), thread_([this] { run(); }) {}
  ~Scanner() { stop_ = true, thread_.join(); }
  size_t held() const { return held_; }

 private:
  void run() {
    std::map<std::wstring, std::pair<HANDLE, ULONGLONG>> open;  // what is held, since when
    std::set<std::wstring> scanned;
    const auto scan = [&](const std::wstring& name) {
      HANDLE file = ::CreateFileW(dir_.file(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      if (file != INVALID_HANDLE_VALUE) open[name] = {file, ::GetTickCount64()}, scanned.insert(name), ++held_;
    };
    while (!stop_ || !open.empty()) {
      for (const auto& staged : dir_.files(L"*.staged"))
        if (!stop_ && !scanned.count(staged)) scan(staged);
      WIN32_FILE_ATTRIBUTE_DATA note{};
      if (!stop_ && !scanned.count(L"Stickwell.exe") &&
          ::GetFileAttributesExW(dir_.file(L"Stickwell.exe").c_str(), GetFileExInfoStandard, &note) && note.nFileSizeLow == newNoteSize_)
        scan(L"Stickwell.exe");
      for (auto it = open.begin(); it != open.end();)
        it = ::GetTickCount64() - it->second.second >= 300 ? (::CloseHandle(it->second.first), open.erase(it)) : std::next(it);
      ::Sleep(2);
    }
  }
  const ProgramDir& dir_;
  const DWORD newNoteSize_;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> held_{0};
  std::thread thread_;
};

TEST(InstallFaults, AScannerHoldingEveryNewFileForAMomentDoesNotStopTheUpdate) {
  TestServer server;
  ProgramDir dir;
  const std::string newNote = ServedBuildOf(L"Stickwell.exe"), newUpdater = ServedBuildOf(L"Renewick.exe"), guide = PatternBytes(1 << 20, 7);
  ServeUpdate(server, {}, {{L"Stickwell.exe", Response(newNote)}, {L"Guide.chm", Response(guide)}, {L"Renewick.exe", Response(newUpdater)}});
  Scanner scanner(dir, newNote.size());
  ASSERT_TRUE(RunUpdate(dir)) << "the update failed";
  EXPECT_TRUE(ReadBytes(dir.file(L"Stickwell.exe")) == newNote && ReadBytes(dir.file(L"Guide.chm")) == guide);
  // The note the countdown starts hands the new updater over.
  EXPECT_TRUE(WaitForWindow(kFormClass, kNoteCaption));
  EXPECT_TRUE(FileHolds(dir.file(L"Renewick.exe"), newUpdater, 8000));
  EXPECT_EQ(UpdateLeftovers(dir), std::vector<std::wstring>{});
  EXPECT_GE(scanner.held(), 4) << "the scanner held too few files";
}

// Another session's updater, or a note there finishing an install, holds the lock file: a note that
// starts here waits, touching nothing in the folder, and finishes the interrupted install once the lock
// is free.
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
  EXPECT_TRUE(FileExists(dir.file(L"Stickwell.update-journal")) && FileExists(dir.file(L"Guide.chm.staged"))) << "the note recovered under the lock";
  EXPECT_EQ(dir.files(L"*.txt"), std::vector<std::wstring>{}) << "the note wrote into the folder";
  ::CloseHandle(lock);
  EXPECT_TRUE(WaitForWindow(kFormClass, kNoteCaption, note.id, 5000)) << "the note did not start once the lock was free";
  EXPECT_EQ(UpdateLeftovers(dir), std::vector<std::wstring>{});
}

// A build without the makers' key has no signed length: a program counts as whole only with its length
// announced and met, and a whole program image. Whatever is refused leaves every file as it was.
TEST(InstallFaults, WithoutAKeyAProgramCutShortIsRefused) {
  const std::wstring keyless = PathFromEnvironment("STICKWELL_E2E_KEYLESS_BIN");
  ASSERT_TRUE(FileExists(keyless + L"\\Renewick.exe")) << "the programs without a key are not built (preset windows-bench)";
  TestServer server;
  ProgramDir dir({L"Stickwell.exe", L"Renewick.exe"}, keyless);
  const std::string newNote = ServedBuildOf(L"Stickwell.exe"), cut = newNote.substr(0, newNote.size() / 2), guide = PatternBytes(4096, 8);
  const auto before = std::make_pair(ReadBytes(dir.file(L"Stickwell.exe")), ReadBytes(dir.file(L"Renewick.exe")));
  const struct { const char* what; Response note; bool installs; } rows[] = {
      {"served without a length, the connection closed half-way", Response(cut, Fault::NoContentLength), false},
      {"cut short where it is kept, served with that length", Response(cut), false},
      {"whole, with its length", Response(newNote), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ServeUpdate(server, {}, {{L"Guide.chm", Response(guide)}, {L"Stickwell.exe", row.note}}, Signing(false));
    EXPECT_EQ(RunUpdate(dir), row.installs);
    if (!row.installs) {
      EXPECT_TRUE(std::make_pair(ReadBytes(dir.file(L"Stickwell.exe")), ReadBytes(dir.file(L"Renewick.exe"))) == before) << "a file was touched";
      EXPECT_FALSE(FileExists(dir.file(L"Guide.chm")));
      EXPECT_EQ(UpdateLeftovers(dir), std::vector<std::wstring>{});
    }
  }
  EXPECT_EQ(ReadBytes(dir.file(L"Stickwell.exe")), newNote);
}

}  // namespace e2e
