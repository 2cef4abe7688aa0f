#include "harness/NoteUi.h"

#include "harness/Files.h"
#include "harness/Input.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"

namespace e2e {

HWND NoteControl(HWND note, int id) {
  if (id == stickwell::note::kBodyId) return ::GetDlgItem(::GetDlgItem(note, stickwell::note::kBodyFrameId), id);
  return ::GetDlgItem(note, id);
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = ::GetDC(nullptr);
  const COLORREF colour = ::GetPixel(screen, x, y);
  ::ReleaseDC(nullptr, screen);
  return colour;
}

HWND StartNote(const ProgramDir& dir, Process& process) {
  process = dir.startNote();
  if (!process) return nullptr;
  return WaitForWindow(kFormClass, kNoteCaption, process.id());
}

std::vector<std::wstring> NoteFiles(const ProgramDir& dir) {
  std::vector<std::wstring> notes;
  for (const std::wstring& name : dir.files(L"*.txt")) {
    if (name == L"License.txt" || name == L"ReadMe.txt" || name == L"WhatsNew.txt" || name == L"广告合作及其协议.txt")
      continue;
    notes.push_back(name);
  }
  return notes;
}

std::string GbkRecord(const std::wstring& title, const std::wstring& body) {
  return Gbk(L"标题:" + title + L"\r\n\r\n内容:\r\n" + body + L"\r\n");
}

namespace {

constexpr wchar_t kSinkClass[] = L"StickwellTestFocusSink";

LRESULT CALLBACK SinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

FocusSink::FocusSink() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &SinkProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = kSinkClass;
  ::RegisterClassW(&wc);
  window_ = ::CreateWindowExW(0, kSinkClass, L"focus sink", WS_POPUP | WS_VISIBLE, 800, 600, 200, 200, nullptr,
                              nullptr, wc.hInstance, nullptr);
  // The pointer rests on the sink: notes that start now do not open under it, where Wine could
  // hand them a press meant for the sink.
  const POINT centre = CenterOf(WindowRectOf(window_));
  MoveTo(centre.x, centre.y);
  Pause(50);
}

FocusSink::~FocusSink() {
  if (window_) ::DestroyWindow(window_);
}

bool FocusSink::click() const {
  // A busy machine can lose a click under way; a person would click again.
  const POINT centre = CenterOf(WindowRectOf(window_));
  for (int attempt = 0; attempt < 3; ++attempt) {
    Click(centre.x, centre.y);
    if (WaitUntil([&] { return ::GetForegroundWindow() == window_; }, 3000)) return true;
  }
  return false;
}

}  // namespace e2e
