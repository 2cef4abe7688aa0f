// A note's whole life as a user lives it, in one run of the program: it starts, takes typing that its
// file follows, gets a title, answers the pointer and the keys, formats itself from its menu, is locked
// and unlocked, docks at the screen's edge, takes a left-over note in, starts another note and is
// deleted. Where a rule is a table in the note's core (layout sizes, docking rules, the menu's check
// groups, the merge's line rules, font-size steps), the journey only sees that the window carries it out.
#include <gtest/gtest.h>

#include <regex>

#include "harness/Input.h"
#include "harness/Note.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "shared/Twips.h"

namespace e2e {
namespace {

constexpr COLORREF kYellow = RGB(255, 255, 0), kRed = RGB(255, 0, 0);

// A text document as Stickwell.exe carries it (resource type CUSTOM).
std::string Resource(const std::wstring& exe, int id) {
  HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"CUSTOM");
  std::string bytes(static_cast<const char*>(::LockResource(::LoadResource(module, resource))),
                    ::SizeofResource(module, resource));
  ::FreeLibrary(module);
  return bytes;
}

// The pointer's shape once it rests at a point.
HCURSOR PointerAt(POINT at) {
  MoveTo(at);
  Pause(100);
  CURSORINFO info{sizeof info, 0, nullptr, {}};
  ::GetCursorInfo(&info);
  return info.hCursor;
}

// The distance between the body's first two lines.
int LineHeight(HWND body) {
  return HIWORD(::SendMessageW(body, EM_POSFROMCHAR, ::SendMessageW(body, EM_LINEINDEX, 1, 0), 0)) -
         HIWORD(::SendMessageW(body, EM_POSFROMCHAR, 0, 0));
}

// The system's move starts with the press or with the first move after it: the window travels the
// whole way, or that first step less (and the few pixels of the hand's approach).
bool MovedBy(const RECT& before, HWND window, POINT by, int steps) {
  const RECT after = WindowRectOf(window);
  return std::abs(after.left - before.left - by.x) <= std::abs(by.x) / steps + 2 &&
         std::abs(after.top - before.top - by.y) <= std::abs(by.y) / steps + 2;
}

TEST(NoteJourney, StartTypeFormatLockDockOpenAndDelete) {
  FocusSink sink;
  ProgramDir dir;
  // The user changed the licence, the introduction is an older, longer one, and a note of an earlier
  // day was left behind.
  ASSERT_TRUE(WriteBytes(dir.file(L"License.txt"), "my own licence"));
  ASSERT_TRUE(WriteBytes(dir.file(L"ReadMe.txt"), std::string(100000, 'x')));
  const std::wstring leftOver = dir.file(L"1-1 00-00-05.txt");
  ASSERT_TRUE(WriteBytes(leftOver, GbkRecord(L"购物", L"牛奶\r\n\r\n面包")));
  Note note(dir);
  ASSERT_TRUE(note.started());
  HWND body = note.control(kBodyId);

  // Start-up: the licence is kept; the introduction, the history and the missing terms are written, in
  // GBK; the note file, named by the start time, holds the empty record.
  EXPECT_EQ(ReadBytes(dir.file(L"License.txt")), "my own licence");
  const struct {
    int id;
    const wchar_t *file, *mentions;
  } documents[] = {{102, L"ReadMe.txt", L"打开"}, {103, L"WhatsNew.txt", L"13.4.20"}, {104, L"广告合作及其协议.txt", L"广告"}};
  for (const auto& document : documents) {
    const std::string resource = Resource(dir.file(L"Stickwell.exe"), document.id);
    EXPECT_EQ(ReadBytes(dir.file(document.file)), resource) << Utf8(document.file);
    EXPECT_NE(resource.find(Gbk(document.mentions)), std::string::npos) << Utf8(document.file) << " is another text";
  }
  std::wstring started = note.text(kStartTimeId);  // "M-D HH:MM  ", and the file "M-D HH-MM-SS.txt"
  ASSERT_TRUE(std::regex_match(started, std::wregex(LR"(\d{1,2}-\d{1,2} \d\d:\d\d  )"))) << Utf8(started);
  started = started.substr(0, started.size() - 2).replace(started.find(L':'), 1, L"-");
  EXPECT_TRUE(std::regex_match(note.file, std::wregex(LR"(.*\\)" + started + LR"(-\d\d\.txt)"))) << Utf8(note.file);
  EXPECT_EQ(note.record(), GbkRecord(L"", L""));
  // A borderless 256 x 266 window at the top left: yellow title row, pale yellow body.
  const RECT r = WindowRectOf(note.window);
  EXPECT_EQ(::GetWindowLongPtrW(note.window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_TRUE(r.left <= 1 && r.top <= 1 && r.right - r.left == 256 && r.bottom - r.top == 266);
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel({r.left + 128, r.top + 2}) == kYellow; }));
  EXPECT_EQ(ScreenPixel({r.left + 128, r.top + 150}), RGB(255, 255, 128));
  SaveScreenshot(L"note-started");

