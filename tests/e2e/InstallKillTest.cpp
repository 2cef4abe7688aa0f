// The updater killed at random moments between its last download's end and its countdown, round after
// round in one folder: whatever the moment, the note that starts next leaves the folder all old or all
// new, with its Stickwell.exe and no file of the update left, and runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>

#include "harness/Input.h"
#include "harness/Pages.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "updater/win/ControlIds.h"

namespace e2e {

namespace ids = stickwell::updater::ids;

TEST(InstallKill, AnInstallKilledAtAnyMomentIsFinishedOneWayOrTheOtherByTheNextNote) {
  TestServer server;
  ProgramDir dir;
  // A new note, a file the update replaces and one it adds. The install only renames, so their size
  // matters little; a few MB keep the downloads, and so each round, short.
  const std::wstring names[] = {L"Stickwell.exe", L"Guide.chm", L"Fonts.dat"};
  const std::string newNote = ServedBuildOf(names[0]) + PatternBytes(2 << 20, 3), newGuide = PatternBytes(2 << 20, 5), fonts = PatternBytes(2 << 20, 6);
  using Files = std::vector<std::optional<std::string>>;
  const Files before = {ReadBytes(dir.file(names[0])), PatternBytes(2 << 20, 4), std::nullopt}, after = {newNote, newGuide, fonts};
  ServeUpdate(server, {}, {{names[0], Response(newNote)}, {names[1], Response(newGuide)}, {names[2], Response(fonts)}});
  const std::wstring lastStaged = dir.file(names[2] + L".staged"), journal = dir.file(L"Stickwell.update-journal");

  std::mt19937 random(130421);
  ULONGLONG window = 0;     // ms from the last file's staging to the countdown: the shorter of the first two rounds' own
  int killed[3][2] = {};    // [before the install, inside it, after it][all old, all new]
  // Each round's updater starts while the last round's note is looked at, and waits with its offer.
  Process updater = dir.start(L"Renewick.exe");
  for (int round = 0; round <= 50; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id);
    ASSERT_TRUE(offer && WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)); }));
    for (HWND note : Windows(kFormClass, kNoteCaption)) Process{std::shared_ptr<void>(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessOf(note)), &::CloseHandle)}.terminate();
    for (size_t i = 0; i < std::size(names); ++i)
      before[i] ? (void)WriteBytes(dir.file(names[i]), *before[i]) : (void)::DeleteFileW(dir.file(names[i]).c_str());
    for (const auto& note : dir.files(L"*.txt")) ::DeleteFileW(dir.file(note).c_str());
    ASSERT_TRUE(ClickUntil(CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kUpdate))), [&] { return !::IsWindow(offer); }));
    WIN32_FILE_ATTRIBUTE_DATA staged{};
    ASSERT_TRUE(WaitUntil([&] { return ::GetFileAttributesExW(lastStaged.c_str(), GetFileExInfoStandard, &staged) && staged.nFileSizeLow == fonts.size(); }, 20000, 1));
    const ULONGLONG stagedAt = ::GetTickCount64();
    if (round < 2) {
      ASSERT_TRUE(WaitUntil([&] {
        for (HWND shown : Windows(kFormClass, kUpdaterCaption, updater.id))
          if (TextOf(::GetDlgItem(shown, ids::kStatus)).starts_with(L"更新完成")) return true;
        return false;
      }, 10000, 1)) << "the update did not come to its countdown";
      window = round ? std::min(window, ::GetTickCount64() - stagedAt) : ::GetTickCount64() - stagedAt;
    }
    const ULONGLONG killAt = stagedAt + std::uniform_int_distribution<ULONGLONG>(0, window)(random);
    WaitUntil([&] { return ::GetTickCount64() >= killAt; }, 5000, 1);
    updater.terminate();
    // Where the kill came: the journal says "forward" from the install's first step to its last, then
    // "installed" while what is left over goes.
    const auto left = ReadBytes(journal);
    const auto says = [&](const std::wstring& word) { return left->find(std::string(reinterpret_cast<const char*>(word.data()), word.size() * 2)) != std::string::npos; };
    const int phase = !left || says(L"installed") ? 2 : says(L"forward");

    dir.start(L"Stickwell.exe");
    HWND note = WaitForWindow(kFormClass, kNoteCaption);
    EXPECT_TRUE(note && Responsive(note)) << "no note runs";
    updater = dir.start(L"Renewick.exe");
    EXPECT_TRUE(WaitUntil([&] { return UpdateLeftovers(dir).empty(); }, 5000)) << "a file of the update stays";
    Files now;
    for (const auto& name : names) now.push_back(ReadBytes(dir.file(name)));
    EXPECT_TRUE(now == before || now == after) << "the folder is neither all old nor all new";
    ++killed[phase][now == after];
  }
  std::printf("Killed before the install: %d all old, %d all new; inside it: %d, %d; after it: %d, %d\n", killed[0][0], killed[0][1],
              killed[1][0], killed[1][1], killed[2][0], killed[2][1]);
  EXPECT_GE(killed[1][0] + killed[1][1], 5) << "too few kills came inside the install";
  EXPECT_TRUE(killed[0][0] && killed[2][1]) << "the kills did not span the install";
}

}  // namespace e2e
