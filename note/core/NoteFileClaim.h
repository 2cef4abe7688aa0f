#pragma once
// Where a starting note keeps its file, decided once. It claims a name in the program folder, where
// notes have always lived. A folder the note may not write (under Program Files, a read-only share, a
// folder that ransomware protection guards, a path too long for the system) would lose every word at
// the first crash; so when the program folder refuses, the note claims a name in the user's own
// folder instead. When that refuses too, the note keeps the program folder's plain name (its saves go
// on trying there) and says once that it cannot be saved.
#include <cstdint>

namespace stickwell::note {

enum class NoteFolder { Program, User };

// What became of one try to claim a name: the file was made, another note has the name, or the folder
// refused (or the user's folder could not be found or made).
enum class ClaimAnswer { Claimed, NameTaken, Refused };

struct ClaimTry {
  NoteFolder folder = NoteFolder::Program;
  int copy = 1;  // see NoteFileName
  friend bool operator==(const ClaimTry&, const ClaimTry&) = default;
};

class NoteFileClaim {
 public:
  // More notes than anyone starts in one second: a folder where every copy of the name is taken
  // refuses, whatever the reason.
  static constexpr int kMaximumCopies = 1000;

  // The name to try now; once the search is over, the name the note keeps.
  ClaimTry current() const { return current_; }
  // Takes the answer to the current try. True while there is a next one to make.
  bool answer(ClaimAnswer answer);
  // Over, and no folder took the note: the user is told, once.
  bool nowhere() const { return nowhere_; }

 private:
  ClaimTry current_;
  bool nowhere_ = false;
};

}  // namespace stickwell::note
