// The borderless note as a window: dragged by its title, sized by its grip, "+" and "x" shown under
// the pointer, and the body's font sized from the keyboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "harness/Input.h"
#include "harness/NoteUi.h"
#include "harness/PopupMenu.h"
#include "harness/ProgramDir.h"
#include "harness/Screenshot.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"

namespace e2e {
namespace {

using namespace stickwell::note;

const std::vector<WORD> kLockItem = {VK_DOWN, VK_DOWN, VK_RETURN};

struct Note {
  Process process;
  HWND window = nullptr;

  HWND control(int id) const { return NoteControl(window, id); }
  RECT rect() const { return WindowRectOf(window); }
  RECT rectOf(int id) const { return WindowRectOf(control(id)); }
  POINT centreOf(int id) const { return CenterOf(rectOf(id)); }
  POINT titlePoint() const {
    const RECT title = rectOf(kTitleId);
    return POINT{(title.left + title.right) / 2, (title.top + rectOf(kBodyFrameId).top) / 2};
  }
  // The window itself shows below "+", down to the body's frame.
  POINT barePoint() const {
    const RECT plus = rectOf(kPlusButtonId);
    return POINT{plus.left + 8, plus.bottom + 1};
  }
  bool toggleLock() const { return WalkMenu(process.id(), centreOf(kBodyId), kLockItem); }
};

::testing::AssertionResult Start(const ProgramDir& dir, Note& note) {
  note.window = StartNote(dir, note.process);
  if (!note.window) return ::testing::AssertionFailure() << "no note window";
  if (!WaitUntil([&] { return !TextOf(note.control(kStartTimeId)).empty(); }))
    return ::testing::AssertionFailure() << "start-up did not finish";
  return ::testing::AssertionSuccess();
}

std::string Describe(const RECT& r) {
  char text[80];
  std::snprintf(text, sizeof text, "(%ld, %ld)-(%ld, %ld)", r.left, r.top, r.right, r.bottom);
  return text;
}

// Drags with the left button from `from` by `by` in `steps` moves.
void DragBy(POINT from, POINT by, int steps) {
  Drag(from, POINT{from.x + by.x, from.y + by.y}, Button::Left, steps);
  Pause(200);
}

// The system's move starts with the press or with the first move after it, depending on when the
// window sees the press: the window travels the whole way, or that first step less.
::testing::AssertionResult MovedBy(const RECT& before, const RECT& after, POINT by, int steps) {
  const LONG dx = after.left - before.left, dy = after.top - before.top;
  const auto within = [](LONG moved, LONG whole, LONG firstStep) {
    const LONG least = whole - firstStep;
    return whole >= 0 ? moved >= least && moved <= whole : moved <= least && moved >= whole;
  };
  if (after.right - after.left != before.right - before.left || after.bottom - after.top != before.bottom - before.top)
    return ::testing::AssertionFailure() << "the size changed: " << Describe(before) << " -> " << Describe(after);
  if (within(dx, by.x, by.x / steps) && within(dy, by.y, by.y / steps)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "moved by (" << dx << ", " << dy << ") for a drag by (" << by.x << ", "
                                       << by.y << "): " << Describe(before) << " -> " << Describe(after);
}

TEST(NotePointer, DraggingTheTitleOrTheBareAreaMovesTheNoteUnlessItIsLocked) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));

  RECT before = note.rect();
  DragBy(note.titlePoint(), {160, 120}, 8);
  EXPECT_TRUE(MovedBy(before, note.rect(), {160, 120}, 8)) << "dragged by the title";

  before = note.rect();
  DragBy(note.barePoint(), {80, 40}, 40);
  EXPECT_TRUE(MovedBy(before, note.rect(), {80, 40}, 40)) << "dragged by the bare area";

  ASSERT_TRUE(note.toggleLock());
  before = note.rect();
  DragBy(note.titlePoint(), {100, 100}, 8);
  DragBy(note.barePoint(), {60, 30}, 30);
  EXPECT_EQ(Describe(note.rect()), Describe(before)) << "a locked note stays put";

  ASSERT_TRUE(note.toggleLock());
  DragBy(note.titlePoint(), {-80, -60}, 8);
  EXPECT_TRUE(MovedBy(before, note.rect(), {-80, -60}, 8)) << "unlocked again";
}

// The grip's top-left corner after a resize lies where the pointer let go, within a pixel's rounding.
void ExpectGripAt(const Note& note, POINT pointer, const char* what) {
  const RECT grip = note.rectOf(kGripId);
  EXPECT_LE(std::abs(grip.left - pointer.x), 1) << what << ": grip " << Describe(grip);
  EXPECT_LE(std::abs(grip.top - pointer.y), 1) << what << ": grip " << Describe(grip);
  const RECT window = note.rect();
  EXPECT_EQ(grip.right, window.right) << what;
  EXPECT_EQ(grip.bottom, window.bottom) << what;
}

