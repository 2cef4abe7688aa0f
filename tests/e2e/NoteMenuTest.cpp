// The note's popup menu: where it opens, what it shows, and what its formatting commands do.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "harness/Files.h"
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

// Keys that walk the menu from its top: Down to the `item`th item (the separator is passed over), then
// Enter, or Right into its submenu and Down to the `subitem`th item there.
std::vector<WORD> ToItem(int item, int subitem = -1, bool enter = true) {
  std::vector<WORD> keys(static_cast<size_t>(item), VK_DOWN);
  if (subitem >= 0) {
    keys.push_back(VK_RIGHT);
    keys.insert(keys.end(), static_cast<size_t>(subitem), VK_DOWN);
  }
  if (enter) keys.push_back(VK_RETURN);
  return keys;
}

const std::vector<WORD> kOpenItem = ToItem(1), kLockItem = ToItem(2), kClearItem = ToItem(3);
const std::vector<WORD> kFontSizeMenu = ToItem(4, 0, false), kFontColourMenu = ToItem(5, 0, false),
                        kBackgroundMenu = ToItem(6, 0, false);
const std::vector<WORD> kBlackTextItem = ToItem(5, 0), kRedTextItem = ToItem(5, 1);
const std::vector<WORD> kRedSchemeItem = ToItem(6, 0), kYellowSchemeItem = ToItem(6, 1), kBlueSchemeItem = ToItem(6, 2);

enum class SchemeCheck { Red, Yellow, Blue };

MenuSpec Item(const std::wstring& caption, bool checked = false) { return MenuSpec{caption, checked, {}}; }
MenuSpec Submenu(const std::wstring& caption, std::vector<MenuSpec> items) {
  return MenuSpec{caption, false, std::move(items)};
}

std::vector<MenuSpec> ExpectedMenu(const std::wstring& lockCaption = L"锁定", bool redText = false,
                                   SchemeCheck scheme = SchemeCheck::Yellow) {
  return {
      Item(L"打开"),
      Item(lockCaption),
      Item(L"清空"),
      Item(L"-"),
      Submenu(L"字体大小", {Item(L"变大(ctrl+↑)"), Item(L"变小(ctrl+↓)")}),
      Submenu(L"字体颜色", {Item(L"默认值", !redText), Item(L"经典红", redText)}),
      Submenu(L"背景颜色", {Item(L"经典红", scheme == SchemeCheck::Red), Item(L"经典黄", scheme == SchemeCheck::Yellow),
                            Item(L"经典蓝", scheme == SchemeCheck::Blue)}),
      Item(L"检查更新"),
      Item(L"官方网站"),
  };
}

struct Note {
  Process process;
  HWND window = nullptr;
  std::wstring file;  // its note file

  DWORD id() const { return process.id(); }
  HWND control(int controlId) const { return NoteControl(window, controlId); }
  POINT centreOf(int controlId) const { return CenterOf(WindowRectOf(control(controlId))); }
  // A point of the title row, above the body's frame.
  POINT titlePoint() const {
    const RECT title = WindowRectOf(control(kTitleId));
    return POINT{(title.left + title.right) / 2, (title.top + WindowRectOf(control(kBodyFrameId)).top) / 2};
  }
  bool pick(const std::vector<WORD>& keys) const { return WalkMenu(id(), centreOf(kBodyId), keys); }
};

::testing::AssertionResult Start(const ProgramDir& dir, Note& note) {
  const std::vector<std::wstring> before = NoteFiles(dir);
  note.window = StartNote(dir, note.process);
  if (!note.window) return ::testing::AssertionFailure() << "no note window";
  if (!WaitUntil([&] { return NoteFiles(dir).size() > before.size() && !TextOf(note.control(kStartTimeId)).empty(); }))
    return ::testing::AssertionFailure() << "start-up did not finish";
  for (const std::wstring& name : NoteFiles(dir))
    if (std::find(before.begin(), before.end(), name) == before.end()) note.file = dir.file(name);
  return ::testing::AssertionSuccess();
}

// Opens the note's menu at `at`, walks to a submenu with `keys`, and compares what shows with the
// expected menu opened the same way.
void ExpectMenuShows(const Note& note, POINT at, const std::vector<WORD>& keys,
                     const std::vector<MenuSpec>& expected, const std::wstring& what) {
  ASSERT_TRUE(WalkMenu(note.id(), at, keys, false)) << what << ": no menu";
  const size_t windows = keys.size() ? 2 : 1;
  ASSERT_TRUE(WaitForPopupMenus(note.id(), windows)) << what;
  const std::vector<MenuPicture> shown = PictureMenus(note.id());
  SaveScreenshot(L"note-menu-" + what);
  for (size_t i = 0; i < windows; ++i) PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitForPopupMenus(note.id(), 0)) << what << ": the menu did not close";

  const std::vector<MenuPicture> wanted = PictureExpectedMenu(expected, at, keys);
  ASSERT_EQ(shown.size(), wanted.size()) << what;
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].width, wanted[i].width) << what << ", window " << i;
    EXPECT_EQ(shown[i].height, wanted[i].height) << what << ", window " << i;
    EXPECT_TRUE(shown[i] == wanted[i]) << what << ", window " << i << " shows other items";
  }
}

