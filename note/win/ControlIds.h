#pragma once
// Control ids of the note window's children, for GetDlgItem (the body lies inside its frame:
// GetDlgItem(GetDlgItem(note, kFrame2Id), kText1Id)). Plain numbers, so tests can share them.

namespace stickwell::note {

inline constexpr int kFormId = 0;  // the note window's own bare area, in pointer events
inline constexpr int kLabel1Id = 101;  // "+": new note
inline constexpr int kLabel2Id = 102;  // "x": delete the note
inline constexpr int kLabel3Id = 103;  // the title
inline constexpr int kText2Id = 104;   // the title editor
inline constexpr int kFrame2Id = 105;  // the body's frame
inline constexpr int kText1Id = 106;   // the body, a child of the frame
inline constexpr int kLabel4Id = 107;  // the resize grip
inline constexpr int kLabel5Id = 108;  // the start time along the bottom
inline constexpr int kLabel6Id = 109;  // the strip right of the body

}  // namespace stickwell::note
