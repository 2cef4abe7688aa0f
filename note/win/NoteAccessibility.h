#pragma once
// What a screen reader learns about the note: "+" and "x" are buttons that a reader can press, the
// grip a grip, the title and the start time static text, the body an editable text named after the
// note's title. The names are for readers only; nothing on screen shows them.
#include <windows.h>

namespace stickwell::note {

class NoteWindow;

// Describes the note's labels; once, when they have been made.
void DescribeForReaders(NoteWindow& note);

// WM_GETOBJECT for the body or the title editor; true when answered (`result` holds the answer).
bool AnswerTextBoxObject(NoteWindow& note, int controlId, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The body is named after the title: readers hear of a new title.
void AnnounceTitleChange(const NoteWindow& note);

}  // namespace stickwell::note
