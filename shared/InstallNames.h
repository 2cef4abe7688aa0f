#pragma once
// The names an update gives its files in the program folder. None ends in ".txt": the note's open
// dialog lists the folder's *.txt files, and these are not notes.
#include <string>
#include <string_view>

namespace stickwell::install {

// Says what an update is doing; its presence is all a starting program looks for.
inline constexpr char16_t kJournalName[] = u"Stickwell.update-journal";
// A new journal is written here first, then moved over the journal.
inline constexpr char16_t kJournalTempName[] = u"Stickwell.update-journal.new";
// Held open, shared with nobody, by whichever program works on an update's files: an updater for its
// run, a note while it finishes an interrupted install or hands a new updater over. Unlike a named
// mutex, every session of the machine, and every machine that shares the folder, sees it.
inline constexpr char16_t kLockName[] = u"Stickwell.update-lock";

// The note's program. Its file goes last in an install: once it is in place, nothing is left that
// could fail and turn the install back over a note already running from the new file.
inline constexpr char16_t kNoteProgram[] = u"Stickwell.exe";
// The updater's program, and its new copy that a note puts in its place.
inline constexpr char16_t kUpdaterProgram[] = u"Renewick.exe";
inline constexpr char16_t kNewUpdaterProgram[] = u"NewRenewick.exe";

// A downloaded file waits here, beside its target, until every file of the update is complete.
std::u16string StagingName(std::u16string_view target);
// The target's old file, kept under a second name while the new one takes its place.
std::u16string SetAsideName(std::u16string_view target);
// A running program's own file, renamed out of the way of its new version (Windows lets a running
// executable be renamed but not replaced or deleted); removed once that program has ended.
std::u16string RetiredName(std::u16string_view target);

// File names compare without regard to case, as the file system does.
bool SameFileName(std::u16string_view a, std::u16string_view b);

// Whether a file of this name belongs to the update machinery, so a page may not name it as a download.
bool IsInstallName(std::u16string_view name);

}  // namespace stickwell::install
