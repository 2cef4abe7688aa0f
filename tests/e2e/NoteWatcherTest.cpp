// The watcher's ticks while the pointer is away from the note: "+" and "x" vanish and the note file
// follows the typing within a tick; with the pointer on the note's border lines nothing happens.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "harness/Files.h"
#include "harness/Input.h"
#include "harness/NoteUi.h"
#include "harness/ProgramDir.h"
#include "harness/Screenshot.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"

namespace e2e {
namespace {

using namespace stickwell::note;

constexpr COLORREF kTitleYellow = RGB(255, 255, 0);

struct Note {
  Process process;
  HWND window = nullptr;
  std::wstring file;
};

// Starts a note with the pointer resting on its title, so "+" and "x" keep their grey until the test
// moves the pointer away.
::testing::AssertionResult StartWithThePointerOnTheTitle(const ProgramDir& dir, Note& note) {
  MoveTo(128, 15);
  note.window = StartNote(dir, note.process);
  if (!note.window) return ::testing::AssertionFailure() << "no note window";
  if (!WaitUntil([&] { return !TextOf(NoteControl(note.window, kStartTimeId)).empty() && !NoteFiles(dir).empty(); }))
    return ::testing::AssertionFailure() << "start-up did not finish";
  note.file = dir.file(NoteFiles(dir).front());
  Pause(200);  // let it paint
  return ::testing::AssertionSuccess();
}

bool ShowsGrey(HWND control) {
  const RECT r = WindowRectOf(control);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (ScreenPixel(x, y) == ::GetSysColor(COLOR_APPWORKSPACE)) return true;
  return false;
}

// Every pixel of the control is the title row's yellow: its text is drawn in its background colour.
bool ShowsOnlyYellow(HWND control) {
  const RECT r = WindowRectOf(control);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (ScreenPixel(x, y) != kTitleYellow) return false;
  return true;
}

void SetBody(HWND note, const std::wstring& body) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(NoteControl(note, kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(body.c_str()),
                        SMTO_ABORTIFHUNG, 2000, &result);
}

TEST(NoteWatcher, WithThePointerAwayTheButtonsHideAndTheFileFollowsTypingWithinATick) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(StartWithThePointerOnTheTitle(dir, note));
  HWND plus = NoteControl(note.window, kPlusButtonId);
  HWND cross = NoteControl(note.window, kCloseButtonId);
  ASSERT_TRUE(ShowsGrey(plus) && ShowsGrey(cross)) << "\"+\" and \"x\" start in grey";

  const POINT body = CenterOf(WindowRectOf(NoteControl(note.window, kBodyId)));
  Click(body.x, body.y);
  MoveTo(900, 700);
  EXPECT_TRUE(WaitUntil([&] { return ShowsOnlyYellow(plus) && ShowsOnlyYellow(cross); }, 2000))
      << "\"+\" and \"x\" must turn invisible once the pointer is away";
  SaveScreenshot(L"note-pointer-away");

  // Each piece typed reaches the file on the next tick, without any change of focus.
  std::wstring typed;
  std::vector<ULONGLONG> delays;
  for (const wchar_t* piece : {L"买", L"牛奶", L"\n面包", L" 2 个", L"鸡蛋"}) {
    TypeText(piece);
    typed += piece;
    const std::string expected = GbkRecord(L"", [&] {
      std::wstring crlf;
      for (wchar_t ch : typed) crlf += ch == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, ch);
      return crlf;
    }());
    const ULONGLONG typedAt = ::GetTickCount64();
    ASSERT_EQ(WaitForFile(note.file, [&](const std::string& bytes) { return bytes == expected; }, 3000), expected);
    delays.push_back(::GetTickCount64() - typedAt);
  }
  std::sort(delays.begin(), delays.end());
  std::cout << "[ watcher  ] typing reached the file after " << delays.front() << " to " << delays.back()
            << " ms, median " << delays[delays.size() / 2] << " ms\n";
  EXPECT_LE(delays[delays.size() / 2], 300u) << "the file must follow within about a tick (100 ms)";
  EXPECT_EQ(::GetForegroundWindow(), note.window) << "the note kept the keyboard all along";
}

TEST(NoteWatcher, PointerOnTheBorderLinesWritesNothingAndLeavesTheButtons) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(StartWithThePointerOnTheTitle(dir, note));
  HWND plus = NoteControl(note.window, kPlusButtonId);
  const RECT r = WindowRectOf(note.window);
  const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
  const std::string empty = GbkRecord(L"", L"");
  SetBody(note.window, L"边框");

  // The window's own left column and top row, and the column and row just past its right and bottom
  // sides: the system's window rectangle puts the border lines there.
  const struct {
    const char* line;
    POINT pointer;
  } borders[] = {{"left (x == left)", {r.left, midY}},
                 {"top (y == top)", {midX, r.top}},
                 {"right (x == right)", {r.right, midY}},
                 {"bottom (y == bottom)", {midX, r.bottom}}};
  for (const auto& border : borders) {
    SCOPED_TRACE(border.line);
    MoveTo(border.pointer);
    ASSERT_EQ(CursorPos().x, border.pointer.x);
    ASSERT_EQ(CursorPos().y, border.pointer.y);
    Pause(500);
    EXPECT_EQ(ReadBytes(note.file), empty) << "nothing may be written with the pointer on a border line";
    EXPECT_TRUE(ShowsGrey(plus)) << "\"+\" must keep its grey";
  }

  // One pixel further left is outside: the next tick writes the body and hides the buttons.
  MoveTo(r.left - 1, midY);
  EXPECT_EQ(WaitForFile(note.file, [](const std::string& bytes) { return bytes == GbkRecord(L"", L"边框"); }, 2000),
            GbkRecord(L"", L"边框"));
  EXPECT_TRUE(WaitUntil([&] { return ShowsOnlyYellow(plus); }, 2000));
}

}  // namespace
}  // namespace e2e
