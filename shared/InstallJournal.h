#pragma once
// The install journal: what an update is doing to the program folder, kept on disk so that the next
// program to start can finish the job after a crash or a kill (see Install.h).
//
// A small UTF-16 text file (Windows' own "Unicode" text, with its byte order mark), one line each,
// every line ended by CR LF:
//   Stickwell update journal 2
//   forward                                     or: back, installed
//   ReadMe.txt<TAB>ReadMe.txt.staged<TAB>ReadMe.txt.replaced<TAB>new<TAB>-
//   Stickwell.exe<TAB>Stickwell.exe.staged<TAB>Stickwell.exe.replaced<TAB>existed<TAB>1234567
//   end
// per file: the target, its staging and set-aside names, whether the target existed before the
// update, and the staged file's length once it is complete ("-" before).
//
// Layout 1, written by earlier versions, is the same without "installed"; it is still read. A journal
// whose first line names a later layout ("Stickwell update journal 3" and on) belongs to a newer
// program: it is left alone, with every file it names.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stickwell::install {

enum class Direction {
  Forward,    // putting the staged files in place
  Back,       // putting the folder back as it was
  Installed,  // every file is in place: only the left-overs are still to be removed, never rolled back
};

struct JournalEntry {
  std::u16string target;
  std::u16string staging;
  std::u16string setAside;
  bool targetExisted = false;
  std::optional<std::uint64_t> stagedLength = std::nullopt;  // known once the staged file is complete
  friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

struct Journal {
  Direction direction = Direction::Back;
  std::vector<JournalEntry> entries;
  // False for a journal that was cut short or cannot be read to its end: only the entries before the
  // damage are known, and such a journal is only ever rolled back.
  bool whole = true;
  // False for a journal of a later layout than this program knows: nothing of it is read.
  bool known = true;
  friend bool operator==(const Journal&, const Journal&) = default;
};

// The file's bytes.
std::string FormatJournal(const Journal& journal);

// Reads a journal back. An entry is taken only when its names are the ones this program gives a target
// (so a damaged or foreign journal can never make a start delete or move any other file).
Journal ParseJournal(std::string_view bytes);

}  // namespace stickwell::install
