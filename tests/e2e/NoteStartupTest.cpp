// A note's start: the documents it writes, the file it claims, where and how its window appears.
#include <gtest/gtest.h>

#include <regex>

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

// A text document as the program carries it (resource type CUSTOM).
std::string DocumentResource(const ProgramDir& dir, int id) {
  HMODULE exe = ::LoadLibraryExW(dir.file(L"Stickwell.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!exe) return {};
  std::string bytes;
  if (HRSRC resource = ::FindResourceW(exe, MAKEINTRESOURCEW(id), L"CUSTOM")) {
    if (const void* data = ::LockResource(::LoadResource(exe, resource)))
      bytes.assign(static_cast<const char*>(data), ::SizeofResource(exe, resource));
  }
  ::FreeLibrary(exe);
  return bytes;
}

std::wstring FromGbk(const std::string& bytes) {
  const int length = ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                           nullptr, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
  return text;
}

// Start-up ends with the start time in the bottom strip.
bool WaitForStartupDone(HWND note) {
  return WaitUntil([&] { return !TextOf(NoteControl(note, kStartTimeId)).empty(); });
}

RECT RectInNote(HWND note, HWND control) {
  RECT r = WindowRectOf(control);
  const RECT form = WindowRectOf(note);
  ::OffsetRect(&r, -form.left, -form.top);
  return r;
}

void ExpectRect(const RECT& actual, const RECT& expected, const char* what) {
  EXPECT_TRUE(::EqualRect(&actual, &expected))
      << what << " is (" << actual.left << ", " << actual.top << ")-(" << actual.right << ", " << actual.bottom
      << "), expected (" << expected.left << ", " << expected.top << ")-(" << expected.right << ", "
      << expected.bottom << ")";
}

bool AnyPixelIs(const RECT& screenRect, COLORREF colour) {
  for (int y = screenRect.top; y < screenRect.bottom; ++y)
    for (int x = screenRect.left; x < screenRect.right; ++x)
      if (ScreenPixel(x, y) == colour) return true;
  return false;
}

TEST(NoteStartup, WritesTheDocumentsOnlyReplacingTheIntroductionAndHistory) {
  ProgramDir dir;
  // The user changed the licence and emptied the advertisers' terms; an old introduction is longer
  // than the new one.
  ASSERT_TRUE(WriteBytes(dir.file(L"License.txt"), "my own licence"));
  ASSERT_TRUE(WriteBytes(dir.file(L"广告合作及其协议.txt"), ""));
  ASSERT_TRUE(WriteBytes(dir.file(L"ReadMe.txt"), std::string(100000, 'x')));
  ASSERT_TRUE(WriteBytes(dir.file(L"WhatsNew.txt"), "old"));
  Process process;
  HWND note = StartNote(dir, process);
  ASSERT_NE(note, nullptr);
  ASSERT_TRUE(WaitForStartupDone(note));

  EXPECT_EQ(ReadBytes(dir.file(L"License.txt")), "my own licence");
  EXPECT_EQ(ReadBytes(dir.file(L"广告合作及其协议.txt")), "");
  EXPECT_EQ(ReadBytes(dir.file(L"ReadMe.txt")), DocumentResource(dir, 102));
  EXPECT_EQ(ReadBytes(dir.file(L"WhatsNew.txt")), DocumentResource(dir, 103));
}

TEST(NoteStartup, FreshFolderGetsTheFourDocumentsInGbk) {
  ProgramDir dir;
  Process process;
  HWND note = StartNote(dir, process);
  ASSERT_NE(note, nullptr);
  ASSERT_TRUE(WaitForStartupDone(note));

  const struct {
    int id;
    const wchar_t* file;
    const wchar_t* mustMention;
  } documents[] = {{101, L"License.txt", L"许可"},
                   {102, L"ReadMe.txt", L"打开"},
                   {103, L"WhatsNew.txt", L"13.4.20"},
                   {104, L"广告合作及其协议.txt", L"广告"}};
  for (const auto& document : documents) {
    SCOPED_TRACE(testing::Message() << "resource " << document.id);
    const std::string resource = DocumentResource(dir, document.id);
    ASSERT_FALSE(resource.empty());
    EXPECT_EQ(ReadBytes(dir.file(document.file)), resource);
    const std::wstring text = FromGbk(resource);
    EXPECT_NE(text.find(document.mustMention), std::wstring::npos) << "not GBK, or not the right document";
  }
  // The history's newest block comes first.
  const std::wstring history = FromGbk(DocumentResource(dir, 103));
  EXPECT_LT(history.find(L"====="), history.find(L"13.4.20"));
}

TEST(NoteStartup, WindowOpensAtTheTopLeftWithItsControls) {
  ProgramDir dir;
  // The pointer waits over the title where the note will open: "+" and "x" show in grey until the
  // pointer is away from the note.
  MoveTo(128, 15);
  Process process;
  HWND note = StartNote(dir, process);
  ASSERT_NE(note, nullptr);
  ASSERT_TRUE(WaitForStartupDone(note));
  Pause(300);  // let it paint

  const RECT window = WindowRectOf(note);
  EXPECT_LE(window.left, 1);
  EXPECT_LE(window.top, 1);
  EXPECT_EQ(window.right - window.left, 256);
  EXPECT_EQ(window.bottom - window.top, 266);
  const RECT client = ClientRectOnScreen(note);
  EXPECT_TRUE(::EqualRect(&window, &client)) << "the note must have no frame";

  EXPECT_EQ(TextOf(NoteControl(note, kPlusButtonId)), L"+");
  EXPECT_EQ(TextOf(NoteControl(note, kCloseButtonId)), L"x");
  EXPECT_EQ(TextOf(NoteControl(note, kTitleId)), L"");
  EXPECT_EQ(TextOf(NoteControl(note, kBodyId)), L"");
  EXPECT_FALSE(IsShown(NoteControl(note, kTitleEditorId))) << "the title editor shows only while the title is edited";
  const std::wstring started = TextOf(NoteControl(note, kStartTimeId));
  EXPECT_TRUE(std::regex_match(started, std::wregex(LR"(\d{1,2}-\d{1,2} \d\d:\d\d  )"))) << "start time shown";

  // At 96 dpi the start-up layout in pixels: "+", title and "x" across the top, the body's frame,
  // the strips and the grip in the bottom right corner.
  ExpectRect(RectInNote(note, NoteControl(note, kPlusButtonId)), {0, 0, 17, 25}, "plusButton");
  ExpectRect(RectInNote(note, NoteControl(note, kCloseButtonId)), {242, 0, 256, 24}, "closeButton");
  ExpectRect(RectInNote(note, NoteControl(note, kTitleId)), {17, 6, 242, 35}, "title");
  ExpectRect(RectInNote(note, NoteControl(note, kBodyFrameId)), {0, 29, 243, 253}, "bodyFrame");
  ExpectRect(RectInNote(note, NoteControl(note, kBodyId)), {7, 36, 243, 259}, "body");
  ExpectRect(RectInNote(note, NoteControl(note, kStartTimeId)), {0, 253, 243, 266}, "startTime");
  ExpectRect(RectInNote(note, NoteControl(note, kSideStripId)), {243, 29, 256, 253}, "sideStrip");
  ExpectRect(RectInNote(note, NoteControl(note, kGripId)), {243, 253, 256, 266}, "grip");

  // Yellow title row, pale yellow body, grey "+" and "x".
  EXPECT_EQ(ScreenPixel(window.left + 128, window.top + 2), RGB(255, 255, 0));
  EXPECT_EQ(ScreenPixel(window.left + 128, window.top + 150), RGB(255, 255, 128));
  EXPECT_EQ(ScreenPixel(window.left + 250, window.top + 260), RGB(255, 255, 128)) << "the grip takes the body colour";
  EXPECT_TRUE(AnyPixelIs(WindowRectOf(NoteControl(note, kPlusButtonId)), ::GetSysColor(COLOR_APPWORKSPACE)));
  EXPECT_TRUE(AnyPixelIs(WindowRectOf(NoteControl(note, kCloseButtonId)), ::GetSysColor(COLOR_APPWORKSPACE)));
  SaveScreenshot(L"note-startup");
}

TEST(NoteStartup, TitleBodyAndGripShowTheirTooltips) {
  ProgramDir dir;
  Process process;
  HWND note = StartNote(dir, process);
  ASSERT_NE(note, nullptr);
  ASSERT_TRUE(WaitForStartupDone(note));
  const struct {
    int id;
    const wchar_t* tip;
  } tools[] = {{kTitleId, L"双击添加标题,右键弹出菜单"},
               {kBodyId, L"亲,ctrl+↑和ctrl+↓可以调整字体大小的哦(^-^)"},
               {kGripId, L"托动改变大小,双击恢复默认大小."}};
  for (const auto& tool : tools) {
    SCOPED_TRACE(testing::Message() << "control " << tool.id);
    MoveTo(1000, 900);
    const RECT r = WindowRectOf(NoteControl(note, tool.id));
    const POINT target{(r.left + r.right) / 2, r.top + 4};
    MoveTo(target.x - 1, target.y);
    MoveTo(target);
    HWND tip = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
          for (HWND window : TopLevelWindows(L"tooltips_class32", nullptr, process.id()))
            if (IsShown(window) && TextOf(window) == tool.tip) tip = window;  // the tip it shows
          return tip != nullptr;
        },
        5000));
  }
}

TEST(NoteStartup, ClaimsItsNoteFileWithTheEmptyRecord) {
  ProgramDir dir;
  Process process;
  HWND note = StartNote(dir, process);
  ASSERT_NE(note, nullptr);
  ASSERT_TRUE(WaitForStartupDone(note));
  const auto files = NoteFiles(dir);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(std::regex_match(files[0], std::wregex(LR"(\d{1,2}-\d{1,2} \d\d-\d\d-\d\d\.txt)"))) << files[0];
  EXPECT_EQ(ReadBytes(dir.file(files[0])), GbkRecord(L"", L""));
  // One clock reading names the file and gives the start time shown: "M-D HH:MM  " and "M-D HH-MM-SS.txt".
  std::wstring started = TextOf(NoteControl(note, kStartTimeId));
  ASSERT_GT(started.size(), 2u);
  started.resize(started.size() - 2);
  started[started.find(L':')] = L'-';
  EXPECT_EQ(files[0].rfind(started + L"-", 0), 0u) << files[0];
}

}  // namespace
}  // namespace e2e
