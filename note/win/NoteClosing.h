#pragma once
// A note ended from outside rather than with "x": the session ends (log-off, shutdown, restart), or
// Alt+F4 or another program asks the window to close. Either way the note's text reaches its file
// first, a title still in its editor included, and the file stays as a left-over note that 打开 takes
// back, as after an unexpected end.
namespace stickwell::note {

class NoteWindow;

// The title editor, when open, commits; then the note is saved, tried a few times about 100 ms apart
// while another program (a scanner, a sync client) holds its file. True when the file holds the note.
bool SaveBeforeTheEnd(NoteWindow& note);

// WM_CLOSE: saves as above, then closes the window, which ends the program; no question. A note whose
// text could not be written stays open rather than take it along, unless it has nowhere to write it.
void CloseKeepingTheFile(NoteWindow& note);

}  // namespace stickwell::note
