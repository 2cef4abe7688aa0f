#include "note/win/NoteAccessibility.h"

#include <oleacc.h>

#include <string>

#include "note/win/ControlIds.h"
#include "note/win/NoteWindow.h"
#include "shared/win/Accessible.h"

namespace stickwell::note {
namespace {

constexpr wchar_t kPress[] = L"按下";  // the default action of a push button

std::function<std::wstring()> Named(const wchar_t* name) {
  return [name] { return std::wstring(name); };
}

// The title, or what stands for it while there is none.
std::function<std::wstring()> TitleOr(const NoteWindow& note, const wchar_t* untitled) {
  return [&note, untitled] {
    std::wstring title = note.title();
    return title.empty() ? std::wstring(untitled) : title;
  };
}

}  // namespace

void DescribeForReaders(NoteWindow& note) {
  note.label(kPlusButtonId)->describe({ROLE_SYSTEM_PUSHBUTTON, Named(L"新建便签"), kPress, [&note] { note.newNote(); }});
  note.label(kCloseButtonId)->describe({ROLE_SYSTEM_PUSHBUTTON, Named(L"删除便签"), kPress, [&note] { note.deleteNote(); }});
  note.label(kGripId)->describe({ROLE_SYSTEM_GRIP, Named(L"调整大小"), nullptr, {}});
  note.label(kTitleId)->describe({ROLE_SYSTEM_STATICTEXT, TitleOr(note, L"无标题"), nullptr, {}});
  win::Label* startTime = note.label(kStartTimeId);
  startTime->describe({ROLE_SYSTEM_STATICTEXT, [startTime] { return startTime->caption(); }, nullptr, {}});
}

bool AnswerTextBoxObject(NoteWindow& note, int controlId, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  win::Accessible accessible;
  accessible.role = ROLE_SYSTEM_TEXT;
  accessible.name = controlId == kBodyId ? TitleOr(note, L"便签内容") : Named(L"标题");
  result = win::AnswerGetObject(note.control(controlId), wParam, lParam, accessible);
  return result != 0;
}

void AnnounceTitleChange(const NoteWindow& note) {
  ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, note.control(kBodyId), OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace stickwell::note