void ExpectLeastSize(const Note& note, const char* what) {
  const RECT window = note.rect();
  EXPECT_EQ(window.right - window.left, 200) << what << ": 3000 twips at 96 dpi";
  EXPECT_EQ(window.bottom - window.top, 200) << what;
}

TEST(NotePointer, TheGripResizesWithAnyButtonInBothLockStatesAndNeverBelow3000Twips) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  const RECT start = note.rect();

  // Passing over the grip with no button held changes nothing.
  MoveTo(note.centreOf(kGripId));
  MoveTo(note.centreOf(kGripId).x + 3, note.centreOf(kGripId).y + 2);
  EXPECT_EQ(Describe(note.rect()), Describe(start));

  for (bool locked : {false, true}) {
    const char* state = locked ? "locked" : "unlocked";
    if (locked) {
      ASSERT_TRUE(note.toggleLock());
    }
    POINT from = note.centreOf(kGripId);
    POINT to{from.x + 90, from.y + 60};
    Drag(from, to, Button::Left, 6);
    Pause(200);
    ExpectGripAt(note, to, state);
    EXPECT_EQ(note.rect().left, start.left) << state << ": the window stays where it is";

    // The right button sizes it too.
    from = note.centreOf(kGripId);
    to = POINT{from.x - 30, from.y + 20};
    Drag(from, to, Button::Right, 6);
    Pause(200);
    ExpectGripAt(note, to, state);
    EXPECT_TRUE(PopupMenusOf(note.process.id()).empty()) << "the grip opens no menu";

    // Far up and left: the note keeps its least size, 3000 x 3000 twips.
    Drag(note.centreOf(kGripId), POINT{start.left + 60, start.top + 60}, Button::Left, 8);
    Pause(200);
    ExpectLeastSize(note, state);
    Drag(note.centreOf(kGripId), POINT{start.left + 5, start.top + 5}, Button::Left, 8);
    Pause(200);
    ExpectLeastSize(note, state);
  }
  SaveScreenshot(L"note-least-size");
}

TEST(NotePointer, DoubleClickOnTheGripRestores3000By3000) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  const POINT from = note.centreOf(kGripId);
  Drag(from, POINT{from.x + 150, from.y + 100}, Button::Left, 6);
  Pause(200);
  ASSERT_GT(note.rect().right - note.rect().left, 300);

  const POINT grip = note.centreOf(kGripId);
  DoubleClick(grip.x, grip.y);
  EXPECT_TRUE(WaitUntil([&] { return note.rect().right - note.rect().left == 200; }, 3000));
  ExpectLeastSize(note, "after the double-click");
  ExpectGripAt(note, POINT{note.rect().right - 13, note.rect().bottom - 13}, "after the double-click");
}

// The height of a body line in pixels for a body font size, as the note makes its font.
int LineHeightFor(double points) {
  HFONT font = ::CreateFontW(-static_cast<int>(points * 96 / 72 + 0.5), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, L"宋体");
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  ::DeleteObject(font);
  return metrics.tmHeight;
}

// What the body shows: the distance between its first two lines, and the line its caret is on.
int BodyLineHeight(HWND body) {
  const LRESULT first = ::SendMessageW(body, EM_POSFROMCHAR, 0, 0);
  const LRESULT second = ::SendMessageW(body, EM_POSFROMCHAR, ::SendMessageW(body, EM_LINEINDEX, 1, 0), 0);
  return static_cast<short>(HIWORD(second)) - static_cast<short>(HIWORD(first));
}

