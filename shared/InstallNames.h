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

// A downloaded file waits here, beside its target, until every file of the update is complete.
std::u16string StagingName(std::u16string_view target);
// The target's old file, kept under a second name while the new one takes its place.
std::u16string SetAsideName(std::u16string_view target);
// A running program's own file, renamed out of the way of its new version (Windows lets a running
// executable be renamed but not replaced or deleted); removed once that program has ended.
std::u16string RetiredName(std::u16string_view target);

// Whether a file of this name belongs to the update machinery, so a page may not name it as a download.
bool IsInstallName(std::u16string_view name);

}  // namespace stickwell::install
