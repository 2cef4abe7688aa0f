#pragma once
// Installing an update's files all together or not at all, and finishing an install that a crash or a
// kill interrupted.
//
// Every file of an update is first downloaded beside its target under its staging name (InstallNames.h).
// Only when all of them are complete are they put in place: each target that exists keeps its old file
// under a second name (a hard link; on a volume without hard links, a copy on disk), then its staged
// file is moved over it in one step. So every target's name holds a whole file, old or new, at every
// instant, whatever the volume, a kill or a power cut. A journal (InstallJournal.h) says all along what
// is going on, so that whichever program starts next can finish the job: put every old file back and
// remove the staged ones (back), put the rest in place (forward), or, once every file is in place,
// only remove what is left over. Every step looks at the folder as it is, so any step may be done again
// after a kill.
//
// Other programs hold new files for a moment (a virus scanner, the search indexer, a backup tool):
// every step on a file that is held is tried again for about two seconds before it counts as failed.
//
// Nothing here touches a disk itself: it works on a Folder, the few file operations it needs. The
// programs hand it the program folder through Win32; the unit tests a folder in memory.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stickwell::install {

// How a step on a file went.
enum class Answer {
  Done,
  Held,    // another program holds the file for now; the same step may work a moment later
  Failed,
};

class Folder {
 public:
  virtual ~Folder() = default;
  // The file's length in bytes; nullopt when there is no file of that name.
  virtual std::optional<std::uint64_t> length(std::u16string_view name) = 0;
  // Whether two names lead to one file (a hard link and its original).
  virtual bool sameFile(std::u16string_view a, std::u16string_view b) = 0;
  enum class Link { Made, Unsupported, Held, Failed };
  // Gives an existing file a second name; Unsupported when the volume has no hard links.
  virtual Link link(std::u16string_view existing, std::u16string_view newName) = 0;
  // A new file `to` with the bytes of `from`, answered once it is on disk.
  virtual Answer copy(std::u16string_view from, std::u16string_view to) = 0;
  // Gives the file `from` the name `to` in one step, replacing a file of that name, and answers once
  // the change is on disk, with every change before it.
  virtual Answer move(std::u16string_view from, std::u16string_view to) = 0;
  // Deletes the file; Done when no file of that name is left (also when there was none).
  virtual Answer remove(std::u16string_view name) = 0;
  // Writes a whole new file and answers once its bytes are on disk.
  virtual Answer write(std::u16string_view name, std::string_view bytes) = 0;
  virtual std::optional<std::string> read(std::u16string_view name) = 0;
  // Makes sure the file may be replaced and deleted: a read-only file is made writable; Failed (or Held)
  // while a running program holds it (Windows lets a running executable be renamed but not replaced or
  // deleted, under any of its names).
  virtual Answer makeReplaceable(std::u16string_view name) = 0;
  // Whether the file of this name is the executable of the running process itself.
  virtual bool isOwnProgram(std::u16string_view name) = 0;
  // A short wait (a tenth of a second) before a step on a held file is tried again.
  virtual void pause() = 0;
};

struct StagedFile {
  std::u16string target;  // the name it takes in the folder
  std::uint64_t length;   // the length it was downloaded with
};

enum class Outcome {
  Installed,   // every file is in place (what is left over goes at the next start, if not now)
  RolledBack,  // the folder is as it was before the update
  Unfinished,  // some step failed on the way back too; the journal stays and the next start goes on
  LeftAlone,   // the journal is a newer program's: nothing was touched
};

// Before the first download: a journal that names every staging file, so that the next start removes
// whatever a download that never finished left behind. False when it cannot be written; then nothing
// may be downloaded.
bool BeginStaging(Folder& folder, const std::vector<std::u16string>& targets);

// Gives up before installing: removes the staged files of these targets and the journal.
Outcome AbandonStaging(Folder& folder, const std::vector<std::u16string>& targets);

// Puts every staged file in place, all or none. Each must be complete: its staging file holds exactly
// the length it was downloaded with. Fails over to RolledBack when any step fails.
Outcome InstallStaged(Folder& folder, const std::vector<StagedFile>& files);

// Finishes the job the journal describes, in the direction it names; a torn or unreadable journal
// goes back. The running program's own file is never moved: where going forward would replace it, the
// install goes back instead, which leaves it where it is. Call only when the journal exists and no
// other program works on the folder (the lock, InstallNames.h).
Outcome Recover(Folder& folder);

// The last step of an update that brought a new updater, which the note takes once the updater has
// ended: "NewRenewick.exe" takes the place of "Renewick.exe" in one move. Nothing is done while the
// journal of an install that is not complete exists. True when the new copy is in place.
bool HandOffUpdater(Folder& folder);

}  // namespace stickwell::install
