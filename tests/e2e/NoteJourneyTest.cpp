// A note's whole life as a user lives it, in one run of the program: it starts, takes typing that its
// file follows, gets a title, answers the pointer and the keys, formats itself from its menu, is locked
// and unlocked, docks at the screen's edge, takes a left-over note in, starts another note and is
// deleted. Where a rule is a table in the note's core (layout sizes, docking rules, where the pointer
// counts as inside, the menu's check groups, the merge's line rules, font-size steps, the grip's least
// size), the journey only sees that the window carries it out.
#include <gtest/gtest.h>

#include <regex>

#include "harness/Note.h"
#include "shared/Twips.h"

namespace e2e {

constexpr COLORREF kYellow = RGB(255, 255, 0), kRed = RGB(255, 0, 0);

// The system's move starts with the press or with the first move after it: the window travels the
// whole way, or that first step less (and the few pixels of the hand's approach).
static bool MovedBy(const RECT& before, HWND window, POINT by, int steps) {
  const RECT after = WindowRectOf(window);
  return std::abs(after.left - before.left - by.x) <= std::abs(by.x) / steps + 2 && std::abs(after.top - before.top - by.y) <= std::abs(by.y) / steps + 2;
}

TEST(NoteJourney, StartTypeFormatLockDockOpenAndDelete) {
  FocusSink sink;
  ProgramDir dir;
  // The user changed the licence, the introduction is an older, longer one, and a note of an earlier
  // day was left behind.
  ASSERT_TRUE(WriteBytes(dir.file(L"License.txt"), "my own licence") && WriteBytes(dir.file(L"ReadMe.txt"), std::string(100000, 'x')));
  const std::wstring leftOver = dir.file(L"1-1 00-00-05.txt");
  ASSERT_TRUE(WriteBytes(leftOver, GbkRecord(L"购物", L"牛奶\r\n\r\n面包")));
  Note note(dir);
  ASSERT_TRUE(note.started());
  HWND body = note.control(kBodyId);

  // Start-up: the note's own file holds the empty record; once it takes keys, the introduction is
  // replaced, the history and the missing terms are written and the licence is kept. A borderless
  // 256 x 266 tool window (no taskbar button, no Alt+Tab entry) at the top left: yellow title row, pale
  // yellow body.
  EXPECT_TRUE(WaitUntil([&] {
    return ReadBytes(dir.file(L"ReadMe.txt")).value_or("x").find("xxxx") == std::string::npos &&
           !ReadBytes(dir.file(L"WhatsNew.txt")).value_or("").empty() && !ReadBytes(dir.file(L"广告合作及其协议.txt")).value_or("").empty();
  }));
  EXPECT_EQ(ReadBytes(dir.file(L"License.txt")), "my own licence");
  EXPECT_EQ(note.record(), GbkRecord(L"", L""));
  const RECT r = WindowRectOf(note.window);
  EXPECT_TRUE(!(::GetWindowLongPtrW(note.window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME)) &&
              (::GetWindowLongPtrW(note.window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && r.left <= 1 && r.top <= 1 &&
              r.right - r.left == 256 && r.bottom - r.top == 266);
  EXPECT_TRUE(WaitUntil([&] { return AllPixelsAre({r.left + 20, r.top + 1, r.left + 21, r.top + 3}, kYellow) && AllPixelsAre({r.left + 20, r.top + 150, r.left + 21, r.top + 152}, RGB(255, 255, 128)); }));
  SaveScreenshot(L"note-started");

  // With the pointer away, "+" and "x" vanish into the title row. Idle, the note leaves its file and
  // the disk alone (its Linux process counts what it writes); a tick writes what was typed, and writes
  // the file again when another program deletes it.
  note.click(kBodyId);
  MoveTo({900, 700});
  const auto onlyYellow = [&](int id) { return AllPixelsAre(note.rectOf(id), kYellow); };
  EXPECT_TRUE(WaitUntil([&] { return onlyYellow(kPlusButtonId) && onlyYellow(kCloseButtonId); }, 2000));
  const std::wstring linuxProcess = LinuxProcessOf(dir.file(L"Stickwell.exe"));
  const auto written = [&] {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    ::GetFileAttributesExW(note.file.c_str(), GetFileExInfoStandard, &file);
    return std::pair{ULARGE_INTEGER{{file.ftLastWriteTime.dwLowDateTime, file.ftLastWriteTime.dwHighDateTime}}.QuadPart,
                     LinuxFigure(linuxProcess, L"io", "write_bytes:")};
  };
  const auto idle = written();
  ASSERT_GE(idle.second, 0) << "no I/O figures for the note's process " << Utf8(linuxProcess);
  EXPECT_EQ((Pause(10000), written()), idle) << "an idle note wrote (last-write time, bytes written)";
  TypeText(L"买牛奶\n面包 2 个");
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"", L"买牛奶\r\n面包 2 个"), 1000));
  ASSERT_TRUE(::DeleteFileW(note.file.c_str()));
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"", L"买牛奶\r\n面包 2 个"), 1000)) << "the deleted note file was not written again";

  // A double-click on the title opens its editor; the title takes the text when a click in the body
  // closes it. The emoji is beyond the code page: the note is written as UTF-8 after a byte-order mark.
  MoveTo(note.centreOf(kBodyId));
  DoubleClick(note.titlePoint());
  ASSERT_TRUE(WaitUntil([&] { return IsShown(note.control(kTitleEditorId)); }, 3000));
  TypeText(L"购物\U0001F600");
  EXPECT_EQ(note.text(kTitleId), L"");
  note.click(kBodyId);
  EXPECT_TRUE(WaitUntil([&] { return note.text(kTitleId) == L"购物\U0001F600" && !IsShown(note.control(kTitleEditorId)); }, 3000));
  MoveTo({900, 700});
  EXPECT_TRUE(FileHolds(note.file, "\xEF\xBB\xBF" + Utf8(L"标题:购物\U0001F600\r\n\r\n内容:\r\n买牛奶\r\n面包 2 个\r\n"), 1000));

  // Ctrl+Up sizes the body's font up; the key still reaches the body, whose caret moves up a line.
  note.setText(kBodyId, L"一\r\n二\r\n三");
  ::SendMessageW(body, EM_SETSEL, 7, 7);
  const auto lineHeight = [&] { return HIWORD(::SendMessageW(body, EM_POSFROMCHAR, 3, 0)) - HIWORD(::SendMessageW(body, EM_POSFROMCHAR, 0, 0)); };
  const int before = lineHeight();
  KeyChord({VK_CONTROL, VK_UP});
  EXPECT_TRUE(WaitUntil([&] { return lineHeight() > before; }, 3000)) << "Ctrl+Up did not enlarge the font";
  EXPECT_EQ(::SendMessageW(body, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1) << "the caret stayed";

  // "+" and "x" show grey over the title row, each red under the pointer, nothing over the body.
  const COLORREF grey = ::GetSysColor(COLOR_APPWORKSPACE);
  for (const auto& [at, plus, cross] : {std::tuple{note.titlePoint(), grey, grey}, std::tuple{note.centreOf(kPlusButtonId), kRed, grey},
                                        std::tuple{note.centreOf(kBodyId), kYellow, kYellow}, std::tuple{note.centreOf(kCloseButtonId), kYellow, kRed}}) {
    const auto shows = [&](int id, COLORREF c) { return c == kYellow ? onlyYellow(id) : AnyPixelIs(note.rectOf(id), c); };
    MoveTo(at);
    EXPECT_TRUE(WaitUntil([&] { return shows(kPlusButtonId, plus) && shows(kCloseButtonId, cross); }, 2000)) << "at " << at.x << ", " << at.y;
  }

  // The right button opens the note's menu over the body and the title (on top of the note), never the
  // body's own edit menu, and not over the grip or the start time.
  ASSERT_TRUE(WalkMenu(note.id(), note.centreOf(kBodyId), {VK_ESCAPE}) && WalkMenu(note.id(), note.titlePoint(), {VK_ESCAPE}));
  for (int id : {kGripId, kStartTimeId}) {
    Click(note.centreOf(id), Button::Right);
    Pause(300);
    EXPECT_TRUE(Windows(L"#32768", nullptr, note.id()).empty()) << "a menu showed after a right click on control " << id;
  }
  // Shift+F10 in the body opens the same menu below the caret (keys go to the window under the pointer).
  note.click(kBodyId);
  ::SendMessageW(body, EM_SETSEL, 4, 4);
  const LRESULT caret = ::SendMessageW(body, EM_POSFROMCHAR, 4, 0);
  POINT below{LOWORD(caret), HIWORD(caret) + lineHeight()};
  ::ClientToScreen(body, &below);
  ASSERT_TRUE(WalkMenu(note.id(), note.centreOf(kBodyId), {}, false, {VK_SHIFT, VK_F10}));
  const RECT menu = WindowRectOf(Windows(L"#32768", nullptr, note.id()).front());
  EXPECT_TRUE(std::abs(menu.left - below.x) <= 2 && std::abs(menu.top - below.y) <= 4) << menu.left << ", " << menu.top << " for " << below.x << ", " << below.y;
  KeyChord({VK_ESCAPE});

  // 经典蓝 recolours the window and its controls but the title editor, which keeps its colour; 经典红
  // writes the body in red.
  DoubleClick(note.titlePoint());
  note.setText(kBodyId, L"■■■■\r\n■■■■");
  ASSERT_TRUE(note.pick(MenuItem::Scheme, 2) && note.pick(MenuItem::FontColour, 1));
  const RECT plus = note.rectOf(kPlusButtonId), bare{plus.left, plus.bottom, plus.right, note.rectOf(kBodyFrameId).top};
  RECT editor = note.rectOf(kTitleEditorId);
  EXPECT_TRUE(WaitUntil([&] { return MostCommonColour(bare) == RGB(128, 128, 255) && AnyPixelIs(note.rectOf(kBodyId), kRed); }, 2000));
  for (int id : {kCloseButtonId, kBodyId, kGripId, kStartTimeId, kSideStripId}) EXPECT_EQ(MostCommonColour(note.rectOf(id)), id == kCloseButtonId ? RGB(128, 128, 255) : RGB(192, 192, 255)) << id;
  EXPECT_TRUE(::IntersectRect(&editor, &editor, &r) && MostCommonColour(editor) == kYellow);
  SaveScreenshot(L"note-blue");
  note.click(kBodyId);
  ASSERT_TRUE(note.pick(MenuItem::FontColour, 0) && note.pick(MenuItem::Scheme, 1));

  // Dragged by its title the note follows the pointer; locked, it does not move, but the grip sizes it, with either button, and its double-click brings it back to
  // 3000 x 3000 twips. Unlocked, the bare area moves it again.
  RECT at = WindowRectOf(note.window);
  Drag(note.titlePoint(), {note.titlePoint().x + 160, note.titlePoint().y + 120});
  EXPECT_TRUE(WaitUntil([&] { return MovedBy(at, note.window, {160, 120}, 8); }, 2000));
  ASSERT_TRUE(note.pick(MenuItem::Lock));
  at = WindowRectOf(note.window);
  Drag(note.titlePoint(), {note.titlePoint().x + 100, note.titlePoint().y + 100});
  EXPECT_TRUE((Pause(200), MovedBy(at, note.window, {0, 0}, 1))) << "a locked note moved";
  const POINT grip = note.centreOf(kGripId), to{grip.x + 90, grip.y + 60};
  Drag(grip, to, Button::Right, 6);
  const bool gripFollowed = WaitUntil([&] { return std::abs(note.rectOf(kGripId).left - to.x) + std::abs(note.rectOf(kGripId).top - to.y) <= 2; });
  if (!gripFollowed) SaveScreenshot(L"grip-after-right-drag");
  EXPECT_TRUE(gripFollowed) << "the grip is at " << note.rectOf(kGripId).left << "," << note.rectOf(kGripId).top
                            << ", the right button let go at " << to.x << "," << to.y;
  DoubleClick(note.centreOf(kGripId));
  EXPECT_TRUE(WaitUntil([&] { return WindowRectOf(note.window).right - WindowRectOf(note.window).left == 200; }, 2000)) << "double-click";
  ASSERT_TRUE(note.pick(MenuItem::Lock));
  at = WindowRectOf(note.window);
  Drag(note.barePoint(), {note.barePoint().x + 80, note.barePoint().y + 40}, Button::Left, 40);
  EXPECT_TRUE(WaitUntil([&] { return MovedBy(at, note.window, {80, 40}, 40); }, 2000));

  // Dragged past the right edge it follows the pointer while held and docks when let go: shown 10
  // twips over the edge while the pointer is on it, hidden but a 50-twip strip once the pointer leaves,
  // back when the pointer touches the strip. (That a locked note stays is the docking rules' own.)
  const int screen = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), shown = stickwell::TwipsToPixels(screen * 15 - 3000 + 10, 96),
            hidden = stickwell::TwipsToPixels(screen * 15 - 50, 96);
  const auto leftAt = [&](int x) { return WaitUntil([&] { return WindowRectOf(note.window).left == x; }, 2000); };
  ASSERT_TRUE((::SetWindowPos(note.window, nullptr, 900, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER), leftAt(900)));
  const POINT from = note.titlePoint();
  Approach(from);
  Press(Button::Left, true);
  for (int step = 1; step <= 10; ++step) MoveTo({from.x + 28 * step, from.y});
  Pause(300);  // ticks come and go while the button is held
  EXPECT_TRUE(MovedBy({900, 300, 1100, 500}, note.window, {280, 0}, 10)) << "while dragged the note follows the pointer";
  Press(Button::Left, false);
  EXPECT_TRUE(leftAt(shown)) << "let go, it docks, shown at SW - Width + 10";
  MoveTo({400, 500});
  EXPECT_TRUE(leftAt(hidden)) << "pointer away: hidden at SW - 50";
  SaveScreenshot(L"note-docked-hidden");
  MoveTo({screen - 1, 400});
  EXPECT_TRUE(leftAt(shown)) << "the pointer on the strip brings it back";
  ::SetWindowPos(note.window, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  // 打开 takes a left-over note in: its title replaces this note's, its body lines follow this note's,
  // the merged note is written first and then the picked file deleted. Its own file, and a file that
  // another program may still write, are taken in and kept; a file nobody else may open changes
  // nothing; no pick only drops the body's leading line breaks.
  const auto open = [&](const std::wstring& path) { return note.pick(MenuItem::Open) && AnswerFileDialog(note.id(), path); };
  const auto bodyIs = [&](const std::wstring& text) { return WaitUntil([&] { return note.text(kBodyId) == text; }, 5000); };
  note.setText(kBodyId, L"旧的");
  ASSERT_TRUE(open(leftOver));
  std::wstring merged = L"旧的\r\n牛奶\r\n\r\n面包";
  EXPECT_TRUE(bodyIs(merged) && note.text(kTitleId) == L"购物") << Utf8(note.text(kBodyId));
  EXPECT_EQ(note.record(), GbkRecord(L"购物", merged));
  EXPECT_TRUE(WaitUntil([&] { return !FileExists(leftOver); }, 3000));
  ASSERT_TRUE(open(note.file));
  EXPECT_TRUE(bodyIs(merged += L"\r\n" + merged) && FileHolds(note.file, GbkRecord(L"购物", merged))) << Utf8(note.text(kBodyId));
  const std::wstring other = dir.file(L"3-5 09-04-07.txt");
  ASSERT_TRUE(WriteBytes(other, GbkRecord(L"别人的", L"二")));
  HANDLE writer = ::CreateFileW(other.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(open(other));
  EXPECT_TRUE(bodyIs(merged += L"\r\n二") && note.text(kTitleId) == L"别人的");
  ::CloseHandle(writer);
  EXPECT_TRUE(FileExists(other)) << "a file in use is taken in but kept";
  HANDLE holder = ::CreateFileW(other.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  note.setText(kBodyId, L"\r\n\r\n旧的\r\n");
  ASSERT_TRUE(open(other));
  EXPECT_TRUE((Pause(500), ::CloseHandle(holder), note.text(kBodyId) == L"\r\n\r\n旧的\r\n")) << "a file it cannot read changed the note";
  ASSERT_TRUE(open(L""));
  EXPECT_TRUE(bodyIs(L"旧的\r\n"));

  // 清空, picked from the menu that the menu key opens, empties the title, its editor and the body, and
  // writes nothing (the pointer stays on the note).
  const std::string beforeClearing = note.record();
  ASSERT_TRUE(WalkMenu(note.id(), note.centreOf(kBodyId), MenuKeys(MenuItem::Clear), true, {VK_APPS}));
  EXPECT_TRUE(WaitUntil([&] { return note.text(kBodyId).empty() && note.text(kTitleId).empty() && note.text(kTitleEditorId).empty(); }));
  EXPECT_TRUE((Pause(300), note.record() == beforeClearing)) << "清空 wrote the note";

  // "+" starts another note at the start spot, with a file of its own. Back at that spot, the note
  // lets each new one open right under the pointer resting on "+", and the next click there starts
  // exactly one more note (under Wine a note's first sight of the pointer once came in the middle of
  // the press). "x" ends only its own note and deletes only its own file.
  ::SetWindowPos(note.window, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<HWND> others;
  for (size_t count = 1; count <= 2; ++count) {
    Click(note.centreOf(kPlusButtonId));
    ASSERT_TRUE(WaitUntil([&] {
      others.clear();
      for (HWND window : Windows(kFormClass, kNoteCaption)) if (ProcessOf(window) != note.id()) others.push_back(window);
      return others.size() == count && NoteFiles(dir.path()).size() == 2 + count;
    })) << "\"+\" did not start exactly one more note with a file of its own";
  }
  for (const auto& name : NoteFiles(dir.path()))
    EXPECT_TRUE(dir.file(name) == note.file || name == L"3-5 09-04-07.txt" || ReadBytes(dir.file(name)) == GbkRecord(L"", L"")) << "a new note's file";
  EXPECT_EQ(note.record(), GbkRecord(note.text(kTitleId), note.text(kBodyId))) << "the first note's file holds its own text";
  for (size_t left = others.size(); left-- > 0;) {
    HWND top = ::GetAncestor(::WindowFromPoint(note.centreOf(kPlusButtonId)), GA_ROOT);
    ASSERT_TRUE(top != note.window && WindowRectOf(top).left == r.left && WindowRectOf(top).top == r.top) << "a new note opens at the start spot";
    Click(CenterOf(WindowRectOf(NoteControl(top, kCloseButtonId))));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(top) && NoteFiles(dir.path()).size() == 2 + left; })) << "\"x\" on a new note";
  }
  EXPECT_TRUE(note.process.running() && FileExists(note.file)) << "\"x\" ended another note";
  note.click(kCloseButtonId);
  EXPECT_TRUE(note.process.waitForExit());
  EXPECT_EQ(NoteFiles(dir.path()), std::vector<std::wstring>{L"3-5 09-04-07.txt"}) << "only each note's own file goes";
}

}  // namespace e2e