TEST(NoteMenu, RightButtonInTheBodyOrOnTheTitleShowsTheNotesMenuAndNeverTheEditMenu) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  ExpectMenuShows(note, note.centreOf(kBodyId), {}, ExpectedMenu(), L"body");
  // The press alone opened it, and the release that followed left no edit menu behind.
  Pause(500);
  EXPECT_TRUE(PopupMenusOf(note.id()).empty()) << "the body's own edit menu showed";
  ExpectMenuShows(note, note.centreOf(kBodyId), kFontSizeMenu, ExpectedMenu(), L"font-size");
  ExpectMenuShows(note, note.centreOf(kBodyId), kFontColourMenu, ExpectedMenu(), L"font-colour");
  ExpectMenuShows(note, note.centreOf(kBodyId), kBackgroundMenu, ExpectedMenu(), L"background");
  ExpectMenuShows(note, note.titlePoint(), {}, ExpectedMenu(), L"title");

  // No other control opens it.
  for (int id : {kGripId, kStartTimeId}) {
    MoveTo(note.centreOf(id));
    Press(Button::Right);
    Release(Button::Right);
    Pause(300);
    EXPECT_TRUE(PopupMenusOf(note.id()).empty()) << "control " << id;
  }
}

// The picks follow each other quickly, as a practised hand's do: a right-button press soon after the one
// before is a second press all the same.
TEST(NoteMenu, PickedItemsMoveTheirGroupsCheckAndTheLockTurnsItsCaption) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  ASSERT_TRUE(note.pick(kLockItem));
  ASSERT_TRUE(note.pick(kRedTextItem));
  ASSERT_TRUE(note.pick(kBlueSchemeItem));
  ASSERT_TRUE(note.pick(kBlueSchemeItem));  // picked again: the checks stay
  const POINT at = note.centreOf(kBodyId);
  ExpectMenuShows(note, at, kFontColourMenu, ExpectedMenu(L"解锁", true, SchemeCheck::Blue), L"locked-red-blue");
  ExpectMenuShows(note, at, kBackgroundMenu, ExpectedMenu(L"解锁", true, SchemeCheck::Blue), L"locked-blue");

  ASSERT_TRUE(note.pick(kLockItem));
  ASSERT_TRUE(note.pick(kBlackTextItem));
  ASSERT_TRUE(note.pick(kRedSchemeItem));
  ExpectMenuShows(note, at, kBackgroundMenu, ExpectedMenu(L"锁定", false, SchemeCheck::Red), L"unlocked-red");
}

// The colour most of a screen rectangle shows (text and lines aside).
COLORREF MostCommonColour(RECT r) {
  std::map<COLORREF, int> counts;
  for (int y = r.top; y < r.bottom; y += 3)
    for (int x = r.left; x < r.right; x += 3) ++counts[ScreenPixel(x, y)];
  COLORREF best = CLR_INVALID;
  int most = 0;
  for (const auto& [colour, count] : counts)
    if (count > most) best = colour, most = count;
  return best;
}

// The part of a control that shows: inside the note, and without the title editor over it.
RECT Visible(const Note& note, int id) {
  RECT r = WindowRectOf(note.control(id));
  const RECT window = WindowRectOf(note.window);
  ::IntersectRect(&r, &r, &window);
  if (id == kTitleId) r.right = WindowRectOf(note.control(kTitleEditorId)).left;  // the editor lies right of here
  if (id == kTitleId) r.bottom = WindowRectOf(note.control(kBodyFrameId)).top;
  return r;
}

