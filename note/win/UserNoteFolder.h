#pragma once
// Where a note keeps its file when the program folder refuses it: the user's own folder for programs,
// "%LOCALAPPDATA%\Stickwell", which only that user writes and the system never guards against them.
#include <string>

namespace stickwell::note {

// The folder, made when it is missing; empty when it can be neither found nor made.
std::wstring UserNoteFolder();

// Says, once and beside the note (which goes on taking input meanwhile), that the note cannot be saved
// anywhere.
void TellNoteCannotBeSaved();

}  // namespace stickwell::note