  // With the pointer away, "+" and "x" vanish into the title row and every tick writes what was typed.
  note.click(kBodyId);
  MoveTo({900, 700});
  const auto onlyYellow = [&](int id) { return AllPixelsAre(note.rectOf(id), kYellow); };
  EXPECT_TRUE(WaitUntil([&] { return onlyYellow(kPlusButtonId) && onlyYellow(kCloseButtonId); }, 2000));
  TypeText(L"买牛奶\n面包 2 个");
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"", L"买牛奶\r\n面包 2 个"), 1000));
  EXPECT_EQ(::GetForegroundWindow(), note.window) << "the note kept the keyboard";
  // On the window's border lines the pointer is neither in nor out: nothing is written. One pixel
  // further out, the next tick writes.
  const POINT mid = CenterOf(r);
  MoveTo({r.right, mid.y});
  note.setText(kBodyId, L"边框");
  for (POINT border : {POINT{r.left, mid.y}, POINT{mid.x, r.top}, POINT{r.right, mid.y}, POINT{mid.x, r.bottom}}) {
    MoveTo(border);
    Pause(300);
    EXPECT_EQ(note.record(), GbkRecord(L"", L"买牛奶\r\n面包 2 个")) << "written at " << border.x << ", " << border.y;
  }
  MoveTo({mid.x, r.bottom + 1});
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"", L"边框"), 1000));

  // A double-click on the title opens its editor; the title takes the text when a click in the body
  // closes it. The emoji is beyond the code page: the note is written as UTF-8 after a byte-order mark.
  MoveTo(note.centreOf(kBodyId));
  DoubleClick(note.titlePoint());
  ASSERT_TRUE(WaitUntil([&] { return IsShown(note.control(kTitleEditorId)); }, 3000));
  TypeText(L"购物\U0001F600");
  EXPECT_EQ(note.text(kTitleId), L"");
  note.click(kBodyId);
  EXPECT_TRUE(WaitUntil([&] { return note.text(kTitleId) == L"购物\U0001F600"; }, 3000));
  EXPECT_FALSE(IsShown(note.control(kTitleEditorId)));
  MoveTo({900, 700});
  EXPECT_TRUE(FileHolds(note.file, "\xEF\xBB\xBF" + Utf8(L"标题:购物\U0001F600\r\n\r\n内容:\r\n边框\r\n"), 1000));

  // Ctrl+Up and Ctrl+Down size the body's font; the keys still reach the body, whose caret moves.
  note.setText(kBodyId, L"一\r\n二\r\n三");
  ::SendMessageW(body, EM_SETSEL, 7, 7);
  const int lineHeight = LineHeight(body);
  KeyChord({VK_CONTROL, VK_UP});
  EXPECT_TRUE(WaitUntil([&] { return LineHeight(body) > lineHeight; }, 3000)) << "Ctrl+Up did not enlarge the font";
  EXPECT_EQ(::SendMessageW(body, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1) << "the caret stayed";
  KeyChord({VK_CONTROL, VK_DOWN});
  EXPECT_TRUE(WaitUntil([&] { return LineHeight(body) == lineHeight; }, 3000));

  // "+" and "x" show grey over the title row, each red under the pointer, nothing over the body. The
  // grip's sizing arrow stays over the title until the pointer reaches the body.
  const COLORREF grey = ::GetSysColor(COLOR_APPWORKSPACE);
  const struct {
    POINT at;
    COLORREF plus, cross;
  } hovers[] = {{note.titlePoint(), grey, grey}, {note.centreOf(kPlusButtonId), kRed, grey},
                {note.centreOf(kBodyId), kYellow, kYellow}, {note.centreOf(kCloseButtonId), kYellow, kRed}};
  for (const auto& hover : hovers) {
    MoveTo(hover.at);
    const auto shows = [&](int id, COLORREF c) { return c == kYellow ? onlyYellow(id) : AnyPixelIs(note.rectOf(id), c); };
    EXPECT_TRUE(WaitUntil([&] { return shows(kPlusButtonId, hover.plus) && shows(kCloseButtonId, hover.cross); }, 2000))
        << "pointer at " << hover.at.x << ", " << hover.at.y;
  }
  const HCURSOR titleArrow = PointerAt(note.titlePoint()), sizing = PointerAt(note.centreOf(kGripId));
  EXPECT_NE(sizing, titleArrow);
  EXPECT_EQ(PointerAt(note.titlePoint()), sizing) << "the title lost the grip's arrow";
  EXPECT_NE(PointerAt(note.centreOf(kBodyId)), sizing);
  EXPECT_EQ(PointerAt(note.titlePoint()), titleArrow);

  // The right button opens the note's menu over the body and the title (on top of the note), never the
  // body's own edit menu, and not over the grip or the start time.
  ASSERT_TRUE(WalkMenu(note.id(), note.centreOf(kBodyId), {VK_ESCAPE}));
  ASSERT_TRUE(WalkMenu(note.id(), note.titlePoint(), {VK_ESCAPE}));
  for (int id : {kGripId, kStartTimeId}) {
    Click(note.centreOf(id), Button::Right);
    Pause(300);
    EXPECT_TRUE(Windows(L"#32768", nullptr, note.id()).empty()) << "a menu showed after a right click on control " << id;
  }

  // 经典蓝 recolours the window and its controls but the title editor, which keeps its colour. 经典红
  // writes the body in red, 默认值 in black again.
  DoubleClick(note.titlePoint());
  ASSERT_TRUE(note.pick(MenuItem::Scheme, 2));
  const RECT plus = note.rectOf(kPlusButtonId), bare{plus.left, plus.bottom, plus.right, note.rectOf(kBodyFrameId).top};
  EXPECT_TRUE(WaitUntil([&] { return MostCommonColour(bare) == RGB(128, 128, 255); }, 2000));
  EXPECT_EQ(MostCommonColour(note.rectOf(kCloseButtonId)), RGB(128, 128, 255));
  for (int id : {kBodyId, kGripId, kStartTimeId, kSideStripId}) EXPECT_EQ(MostCommonColour(note.rectOf(id)), RGB(192, 192, 255));
  RECT editor = note.rectOf(kTitleEditorId);
  ::IntersectRect(&editor, &editor, &r);
  EXPECT_EQ(MostCommonColour(editor), kYellow);
  SaveScreenshot(L"note-blue");
  note.click(kBodyId);
  note.setText(kBodyId, L"■■■■\r\n■■■■");
  ASSERT_TRUE(note.pick(MenuItem::FontColour, 1));
  EXPECT_TRUE(WaitUntil([&] { return AnyPixelIs(note.rectOf(kBodyId), kRed); }, 2000));
  ASSERT_TRUE(note.pick(MenuItem::FontColour, 0) && note.pick(MenuItem::Scheme, 1));
  EXPECT_TRUE(WaitUntil([&] { return !AnyPixelIs(note.rectOf(kBodyId), kRed); }, 2000));

  // Dragged by its title the note follows the pointer; locked, neither the title nor the bare area
  // moves it, but the grip sizes it, with either button, and its double-click brings it back to
  // 3000 x 3000 twips, below which nothing sizes it. Unlocked, the bare area moves it again.
  RECT before = WindowRectOf(note.window);
  Drag(note.titlePoint(), {note.titlePoint().x + 160, note.titlePoint().y + 120});
  EXPECT_TRUE(WaitUntil([&] { return MovedBy(before, note.window, {160, 120}, 8); }, 2000));
  ASSERT_TRUE(note.pick(MenuItem::Lock));
  before = WindowRectOf(note.window);
  Drag(note.titlePoint(), {note.titlePoint().x + 100, note.titlePoint().y + 100});
  Drag(note.barePoint(), {note.barePoint().x + 60, note.barePoint().y + 30}, Button::Left, 30);
  Pause(200);
  EXPECT_TRUE(MovedBy(before, note.window, {0, 0}, 1)) << "a locked note moved";
  const POINT grip = note.centreOf(kGripId), to{grip.x + 90, grip.y + 60};
  Drag(grip, to, Button::Right, 6);
  EXPECT_TRUE(WaitUntil([&] { return std::abs(note.rectOf(kGripId).left - to.x) + std::abs(note.rectOf(kGripId).top - to.y) <= 2; }))
      << "the grip is not where the right button let go";
  const auto leastSize = [&] { return WindowRectOf(note.window).right - WindowRectOf(note.window).left == 200; };
  DoubleClick(note.centreOf(kGripId));
  EXPECT_TRUE(WaitUntil(leastSize, 2000)) << "the grip's double-click";
  Drag(note.centreOf(kGripId), {before.left + 20, before.top + 20});
  Pause(200);
  EXPECT_TRUE(leastSize() && WindowRectOf(note.window).bottom - WindowRectOf(note.window).top == 200);
  ASSERT_TRUE(note.pick(MenuItem::Lock));
  before = WindowRectOf(note.window);
  Drag(note.barePoint(), {note.barePoint().x + 80, note.barePoint().y + 40}, Button::Left, 40);
  EXPECT_TRUE(WaitUntil([&] { return MovedBy(before, note.window, {80, 40}, 40); }, 2000));

  // Dragged past the right edge it follows the pointer while held and docks when let go: shown 10
  // twips over the edge while the pointer is on it, hidden but a 50-twip strip once the pointer leaves,
  // back when the pointer touches the strip. Locked, it stays where it is.
  const auto px = [](double twips) { return stickwell::TwipsToPixels(twips, 96); };
  const int screen = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), shown = px(screen * 15 - 3000 + 10), hidden = px(screen * 15 - 50);
  const auto leftAt = [&](int x) { return WaitUntil([&] { return WindowRectOf(note.window).left == x; }, 2000); };
  ::SetWindowPos(note.window, nullptr, 900, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(leftAt(900));
  before = WindowRectOf(note.window);
  const POINT from = note.titlePoint();
  Approach(from);
  Press(Button::Left, true);
  for (int step = 1; step <= 10; ++step) MoveTo({from.x + 28 * step, from.y});
  Pause(300);  // ticks come and go while the button is held
  EXPECT_TRUE(MovedBy(before, note.window, {280, 0}, 10)) << "while dragged the note follows the pointer";
  Press(Button::Left, false);
  EXPECT_TRUE(leftAt(shown)) << "let go, it docks, shown at SW - Width + 10";
  MoveTo({400, 500});
  EXPECT_TRUE(leftAt(hidden)) << "pointer away: hidden at SW - 50";
  SaveScreenshot(L"note-docked-hidden");
  MoveTo({screen - 1, 400});
  EXPECT_TRUE(leftAt(shown)) << "the pointer on the strip brings it back";
  ASSERT_TRUE(note.pick(MenuItem::Lock));
  MoveTo({400, 500});
  Pause(400);
  EXPECT_EQ(WindowRectOf(note.window).left, shown) << "a locked note stays shown";
  ASSERT_TRUE(note.pick(MenuItem::Lock));
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
  EXPECT_TRUE(bodyIs(merged += L"\r\n" + merged)) << Utf8(note.text(kBodyId));
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"购物", merged)));
  const std::wstring other = dir.file(L"3-5 09-04-07.txt");
  ASSERT_TRUE(WriteBytes(other, GbkRecord(L"别人的", L"二")));
  HANDLE writer = ::CreateFileW(other.c_str(), GENERIC_WRITE, 7 /* all sharing */, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(open(other));
  EXPECT_TRUE(bodyIs(merged += L"\r\n二") && note.text(kTitleId) == L"别人的");
  ::CloseHandle(writer);
  EXPECT_TRUE(FileExists(other)) << "a file in use is taken in but kept";
  HANDLE holder = ::CreateFileW(other.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  note.setText(kBodyId, L"\r\n\r\n旧的\r\n");
  ASSERT_TRUE(open(other));
  Pause(500);
  ::CloseHandle(holder);
  EXPECT_EQ(note.text(kBodyId), L"\r\n\r\n旧的\r\n") << "a file it cannot read changed the note";
  ASSERT_TRUE(open(L""));
  EXPECT_TRUE(bodyIs(L"旧的\r\n"));

  // 清空 empties the title, its editor and the body, and writes nothing (the pointer stays on the note).
  const std::string beforeClearing = note.record();
  ASSERT_TRUE(note.pick(MenuItem::Clear));
  EXPECT_TRUE(WaitUntil([&] { return note.text(kBodyId).empty() && note.text(kTitleId).empty(); }, 3000));
  EXPECT_EQ(note.text(kTitleEditorId), L"");
  Pause(300);
  EXPECT_EQ(note.record(), beforeClearing);

  // "+" starts another note at the start spot, with a file of its own; "x" ends only its own note and
  // deletes only its own file.
  note.click(kPlusButtonId);
  HWND second = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND window : Windows(kFormClass, kNoteCaption)) second = ProcessOf(window) != note.id() ? window : second;
    return second && NoteFiles(dir.path()).size() == 3;
  })) << "\"+\" started no second note with a file of its own";
  EXPECT_EQ(WindowRectOf(second).left, r.left);
  Click(CenterOf(WindowRectOf(NoteControl(second, kCloseButtonId))));
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(second) && NoteFiles(dir.path()).size() == 2; })) << "\"x\" on the second note";
  EXPECT_TRUE(note.process.running() && FileExists(note.file)) << "\"x\" ended another note";
  note.click(kCloseButtonId);
  EXPECT_TRUE(note.process.waitForExit());
  EXPECT_EQ(NoteFiles(dir.path()), std::vector<std::wstring>{L"3-5 09-04-07.txt"}) << "only each note's own file goes";
  EXPECT_TRUE(FileExists(dir.file(L"License.txt")));
}

}  // namespace
}  // namespace e2e