TEST(NoteMenu, EachColourSchemeRecoloursEveryControlButTheTitleEditor) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  // The title editor takes the window's colour when it opens: yellow.
  DoubleClick(note.titlePoint().x, note.titlePoint().y);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(note.control(kTitleEditorId)); }, 3000));
  TypeText(L"标题");

  const struct {
    const wchar_t* name;
    std::vector<WORD> keys;
    COLORREF header, body;
  } schemes[] = {
      {L"red", kRedSchemeItem, RGB(255, 128, 128), RGB(255, 192, 192)},
      {L"blue", kBlueSchemeItem, RGB(128, 128, 255), RGB(192, 192, 255)},
      {L"yellow", kYellowSchemeItem, RGB(255, 255, 0), RGB(255, 255, 128)},
  };
  for (const auto& scheme : schemes) {
    ASSERT_TRUE(note.pick(scheme.keys)) << scheme.name;
    ASSERT_TRUE(IsShown(note.control(kTitleEditorId))) << "the title editor closed";
    Pause(300);
    SaveScreenshot(std::wstring(L"note-scheme-") + scheme.name);
    const RECT plus = WindowRectOf(note.control(kPlusButtonId));
    // Below "+" the window itself shows, down to the body's frame.
    const RECT bare{plus.left, plus.bottom, plus.right, WindowRectOf(note.control(kBodyFrameId)).top};
    EXPECT_EQ(MostCommonColour(bare), scheme.header) << scheme.name << ": the window";
    for (int id : {kPlusButtonId, kCloseButtonId, kTitleId})
      EXPECT_EQ(MostCommonColour(Visible(note, id)), scheme.header) << scheme.name << ", control " << id;
    for (int id : {kBodyFrameId, kBodyId, kGripId, kStartTimeId, kSideStripId})
      EXPECT_EQ(MostCommonColour(Visible(note, id)), scheme.body) << scheme.name << ", control " << id;
    EXPECT_EQ(MostCommonColour(Visible(note, kTitleEditorId)), RGB(255, 255, 0)) << scheme.name << ": the title editor";
  }
}

// Whether any pixel of the rectangle shows `colour`.
bool Shows(RECT r, COLORREF colour) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (ScreenPixel(x, y) == colour) return true;
  return false;
}

TEST(NoteMenu, FontColoursColourTheBodyTextAndClearEmptiesTheNoteWithoutWritingIt) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  ::SendMessageW(note.control(kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"■■■■\r\n■■■■"));
  RECT text = WindowRectOf(note.control(kBodyId));
  text.bottom = text.top + 50;

  ASSERT_TRUE(note.pick(kRedTextItem));
  Pause(300);
  EXPECT_TRUE(Shows(text, RGB(255, 0, 0))) << "red text";
  ASSERT_TRUE(note.pick(kBlackTextItem));
  Pause(300);
  EXPECT_FALSE(Shows(text, RGB(255, 0, 0)));
  EXPECT_TRUE(Shows(text, RGB(0, 0, 0))) << "black text";

  // A title and an editor text of its own.
  DoubleClick(note.titlePoint().x, note.titlePoint().y);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(note.control(kTitleEditorId)); }, 3000));
  TypeText(L"清单");
  const POINT body = note.centreOf(kBodyId);
  Click(body.x, body.y);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(note.control(kTitleId)) == L"清单"; }, 3000));

  const std::optional<std::string> before = ReadBytes(note.file);
  ASSERT_TRUE(note.pick(kClearItem));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(note.control(kBodyId)).empty(); }, 3000));
  EXPECT_EQ(TextOf(note.control(kTitleId)), L"");
  EXPECT_EQ(TextOf(note.control(kTitleEditorId)), L"");
  Pause(300);
  EXPECT_EQ(ReadBytes(note.file), before) << "clearing writes nothing";
}

// Picks a file through the 打开 command's dialog.
::testing::AssertionResult OpenThroughTheMenu(const Note& note, const std::wstring& path) {
  if (!note.pick(kOpenItem)) return ::testing::AssertionFailure() << "no menu";
  HWND dialog = WaitForFileDialog(note.id());
  if (!dialog) return ::testing::AssertionFailure() << "no open-file dialog";
  if (!ChooseFile(dialog, path)) return ::testing::AssertionFailure() << "the dialog did not take " << Utf8(path);
  return ::testing::AssertionSuccess();
}

std::function<bool(const std::string&)> Equals(const std::string& expected) {
  return [expected](const std::string& bytes) { return bytes == expected; };
}

