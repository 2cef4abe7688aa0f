// What reaches the note file, and when: the body when the note loses the focus, the title once its
// editor has closed, UTF-8 for text the code page cannot hold, and a save that fails.
#include <gtest/gtest.h>

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

// A started note with its file claimed.
struct Note {
  Process process;
  HWND window = nullptr;
  std::wstring file;  // path of its note file
};

::testing::AssertionResult Start(const ProgramDir& dir, Note& note) {
  note.window = StartNote(dir, note.process);
  if (!note.window) return ::testing::AssertionFailure() << "no note window";
  if (!WaitUntil([&] { return !NoteFiles(dir).empty(); })) return ::testing::AssertionFailure() << "no note file";
  note.file = dir.file(NoteFiles(dir).front());
  return ::testing::AssertionSuccess();
}

void ClickControl(HWND note, int id) {
  const POINT centre = CenterOf(WindowRectOf(NoteControl(note, id)));
  Click(centre.x, centre.y);
}

std::function<bool(const std::string&)> Equals(const std::string& expected) {
  return [expected](const std::string& bytes) { return bytes == expected; };
}

TEST(NoteSaving, TypedBodyReachesTheFileInGbkWhenTheNoteLosesTheFocus) {
  FocusSink sink;
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));

  ClickControl(note.window, kBodyId);
  TypeText(L"买牛奶\n面包 2 个");
  Pause(300);
  EXPECT_EQ(ReadBytes(note.file), GbkRecord(L"", L"")) << "typing alone writes nothing";

  ASSERT_TRUE(sink.click());
  EXPECT_EQ(WaitForFile(note.file, Equals(GbkRecord(L"", L"买牛奶\r\n面包 2 个"))),
            GbkRecord(L"", L"买牛奶\r\n面包 2 个"));
}

TEST(NoteSaving, TextTheCodePageCannotHoldIsSavedAsUtf8WithAByteOrderMark) {
  FocusSink sink;
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));

  ClickControl(note.window, kBodyId);
  TypeText(L"笑\U0001F600\u3400");  // an emoji and a character outside GBK
  ASSERT_TRUE(sink.click());
  const std::string expected = "\xEF\xBB\xBF" + Utf8(L"标题:\r\n\r\n内容:\r\n笑\U0001F600\u3400\r\n");
  EXPECT_EQ(WaitForFile(note.file, Equals(expected)), expected);

  // Once the text fits the code page again, so does the file.
  ::SendMessageW(NoteControl(note.window, kBodyId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"笑"));
  ClickControl(note.window, kBodyId);
  ASSERT_TRUE(sink.click());
  EXPECT_EQ(WaitForFile(note.file, Equals(GbkRecord(L"", L"笑"))), GbkRecord(L"", L"笑"));
}

TEST(NoteSaving, EditedTitleReachesTheFileOnlyAfterTheEditorLosesTheFocus) {
  FocusSink sink;
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));
  HWND title = NoteControl(note.window, kTitleId);
  HWND editor = NoteControl(note.window, kTitleEditorId);

  // The title row above the body: a double-click there opens the editor.
  const RECT row = WindowRectOf(title);
  const RECT body = WindowRectOf(NoteControl(note.window, kBodyFrameId));
  DoubleClick((row.left + row.right) / 2, (row.top + body.top) / 2);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(editor); }, 3000)) << "the title editor did not open";
  TypeText(L"购物");
  EXPECT_EQ(TextOf(title), L"") << "the title changes only when the editor closes";

  // Leaving the note saves with the title it had; the editor closes and hands over its text. The
  // pointer stays on the body, where the watcher does not save.
  const POINT onBody = CenterOf(WindowRectOf(NoteControl(note.window, kBodyId)));
  MoveTo(onBody);
  ASSERT_TRUE(Activate(sink.hwnd()));
  ASSERT_TRUE(WaitUntil([&] { return !IsShown(editor); }, 3000));
  EXPECT_EQ(TextOf(title), L"购物");
  Pause(200);
  EXPECT_EQ(ReadBytes(note.file), GbkRecord(L"", L""));

  // The next save writes the new title.
  ClickControl(note.window, kBodyId);
  ASSERT_TRUE(sink.click());
  EXPECT_EQ(WaitForFile(note.file, Equals(GbkRecord(L"购物", L""))), GbkRecord(L"购物", L""));
  ClickControl(note.window, kBodyId);
  TypeText(L"牛奶 两盒\n鸡蛋 一打\nbread");
  SaveScreenshot(L"note-title-and-body");
}

TEST(NoteSaving, FailedSaveIsSkippedQuietlyAndTheNextSaveWritesTheNote) {
  FocusSink sink;
  ProgramDir dir;
  Note note;
  ASSERT_TRUE(Start(dir, note));

  // A folder in the way of the temporary file makes the next save fail.
  const std::wstring blocker = note.file + L"." + std::to_wstring(note.process.id()) + L".saving";
  ASSERT_TRUE(::CreateDirectoryW(blocker.c_str(), nullptr));
  ClickControl(note.window, kBodyId);
  TypeText(L"第一次");
  ASSERT_TRUE(sink.click());
  Pause(500);
  EXPECT_EQ(ReadBytes(note.file), GbkRecord(L"", L"")) << "the failed save must leave the last good record";
  EXPECT_TRUE(note.process.running());
  EXPECT_TRUE(DialogsOf(note.process.id()).empty()) << "a failed save shows nothing";

  ASSERT_TRUE(::RemoveDirectoryW(blocker.c_str()));
  ClickControl(note.window, kBodyId);
  ASSERT_TRUE(sink.click());
  EXPECT_EQ(WaitForFile(note.file, Equals(GbkRecord(L"", L"第一次"))), GbkRecord(L"", L"第一次"));
}

}  // namespace
}  // namespace e2e
