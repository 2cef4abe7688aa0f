// Docking at the screen's edges: a note against the right, top or left edge hides beyond it leaving a
// strip of 50 twips while the pointer is away, and shows 10 twips over the edge while the pointer is
// inside it; a locked note stays where it is. Notes are placed by the test with SetWindowPos, as the
// system's move loop would, or dragged by their title.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "harness/Files.h"
#include "harness/Input.h"
#include "harness/NoteUi.h"
#include "harness/PopupMenu.h"
#include "harness/ProgramDir.h"
#include "harness/Screenshot.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"
#include "shared/Twips.h"

namespace e2e {
namespace {

using namespace stickwell::note;

constexpr unsigned kDpi = 96;  // the tests' screen

// Pixels from twips exactly as the note rounds them.
int Px(float twips) { return stickwell::TwipsToPixels(twips, kDpi); }
float Tw(int pixels) { return stickwell::PixelsToTwips(pixels, kDpi); }

void Place(HWND note, int x, int y) {
  ::SetWindowPos(note, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT Position(HWND note) {
  const RECT r = WindowRectOf(note);
  return POINT{r.left, r.top};
}

::testing::AssertionResult ComesTo(HWND note, POINT expected, DWORD timeoutMs = 2000) {
  if (WaitUntil([&] { return Position(note).x == expected.x && Position(note).y == expected.y; }, timeoutMs))
    return ::testing::AssertionSuccess();
  const POINT at = Position(note);
  return ::testing::AssertionFailure() << "the note is at (" << at.x << ", " << at.y << "), expected (" << expected.x
                                       << ", " << expected.y << ")";
}

// A started note, with the screen's width in pixels and the note's size.
struct NoteDocking : ::testing::Test {
  void SetUp() override {
    ASSERT_EQ(::GetSystemMetrics(SM_XVIRTUALSCREEN), 0);
    ASSERT_EQ(::GetSystemMetrics(SM_YVIRTUALSCREEN), 0);
    MoveTo(900, 900);
    note = StartNote(dir, process);
    ASSERT_NE(note, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !TextOf(NoteControl(note, kStartTimeId)).empty(); }));
    const RECT r = WindowRectOf(note);
    width = r.right - r.left;
    height = r.bottom - r.top;
  }

  // On the title, between "+" and "x", above the body.
  POINT titlePoint() const {
    const RECT title = WindowRectOf(NoteControl(note, kTitleId));
    return POINT{(title.left + title.right) / 2, (title.top + WindowRectOf(NoteControl(note, kBodyFrameId)).top) / 2};
  }

  ProgramDir dir;
  Process process;
  HWND note = nullptr;
  const int screenWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  int width = 0, height = 0;
};

TEST_F(NoteDocking, RightEdgeShowsTheNoteTenTwipsOverHidesItAtFiftyTwipsAndBringsItBackAtTheStrip) {
  const float sw = Tw(screenWidth), w = Tw(width);
  const POINT shown{Px(sw - w + 10), 300};
  const POINT hidden{Px(sw - 50), 300};

  // Moved towards the right edge in steps, the pointer on its title all the way, as in a drag.
  const int againstTheEdge = screenWidth - width;
  for (int x = 600;; x = std::min(x + 40, againstTheEdge)) {
    Place(note, x, 300);
    MoveTo(x + width / 2, 315);
    if (x == againstTheEdge) break;
    EXPECT_EQ(Position(note).x, x) << "a note clear of the edge stays where it is put";
  }
  EXPECT_TRUE(ComesTo(note, shown)) << "touching the edge, pointer on the note: shown at SW - Width + 10";

  MoveTo(400, 500);
  EXPECT_TRUE(ComesTo(note, hidden)) << "pointer away: hidden at SW - 50";
  Pause(300);
  EXPECT_EQ(Position(note).x, hidden.x) << "a hidden note stays hidden";
  SaveScreenshot(L"note-docked-right-hidden");

  MoveTo(screenWidth - 1, 400);
  EXPECT_TRUE(ComesTo(note, shown)) << "the pointer on the strip brings it back";
  SaveScreenshot(L"note-docked-right-shown");

  // On the shown note's left border column the pointer is not inside it any more.
  MoveTo(shown.x, 400);
  EXPECT_TRUE(ComesTo(note, hidden)) << "the pointer on the border line lets it hide";
}

TEST_F(NoteDocking, CornersAndTheLeftEdgeDockOnOneAxisOnly) {
  const float h = Tw(height), w = Tw(width), sw = Tw(screenWidth);
  const struct {
    const char* what;
    POINT placed;
    POINT hidden;
    POINT onStrip;  // the pointer on what is left on screen
    POINT shown;
  } cases[] = {
      {"top-left corner docks at the top", {0, 0}, {0, Px(50 - h)}, {100, 1}, {0, Px(-10)}},
      {"left edge", {-30, 400}, {Px(50 - w), 400}, {1, 500}, {Px(-10), 400}},
      {"top-right corner docks at the right", {screenWidth - width + 20, -20}, {Px(sw - 50), -20},
       {screenWidth - 1, 100}, {Px(sw - w + 10), -20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MoveTo(700, 700);
    Place(note, c.placed.x, c.placed.y);
    EXPECT_TRUE(ComesTo(note, c.hidden));
    MoveTo(c.onStrip);
    EXPECT_TRUE(ComesTo(note, c.shown));
  }
}

TEST_F(NoteDocking, DraggedByItsTitlePastTheRightEdgeFollowsThePointerAndDocksWhenLetGo) {
  Place(note, 800, 300);
  Pause(100);
  const POINT from = titlePoint();
  MoveTo(from);
  Press(Button::Left);
  // The system's move loop starts with the first move; the note follows the pointer from there.
  constexpr int kSteps = 10, kBy = 280;
  for (int i = 1; i <= kSteps; ++i) MoveTo(from.x + kBy * i / kSteps, from.y);
  const int dragged = 800 + kBy - kBy / kSteps;
  ASSERT_GT(dragged, screenWidth - width + 20) << "the drag must take the note well past the edge";
  Pause(500);  // ticks come and go while the button is held
  EXPECT_EQ(Position(note).x, dragged) << "while dragged the note follows the pointer";
  Release(Button::Left);
  EXPECT_TRUE(ComesTo(note, POINT{Px(Tw(screenWidth) - Tw(width) + 10), 300})) << "let go, it docks, shown";
}

TEST_F(NoteDocking, LockedNoteStaysPutAndGoesOnSaving) {
  const std::vector<WORD> lockItem = {VK_DOWN, VK_DOWN, VK_RETURN};  // 锁定 / 解锁
  const POINT shown{Px(Tw(screenWidth) - Tw(width) + 10), 300};
  Place(note, screenWidth - width, 300);
  MoveTo(screenWidth - 1, 400);
  ASSERT_TRUE(ComesTo(note, shown));

  ASSERT_TRUE(WalkMenu(process.id(), titlePoint(), lockItem)) << "locking through the popup menu";
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(NoteControl(note, kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"锁住"),
                        SMTO_ABORTIFHUNG, 2000, &result);
  MoveTo(400, 500);
  const std::wstring file = dir.file(NoteFiles(dir).front());
  EXPECT_TRUE(WaitForFile(file, [](const std::string& bytes) { return bytes == GbkRecord(L"", L"锁住"); }, 2000))
      << "a locked note goes on saving";
  Pause(400);
  EXPECT_TRUE(ComesTo(note, shown, 0)) << "a locked note stays shown at the edge";
  Place(note, 0, 0);
  Pause(500);
  EXPECT_TRUE(ComesTo(note, POINT{0, 0}, 0)) << "a locked note in the corner does not dock";

  ASSERT_TRUE(WalkMenu(process.id(), titlePoint(), lockItem)) << "unlocking through the popup menu";
  MoveTo(400, 500);
  EXPECT_TRUE(ComesTo(note, POINT{0, Px(50 - Tw(height))})) << "unlocked, it docks at the top again";
}

}  // namespace
}  // namespace e2e
