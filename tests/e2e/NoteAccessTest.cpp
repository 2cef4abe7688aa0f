// A note for every hand, in one run: the keys give it a title, start a note and place the window (the
// lock holding as it does for the pointer); a screen reader reads the controls and presses "+" and
// "x"; a high-contrast theme paints the note in the system's colours, and the scheme picked meanwhile
// shows when the theme goes off. Which key does what, and which colours go where, are the core's tables.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "harness/Note.h"
#include "harness/Reader.h"

namespace e2e {

// System colours for the test, the old ones back afterwards. Wine gives a program that runs already no
// new system colours: they are set before the note starts.
struct SystemColours {
  SystemColours(std::vector<int> which, std::vector<COLORREF> colours) : indexes(std::move(which)) {
    for (int index : indexes) old.push_back(::GetSysColor(index));
    ::SetSysColors(static_cast<int>(indexes.size()), indexes.data(), colours.data());
  }
  ~SystemColours() { ::SetSysColors(static_cast<int>(indexes.size()), indexes.data(), old.data()); }
  std::vector<int> indexes;
  std::vector<COLORREF> old;
};

TEST(NoteAccess, KeysReaderAndHighContrast) {
  constexpr COLORREF kPage = RGB(0, 0, 0), kInk = RGB(255, 255, 255), kFace = RGB(0, 0, 128);
  const SystemColours theme({COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT}, {kPage, kInk, kFace, RGB(255, 255, 0)});
  FocusSink sink;
  ProgramDir dir;
  Note note(dir);
  ASSERT_TRUE(note.started());
  HWND editor = note.control(kTitleEditorId);
  EXPECT_EQ(ReadAsReader(note.control(kBodyId)), (ReaderView{L"便签内容", ROLE_SYSTEM_TEXT})) << "the body of an untitled note";

  // F2 opens the title editor, Enter gives the title its text and the keys back to the body, where
  // Enter is a line break; the next save writes the title.
  ASSERT_TRUE(note.focus(kBodyId));
  TypeText(L"正文");
  KeyChord({VK_F2});
  ASSERT_TRUE(WaitUntil([&] { return IsShown(editor) && FocusIn(editor) == editor; })) << "F2";
  TypeText(L"键盘标题\n\n再一行");
  EXPECT_TRUE(WaitUntil([&] { return note.text(kTitleId) == L"键盘标题" && !IsShown(editor) && note.text(kBodyId) == L"正文\r\n再一行"; }, 2000));
  MoveTo({900, 700});
  EXPECT_TRUE(FileHolds(note.file, GbkRecord(L"键盘标题", L"正文\r\n再一行"), 2000));

  // Alt+Space opens the window menu: 移动 and the arrows move the note, 大小 sizes it from the grip's
  // corner, Enter keeps the place and Esc gives the old one back. Locked, 移动 is greyed and the note
  // stays, while 大小 works.
  const auto place = [&](WORD item, std::vector<WORD> keys) {
    MoveTo(note.centreOf(kBodyId));
    KeyChord({VK_MENU, VK_SPACE});
    if (!WaitUntil([&] { return !Windows(L"#32768", nullptr, note.id()).empty(); }, 3000)) return RECT{};
    keys.insert(keys.begin(), item);
    for (WORD key : keys) KeyChord({key});
    WaitUntil([&] { return Windows(L"#32768", nullptr, note.id()).empty(); }, 3000);
    return Pause(200), WindowRectOf(note.window);
  };
  const RECT start = WindowRectOf(note.window);
  // Where the note is now: `dx`, `dy` from where it started, `dw`, `dh` larger.
  const auto at = [&](RECT r, int dx, int dy, int dw, int dh) {
    return r.left == start.left + dx && r.top == start.top + dy && r.right == start.right + dx + dw && r.bottom == start.bottom + dy + dh;
  };
  EXPECT_TRUE(at(place('M', {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}), 24, 8, 0, 0));
  EXPECT_TRUE(at(place('S', {VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}), 24, 8, 16, 8));
  EXPECT_TRUE(at(place('S', {VK_LEFT, VK_ESCAPE}), 24, 8, 16, 8)) << "Esc";
  ASSERT_TRUE(note.pick(MenuItem::Lock));
  EXPECT_TRUE(at(place('M', {VK_RIGHT, VK_ESCAPE}), 24, 8, 16, 8)) << "a locked note moved";
  EXPECT_TRUE(at(place('S', {VK_DOWN, VK_RETURN}), 24, 8, 16, 16)) << "locked";
  ASSERT_TRUE(note.pick(MenuItem::Lock));

  // A reader hears buttons, a grip and a body named after the title.
  const std::pair<int, ReaderView> read[] = {{kPlusButtonId, {L"新建便签", ROLE_SYSTEM_PUSHBUTTON}}, {kCloseButtonId, {L"删除便签", ROLE_SYSTEM_PUSHBUTTON}},
                                             {kGripId, {L"调整大小", ROLE_SYSTEM_GRIP}}, {kBodyId, {L"键盘标题", ROLE_SYSTEM_TEXT}},
                                             {kTitleId, {L"键盘标题", ROLE_SYSTEM_STATICTEXT}}};
  for (const auto& [id, view] : read) EXPECT_EQ(ReadAsReader(note.control(id)), view) << "control " << id;

  // Ctrl+N starts a note, and so does the reader's press on "+"; the reader's press on "x" deletes each
  // new note with its file.
  MoveTo(note.centreOf(kBodyId));
  for (int round = 0; round < 2; ++round) {
    round == 0 ? KeyChord({VK_CONTROL, 'N'}) : (void)PressAsReader(note.control(kPlusButtonId));
    std::vector<HWND> notes;
    ASSERT_TRUE(WaitUntil([&] { return (notes = Windows(kFormClass, kNoteCaption)).size() == 2 && NoteFiles(dir.path()).size() == 2; }))
        << (round == 0 ? "Ctrl+N" : "the reader's \"+\"") << " started no note";
    HWND other = notes[ProcessOf(notes[0]) == note.id() ? 1 : 0];
    ASSERT_TRUE(PressAsReader(NoteControl(other, kCloseButtonId)));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(other) && NoteFiles(dir.path()).size() == 1; })) << "the reader's \"x\"";
  }

  // High contrast: the body on the system's page, the title row on its face; 经典蓝 shows nothing now,
  // and shows once the theme goes off.
  const auto contrast = [&](bool on) {
    DWORD_PTR answer = 0;
    const UINT probe = ::RegisterWindowMessageW(stickwell::note::probe::kHighContrastMessage);
    return ::SendMessageTimeoutW(note.window, probe, on, 0, SMTO_ABORTIFHUNG, 5000, &answer) && answer == 1;
  };
  const RECT body = note.rectOf(kBodyId), titleRow{note.rectOf(kTitleId).left, note.rectOf(kTitleId).top, note.rectOf(kTitleId).right, note.rectOf(kBodyFrameId).top};
  const auto shows = [&](COLORREF page, COLORREF face) { return WaitUntil([&] { return MostCommonColour(body) == page && MostCommonColour(titleRow) == face; }, 3000); };
  ASSERT_TRUE(shows(RGB(255, 255, 128), RGB(255, 255, 0)));
  ASSERT_TRUE(contrast(true));
  EXPECT_TRUE(shows(kPage, kFace) && AnyPixelIs(body, kInk));
  SaveScreenshot(L"note-high-contrast");
  ASSERT_TRUE(note.pick(MenuItem::Scheme, 2));
  EXPECT_TRUE((Pause(300), shows(kPage, kFace))) << "a scheme showed in high contrast";
  ASSERT_TRUE(contrast(false));
  EXPECT_TRUE(shows(RGB(192, 192, 255), RGB(128, 128, 255)));
}

}  // namespace e2e