TEST(NoteMenu, OpenMergesALeftOverNoteWritesTheMergedNoteAndDeletesThePickedFile) {
  ProgramDir dir;
  const std::wstring leftOver = dir.file(L"1-1 00-00-05.txt");
  ASSERT_TRUE(WriteBytes(leftOver, GbkRecord(L"购物", L"牛奶\r\n\r\n面包")));
  Note note;
  ASSERT_TRUE(Start(dir, note));
  ::SendMessageW(note.control(kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"旧的"));

  ASSERT_TRUE(OpenThroughTheMenu(note, leftOver));
  const std::wstring merged = L"旧的\r\n牛奶\r\n\r\n面包";
  EXPECT_TRUE(WaitUntil([&] { return TextOf(note.control(kBodyId)) == merged; }, 5000))
      << Utf8(TextOf(note.control(kBodyId)));
  EXPECT_EQ(TextOf(note.control(kTitleId)), L"购物");
  EXPECT_EQ(TextOf(note.control(kTitleEditorId)), L"购物");
  EXPECT_EQ(ReadBytes(note.file), GbkRecord(L"购物", merged)) << "the merged note is on disk";
  EXPECT_TRUE(WaitForFileGone(leftOver, 3000)) << "the picked file stays";

  // A note that held text the code page lacks was written as UTF-8 after a byte-order mark.
  const std::wstring wide = dir.file(L"12-25 13-30-00.txt");
  ASSERT_TRUE(WriteBytes(wide, "\xEF\xBB\xBF" + Utf8(L"标题:笑\U0001F600\r\n\r\n内容:\r\n\u3400\r\n")));
  ASSERT_TRUE(OpenThroughTheMenu(note, wide));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(note.control(kTitleId)) == L"笑\U0001F600"; }, 5000));
  EXPECT_EQ(TextOf(note.control(kBodyId)), merged + L"\r\n\u3400");
  EXPECT_EQ(ReadBytes(note.file),
            "\xEF\xBB\xBF" + Utf8(L"标题:笑\U0001F600\r\n\r\n内容:\r\n" + merged + L"\r\n\u3400\r\n"));
  EXPECT_TRUE(WaitForFileGone(wide, 3000));
  EXPECT_TRUE(DialogsOf(note.id()).empty());
}

TEST(NoteMenu, OpenKeepsItsOwnFileAndOneThatAnotherProgramMayStillWrite) {
  FocusSink sink;
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  const POINT body = note.centreOf(kBodyId);
  Click(body.x, body.y);
  TypeText(L"一");
  ASSERT_TRUE(sink.click());
  ASSERT_TRUE(WaitForFile(note.file, Equals(GbkRecord(L"", L"一"))));
  ASSERT_TRUE(Activate(note.window));

  ASSERT_TRUE(OpenThroughTheMenu(note, note.file));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(note.control(kBodyId)) == L"一\r\n一"; }, 5000));
  Pause(300);
  EXPECT_EQ(ReadBytes(note.file), GbkRecord(L"", L"一\r\n一")) << "its own file holds the merged note";

  // Another program has the file open for writing: what is read may not be all there will be.
  const std::wstring busy = dir.file(L"3-5 09-04-07.txt");
  ASSERT_TRUE(WriteBytes(busy, GbkRecord(L"别人的", L"二")));
  HANDLE writer = ::CreateFileW(busy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(OpenThroughTheMenu(note, busy));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(note.control(kBodyId)) == L"一\r\n一\r\n二"; }, 5000));
  EXPECT_EQ(TextOf(note.control(kTitleId)), L"别人的");
  Pause(300);
  ::CloseHandle(writer);
  EXPECT_TRUE(FileExists(busy)) << "a file in use is taken in but kept";
}

TEST(NoteMenu, OpenWithoutAPickOnlyDropsLeadingLineBreaksAndAFileItCannotReadIsLeftAlone) {
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  ::SendMessageW(note.control(kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\r\n\r\n旧的\r\n"));
  ASSERT_TRUE(note.pick(kOpenItem));
  HWND dialog = WaitForFileDialog(note.id());
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(CancelFileDialog(dialog));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(note.control(kBodyId)) == L"旧的\r\n"; }, 3000));

  // Another program holds the file and lets nobody else open it.
  const std::wstring locked = dir.file(L"3-5 09-04-07.txt");
  const std::string lockedBytes = GbkRecord(L"别人的", L"内容");
  ASSERT_TRUE(WriteBytes(locked, lockedBytes));
  HANDLE lock = ::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ::SendMessageW(note.control(kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\r\n旧的"));
  ASSERT_TRUE(OpenThroughTheMenu(note, locked));
  Pause(500);
  ::CloseHandle(lock);
  EXPECT_EQ(TextOf(note.control(kBodyId)), L"\r\n旧的") << "nothing changes, not even the leading line break";
  EXPECT_EQ(TextOf(note.control(kTitleId)), L"");
  EXPECT_EQ(ReadBytes(locked), lockedBytes) << "the file is left alone";
  // The dialog took the focus, which saved the note as it was; the command wrote nothing after.
  EXPECT_EQ(ReadBytes(note.file), GbkRecord(L"", L"\r\n旧的"));
  EXPECT_TRUE(note.process.running());
  EXPECT_TRUE(DialogsOf(note.id()).empty());
}

}  // namespace
}  // namespace e2e
