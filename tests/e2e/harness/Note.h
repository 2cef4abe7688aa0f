#pragma once
// One running note as the tests see it: started from a program folder, its controls found by their
// ids, its menu walked with the keyboard, its note file read.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness/Input.h"
#include "harness/System.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "note/win/ControlIds.h"
#include "note/win/TestProbe.h"

namespace e2e {

using namespace stickwell::note;  // the control ids

// The note's menu from its top: 打开, 锁定, 清空, the separator, three submenus, 检查更新, 官方网站.
enum class MenuItem { Open = 1, Lock, Clear, FontSize, FontColour, Scheme, CheckForUpdates, OfficialSite };
// Keys that pick an item, or the `subitem`th item (from 0) of its submenu. The separator is passed over.
inline std::vector<WORD> MenuKeys(MenuItem item, int subitem = -1) {
  std::vector<WORD> keys(static_cast<size_t>(item) + (subitem >= 0 ? subitem + 1 : 0), VK_DOWN);
  if (subitem >= 0) keys[static_cast<size_t>(item)] = VK_RIGHT;
  return keys.push_back(VK_RETURN), keys;
}

// A child control of a note window by its id (the body is found inside its frame).
inline HWND NoteControl(HWND note, int id) { return ::GetDlgItem(id == kBodyId ? ::GetDlgItem(note, kBodyFrameId) : note, id); }

// The note files in a folder: the text files but the program's four documents.
inline std::vector<std::wstring> NoteFiles(const std::wstring& folder) {
  std::vector<std::wstring> notes = FilesIn(folder + L"\\*.txt");
  std::erase_if(notes, [](const std::wstring& name) {
    return name == L"License.txt" || name == L"ReadMe.txt" || name == L"WhatsNew.txt" || name == L"广告合作及其协议.txt";
  });
  return notes;
}

// The bytes of a note file for this title and body in the Chinese code page.
inline std::string GbkRecord(const std::wstring& title, const std::wstring& body) {
  return Gbk(L"标题:" + title + L"\r\n\r\n内容:\r\n" + body + L"\r\n");
}

struct Note {
  // Starts Stickwell.exe from `folder` and waits until its start-up is over: the window shows the start
  // time and, unless no folder can be written, a note file of its own has appeared, in `fileFolder`
  // when given (where a note goes whose program folder refuses it).
  explicit Note(const std::wstring& folder, bool claimsFile = true, std::wstring fileFolder = {})
      : process(StartProgram(folder + L"\\Stickwell.exe")) {
    if (fileFolder.empty()) fileFolder = folder;
    const auto before = NoteFiles(fileFolder);
    std::vector<std::wstring> added;
    window = WaitForWindow(kFormClass, kNoteCaption, process.id);
    if (!window || !WaitUntil([&] { return !text(kStartTimeId).empty(); })) failure = "no note window finished its start-up";
    WaitUntil([&] {
      const auto now = NoteFiles(fileFolder);
      added.clear();
      std::set_difference(now.begin(), now.end(), before.begin(), before.end(), std::back_inserter(added));
      return !added.empty() || !claimsFile || !failure.empty();
    });
    if (claimsFile && added.size() == 1) file = fileFolder + L"\\" + added.front();
    if (claimsFile && failure.empty() && file.empty()) failure = std::to_string(added.size()) + " new note files instead of one";
  }
  explicit Note(const ProgramDir& dir) : Note(dir.path()) {}

  ::testing::AssertionResult started() const {
    return failure.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << failure;
  }
  DWORD id() const { return process.id; }
  HWND control(int controlId) const { return NoteControl(window, controlId); }
  RECT rectOf(int controlId) const { return WindowRectOf(control(controlId)); }
  POINT centreOf(int controlId) const { return CenterOf(rectOf(controlId)); }
  // A point of the title row above the body's frame, between "+" and "x".
  POINT titlePoint() const { return {centreOf(kTitleId).x, (rectOf(kTitleId).top + rectOf(kBodyFrameId).top) / 2}; }
  // A point of the window itself: below "+", above the body's frame.
  POINT barePoint() const { return {rectOf(kPlusButtonId).left + 8, rectOf(kPlusButtonId).bottom + 1}; }
  std::wstring text(int controlId) const { return TextOf(control(controlId)); }
  void setText(int controlId, const std::wstring& text) const {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(control(controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored);
  }
  void click(int controlId) const { Click(centreOf(controlId)); }
  // Clicks the control until it has the keyboard: a busy machine can lose a click, and the note takes
  // the front only when its thread next reads its messages.
  bool focus(int controlId) const {
    HWND target = control(controlId);
    return ClickUntil(centreOf(controlId), [&] { return FocusIn(target) == target; });
  }
  // Opens the menu on the body and picks an item with the keyboard.
  bool pick(MenuItem item, int subitem = -1) const { return WalkMenu(id(), centreOf(kBodyId), MenuKeys(item, subitem)); }
  std::string record() const { return ReadBytes(file).value_or(""); }
  // How many ticks its push timer has had (the test build answers a probe message); -1: no answer.
  long long pushTicks() const {
    DWORD_PTR ticks = 0;
    const UINT probe = ::RegisterWindowMessageW(stickwell::note::probe::kPushTimerTicksMessage);
    return ::SendMessageTimeoutW(window, probe, 0, 0, SMTO_ABORTIFHUNG, 5000, &ticks) ? static_cast<long long>(ticks) : -1;
  }

  Process process;
  HWND window = nullptr;
  std::wstring file;     // the path of its note file
  std::string failure;  // what kept the start-up from its end
};

// A window of the test's own where the pointer rests: notes that start do not open under it, and
// clicking it takes the focus from a note as clicking another program does.
class FocusSink {
 public:
  FocusSink() : window_(OpenOwnWindow(L"StickwellTestFocusSink", L"focus sink", {800, 600, 1000, 800})) { MoveTo({900, 700}); }
  ~FocusSink() { ::DestroyWindow(window_); }
  FocusSink(const FocusSink&) = delete;
  FocusSink& operator=(const FocusSink&) = delete;
  // Clicks it until it is the active window.
  bool click() const { return ClickUntil({900, 700}, [&] { return ::GetForegroundWindow() == window_; }); }

 private:
  HWND window_;
};

}  // namespace e2e
