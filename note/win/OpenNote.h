#pragma once
// 打开: takes a note file left behind by another note (or any text file the user picks) into this
// note, and then removes it.

namespace stickwell::note {

class NoteWindow;

// Asks for a .txt file, starting in the folder of this note's own file. Its title (line 1 after "标题:") becomes this
// note's title, its body (line 4 on) is added to this note's body. The merged note is written to this
// note's own file before the picked file is deleted, so the other note is on disk at every moment.
// A file that cannot be opened or read in full is left alone and nothing changes; one that other
// programs may still write, or that could not be saved into this note's file, is taken in but kept.
// Without a pick, only the body's leading line breaks go.
void OpenNoteFile(NoteWindow& note);

}  // namespace stickwell::note
