// Both programs start in a fresh folder and are found by exactly their class and caption.
#include <gtest/gtest.h>

#include "harness/ProgramDir.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"

namespace e2e {
namespace {

TEST(Startup, NoteWindowIsABorderlessFormCaptionedStickwell) {
  ProgramDir dir;
  const Process note = dir.startNote();
  ASSERT_TRUE(note) << "could not start Stickwell.exe";
  HWND window = WaitForWindow(kFormClass, kNoteCaption, note.id());
  ASSERT_NE(window, nullptr) << "no window of class ThunderRT6FormDC captioned \"Stickwell\" within 15 s";
  EXPECT_EQ(::FindWindowW(kFormClass, kNoteCaption), window);
  // The window exists a moment before it shows: its controls are made first.
  EXPECT_TRUE(WaitUntil([&] { return IsShown(window); }, 5000));
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0) << "the note window must have no border or caption bar";
  EXPECT_EQ(::GetParent(window), nullptr);
}

TEST(Startup, UpdaterWindowIsAFormCaptionedForTheUpdater) {
  ProgramDir dir;
  const Process updater = dir.startUpdater();
  ASSERT_TRUE(updater) << "could not start Renewick.exe";
  HWND window = WaitForWindow(kFormClass, kUpdaterCaption, updater.id());
  ASSERT_NE(window, nullptr) << "no window of class ThunderRT6FormDC captioned \"Stickwell 更新程序\" within 15 s";
  EXPECT_EQ(::FindWindowW(kFormClass, kUpdaterCaption), window);
  EXPECT_TRUE(WaitUntil([&] { return IsShown(window); }));
}

TEST(Startup, WindowWithTheCaptionButAnotherClassIsNotTakenForTheNote) {
  HWND decoy = OpenOwnWindow(L"StickwellDecoy", kNoteCaption, 600, 600);
  ASSERT_NE(decoy, nullptr);
  EXPECT_EQ(::FindWindowW(kFormClass, kNoteCaption), nullptr) << "the decoy must not match the note's class";
  EXPECT_TRUE(TopLevelWindows(kFormClass, kNoteCaption).empty());

  ProgramDir dir;
  const Process note = dir.startNote();
  HWND window = WaitForWindow(kFormClass, kNoteCaption, note.id());
  ASSERT_NE(window, nullptr);
  EXPECT_NE(window, decoy);
  EXPECT_EQ(::FindWindowW(kFormClass, kNoteCaption), window);
  ::DestroyWindow(decoy);
}

TEST(Startup, UpdaterEndsWhenItsWindowCloses) {
  ProgramDir dir;
  const Process updater = dir.startUpdater();
  HWND window = WaitForWindow(kFormClass, kUpdaterCaption, updater.id());
  ASSERT_NE(window, nullptr);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(updater.waitForExit(10000)) << "Renewick.exe still runs 10 s after its window was closed";
}

}  // namespace
}  // namespace e2e
