#include "note/core/NoteFileClaim.h"

namespace stickwell::note {

bool NoteFileClaim::answer(ClaimAnswer answer) {
  if (answer == ClaimAnswer::Claimed) return false;
  if (answer == ClaimAnswer::NameTaken && current_.copy < kMaximumCopies) {
    ++current_.copy;
    return true;
  }
  if (current_.folder == NoteFolder::Program) {
    current_ = {NoteFolder::User, 1};
    return true;
  }
  current_ = {NoteFolder::Program, 1};
  nowhere_ = true;
  return false;
}

}  // namespace stickwell::note