int CaretLine(HWND body) {
  DWORD start = 0, end = 0;
  ::SendMessageW(body, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(::SendMessageW(body, EM_LINEFROMCHAR, end, 0));
}

TEST(NotePointer, CtrlUpAndCtrlDownSizeTheBodyFontByOnePointAndTheKeyStillReachesTheFocusedBox) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  HWND body = note.control(kBodyId);
  ::SendMessageW(body, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"一\r\n二\r\n三\r\n四"));
  const POINT centre = note.centreOf(kBodyId);
  Click(centre.x, centre.y);
  ::SendMessageW(body, EM_SETSEL, 9, 9);  // the end of line 4
  ASSERT_EQ(CaretLine(body), 3);
  ASSERT_NE(LineHeightFor(15.75), LineHeightFor(16.75));
  ASSERT_EQ(BodyLineHeight(body), LineHeightFor(15.75)) << "the start size";

  KeyChord({VK_CONTROL, VK_UP});
  EXPECT_TRUE(WaitUntil([&] { return BodyLineHeight(body) == LineHeightFor(16.75); }, 3000))
      << BodyLineHeight(body) << " pixels a line";
  EXPECT_EQ(CaretLine(body), 2) << "the body moved its caret up as well";

  // Other modifiers leave the size alone; the keys still do what they do in the body.
  KeyChord({VK_CONTROL, VK_SHIFT, VK_UP});
  KeyChord({VK_MENU, VK_UP});
  KeyChord({VK_UP});
  Pause(200);
  EXPECT_EQ(BodyLineHeight(body), LineHeightFor(16.75));
  EXPECT_EQ(CaretLine(body), 0);

  KeyChord({VK_CONTROL, VK_DOWN});
  KeyChord({VK_CONTROL, VK_DOWN});
  EXPECT_TRUE(WaitUntil([&] { return BodyLineHeight(body) == LineHeightFor(14.75); }, 3000))
      << BodyLineHeight(body) << " pixels a line";
  EXPECT_EQ(CaretLine(body), 2);

  // With the title editor at the keyboard the keys size the body all the same.
  DoubleClick(note.titlePoint().x, note.titlePoint().y);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(note.control(kTitleEditorId)); }, 3000));
  KeyChord({VK_CONTROL, VK_UP});
  EXPECT_TRUE(WaitUntil([&] { return BodyLineHeight(body) == LineHeightFor(15.75); }, 3000));
  EXPECT_TRUE(IsShown(note.control(kTitleEditorId)));
}

// Whether any pixel of the rectangle shows `colour`.
bool Shows(const RECT& r, COLORREF colour) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (ScreenPixel(x, y) == colour) return true;
  return false;
}

// Whether every pixel of the rectangle shows `colour`.
bool OnlyShows(const RECT& r, COLORREF colour) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (ScreenPixel(x, y) != colour) return false;
  return true;
}

TEST(NotePointer, PlusAndCrossShowOverTheTitleTurnRedUnderThePointerAndHideOverTheBody) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  const RECT plus = note.rectOf(kPlusButtonId);
  const RECT cross = note.rectOf(kCloseButtonId);
  const COLORREF grey = ::GetSysColor(COLOR_APPWORKSPACE);
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF yellow = RGB(255, 255, 0);
  auto settled = [](const std::function<bool()>& check) { return WaitUntil(check, 2000); };

  MoveTo(note.titlePoint());
  EXPECT_TRUE(settled([&] { return Shows(plus, grey) && Shows(cross, grey); })) << "over the title: grey";
  MoveTo(CenterOf(plus));
  EXPECT_TRUE(settled([&] { return Shows(plus, red) && Shows(cross, grey); })) << "over \"+\"";
  MoveTo(note.centreOf(kBodyId));
  EXPECT_TRUE(settled([&] { return OnlyShows(plus, yellow) && OnlyShows(cross, yellow); })) << "over the body";
  MoveTo(CenterOf(cross));
  EXPECT_TRUE(settled([&] { return Shows(cross, red) && OnlyShows(plus, yellow); })) << "over \"x\"";
  MoveTo(note.barePoint());
  EXPECT_TRUE(settled([&] { return Shows(plus, grey) && Shows(cross, grey) && !Shows(cross, red); }))
      << "over the bare area";
  SaveScreenshot(L"note-hover-grey");
}

// The pointer the screen shows now (whichever program set it).
HCURSOR ShownPointer() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  ::GetCursorInfo(&info);
  return info.hCursor;
}

TEST(NotePointer, TheSizingArrowShowsFromTheGripUntilThePointerReachesTheBodyOrAStrip) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  auto pointerAt = [&](POINT at) {
    MoveTo(at);
    Pause(100);
    return ShownPointer();
  };
  const RECT strip = note.rectOf(kStartTimeId);
  const POINT stripPoint{strip.left + 10, (strip.top + strip.bottom) / 2};

  const HCURSOR arrow = pointerAt(stripPoint);
  const HCURSOR beam = pointerAt(note.centreOf(kBodyId));
  const HCURSOR sizing = pointerAt(note.centreOf(kGripId));
  EXPECT_NE(sizing, arrow);
  EXPECT_NE(sizing, beam);
  EXPECT_NE(arrow, beam);
  EXPECT_EQ(pointerAt(note.titlePoint()), sizing) << "the title keeps the arrow the grip set";
  EXPECT_EQ(pointerAt(CenterOf(note.rectOf(kCloseButtonId))), sizing) << "so does \"x\"";
  EXPECT_EQ(pointerAt(note.centreOf(kBodyId)), beam) << "the body clears it";
  EXPECT_EQ(pointerAt(note.titlePoint()), arrow) << "the title shows its own pointer again";
  pointerAt(note.centreOf(kGripId));
  EXPECT_EQ(pointerAt(stripPoint), arrow) << "the bottom strip clears it";
}

}  // namespace
}  // namespace e2e
