#pragma once
// This note's file in the program folder: named once from the start time, rewritten whole on every
// save, deleted when the user closes the note.
#include <string>
#include <string_view>

#include "note/core/NoteFile.h"

namespace stickwell::note {

class NoteStore {
 public:
  // Names the note file after `started` and takes the name at once, writing the empty note under it,
  // so that no other note can take it: a note started in the same second gets the next copy number.
  // When the folder cannot be written the plain name is kept and saves fail quietly.
  void claim(const std::wstring& folder, const ClockReading& started);

  const std::wstring& fileName() const { return fileName_; }
  std::wstring path() const;

  // Replaces the file with one record of `title` and `body`. The record goes to a temporary file
  // first and is moved over the note file only when complete, so a crash or power cut leaves either
  // the previous save or this one, never a part. A save that fails changes nothing and reports
  // false; the next save simply tries again.
  bool save(std::wstring_view title, std::wstring_view body) const;

  // Deletes the note file (the note is closed for good).
  void remove() const;

 private:
  std::wstring folder_;
  std::wstring fileName_;
};

// This process's temporary name for a file being written: never ends in ".txt", so the open-note
// dialog never lists it, and never collides with another note's.
std::wstring TempSuffix();

}  // namespace stickwell::note
