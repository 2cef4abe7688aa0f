#pragma once
// Installing an update's files all together or not at all, and finishing an install that a crash or a
// kill interrupted.
//
// Every file of an update is first downloaded beside its target under its staging name (InstallNames.h).
// Only when all of them are complete are they put in place: each target that exists keeps its old file
// under a second name (a hard link, so that the target's name is never missing, not even for an
// instant), then its staged file is moved over it. A journal (InstallJournal.h) says all along what
// is going on, so that whichever program starts next can finish the job: put every old file back and
// remove the staged ones (back), or, when every staged file was complete, put the rest in place
// (forward). Every step looks at the folder as it is, so any step may be done again after a kill.
//
// Nothing here touches a disk itself: it works on a Folder, the few file operations it needs. The
// programs hand it the program folder through Win32; the unit tests a folder in memory.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stickwell::install {

class Folder {
 public:
  virtual ~Folder() = default;
  // The file's length in bytes; nullopt when there is no file of that name.
  virtual std::optional<std::uint64_t> length(std::u16string_view name) = 0;
  // Whether two names lead to one file (a hard link and its original).
  virtual bool sameFile(std::u16string_view a, std::u16string_view b) = 0;
  enum class Link { Made, Unsupported, Failed };
  // Gives an existing file a second name; Unsupported when the volume has no hard links.
  virtual Link link(std::u16string_view existing, std::u16string_view newName) = 0;
  // Gives the file `from` the name `to` in one step, replacing a file of that name, and returns once
  // the change is on disk.
  virtual bool move(std::u16string_view from, std::u16string_view to) = 0;
  // Deletes the file; true when no file of that name is left (also when there was none).
  virtual bool remove(std::u16string_view name) = 0;
  // Writes a whole new file and returns once its bytes are on disk.
  virtual bool write(std::u16string_view name, std::string_view bytes) = 0;
  virtual std::optional<std::string> read(std::u16string_view name) = 0;
  // Whether the file may be replaced and deleted: it is not held by a running program (Windows lets a
  // running executable be renamed but not replaced or deleted, under any of its names) nor read-only.
  virtual bool replaceable(std::u16string_view name) = 0;
  // Whether the file of this name is the executable of the running process itself.
  virtual bool isOwnProgram(std::u16string_view name) = 0;
  // A short wait before trying again to remove a file that a program which is ending still holds.
  virtual void pause() = 0;
};

struct StagedFile {
  std::u16string target;  // the name it takes in the folder
  std::uint64_t length;   // the length it was downloaded with
};

enum class Outcome {
  Installed,   // every file is in place
  RolledBack,  // the folder is as it was before the update
  Unfinished,  // some step failed on the way back too; the journal stays and the next start goes on
};

struct Result {
  Outcome outcome = Outcome::Unfinished;
  // The running program's own file was renamed out of the way of another: the program must start its
  // file anew and end before it shows a window.
  bool restartProgram = false;
};

// Before the first download: a journal that names every staging file, so that the next start removes
// whatever a download that never finished left behind. False when it cannot be written; then nothing
// may be downloaded.
bool BeginStaging(Folder& folder, const std::vector<std::u16string>& targets);

// Gives up before installing: removes the staged files of these targets and the journal.
Outcome AbandonStaging(Folder& folder, const std::vector<std::u16string>& targets);

// Puts every staged file in place, all or none. Each must be complete: its staging file holds exactly
// the length it was downloaded with. Fails over to RolledBack when any step fails.
Result InstallStaged(Folder& folder, const std::vector<StagedFile>& files);

// Finishes the job the journal describes, in the direction it names; a torn or unreadable journal
// goes back. Call only when the journal exists and no other program works on the folder.
Result Recover(Folder& folder);

}  // namespace stickwell::install
