#pragma once
// Control ids of the note window's children, for GetDlgItem (the body lies
// inside its frame: GetDlgItem(GetDlgItem(note, kBodyFrameId), kBodyId)). Plain
// numbers, so tests can share them.
//
// Older notes on this program (its issues among them) use the designer names of
// its first version; they map to the names used here as follows:
//   Form1 = NoteWindow, Form2 = MenuHost, form1 = OfferWindow, UD =
//   DownloadWindow, Label1 = plusButton ("+"), Label2 = closeButton ("x"),
//   Label3 = title, Text2 = titleEditor, Frame2 = bodyFrame, Text1 = body,
//   Label4 = grip, Label5 = startTime, Label6 = sideStrip, Timer1 = watchTimer
//   (the note's 100 ms watcher), Timer2 = pushTimer (the message push), killUD =
//   Handoff::start (the new updater takes the old one's place).

namespace stickwell::note {

inline constexpr int kFormId =
    0; // the note window's own bare area, in pointer events
inline constexpr int kPlusButtonId = 101;  // "+": new note
inline constexpr int kCloseButtonId = 102; // "x": delete the note
inline constexpr int kTitleId = 103;       // the title
inline constexpr int kTitleEditorId = 104; // the title editor
inline constexpr int kBodyFrameId = 105;   // the body's frame
inline constexpr int kBodyId = 106;        // the body, a child of the frame
inline constexpr int kGripId = 107;        // the resize grip
inline constexpr int kStartTimeId = 108;   // the start time along the bottom
inline constexpr int kSideStripId = 109;   // the strip right of the body

} // namespace stickwell::note
