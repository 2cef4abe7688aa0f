// The note keeps its size in twips at any scaling: at 150 % it is 384 x 399 pixels, not a stretched
// 256 x 266 bitmap.
#include <gtest/gtest.h>

#include "harness/NoteUi.h"
#include "harness/ProgramDir.h"
#include "harness/Screenshot.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"

namespace e2e {
namespace {

using namespace stickwell::note;

// Sets the scaling that programs started from now on see (Wine reads it when a process starts), and
// puts the previous setting back at the end.
class SystemDpi {
 public:
  explicit SystemDpi(DWORD dpi) {
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      nullptr, &key_, nullptr);
    DWORD size = sizeof previous_;
    hadValue_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&previous_),
                                   &size) == ERROR_SUCCESS;
    ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  }
  ~SystemDpi() {
    if (hadValue_) {
      ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_), sizeof previous_);
    } else {
      ::RegDeleteValueW(key_, L"LogPixels");
    }
    ::RegCloseKey(key_);
  }
  SystemDpi(const SystemDpi&) = delete;
  SystemDpi& operator=(const SystemDpi&) = delete;

 private:
  HKEY key_ = nullptr;
  DWORD previous_ = 96;
  bool hadValue_ = false;
};

TEST(NoteDpi, At150PercentTheNoteKeepsItsSizeInTwips) {
  // This thread sees true pixels, whatever the note's scaling.
  const DPI_AWARENESS_CONTEXT before = ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  ProgramDir dir;
  Process process;
  HWND note = nullptr;
  {
    SystemDpi scaling(144);
    note = StartNote(dir, process);
    ASSERT_NE(note, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !TextOf(NoteControl(note, kStartTimeId)).empty(); }));
  }
  Pause(300);
  const RECT window = WindowRectOf(note);
  EXPECT_EQ(window.right - window.left, 384);
  EXPECT_EQ(window.bottom - window.top, 399);
  // The "x" against the right edge, 210 x 360 twips; the body frame below the 435-twip title row.
  const RECT cross = WindowRectOf(NoteControl(note, kCloseButtonId));
  EXPECT_EQ(cross.right - cross.left, 21);
  EXPECT_EQ(cross.bottom - cross.top, 36);
  EXPECT_EQ(cross.right, window.right);
  EXPECT_EQ(WindowRectOf(NoteControl(note, kBodyFrameId)).top - window.top, 44);
  EXPECT_EQ(ScreenPixel(window.left + 190, window.top + 40), RGB(255, 255, 0));
  EXPECT_EQ(ScreenPixel(window.left + 190, window.top + 50), RGB(255, 255, 128));
  SaveScreenshot(L"note-150-percent");
  ::SetThreadDpiAwarenessContext(before);
}

}  // namespace
}  // namespace e2e
