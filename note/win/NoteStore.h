#pragma once
// This note's file, in the program folder or, when that refuses it, in the user's folder (see
// NoteFileClaim): named once from the start time, rewritten whole on a save, deleted when the user
// closes the note. It remembers what it last wrote, so that the watcher writes only what changed.
#include <optional>
#include <string>
#include <string_view>

#include "note/core/NoteFile.h"
#include "note/core/WrittenNote.h"

namespace stickwell::note {

class NoteStore {
 public:
  // Names the note file after `started` and takes the name at once, writing the empty note under it
  // the way every save writes, so that no other note can take it (a note started in the same second
  // gets the next copy number) and the folder is known to take this note's saves. When neither folder
  // takes it the program folder's plain name is kept, saves try it again, and savesNowhere() says so.
  void claim(const std::wstring& programFolder, const ClockReading& started);

  const std::wstring& fileName() const { return fileName_; }
  const std::wstring& path() const { return path_; }  // in the "\\?\" form when it is long
  const std::wstring& folder() const { return folder_; }
  bool savesNowhere() const { return nowhere_; }

  // Replaces the file with one record of `title` and `body`. The record goes to a temporary file
  // first and is moved over the note file only when complete, so a crash or power cut leaves either
  // the previous save or this one, never a part. A save that fails changes nothing and reports
  // false; the next save simply tries again.
  bool save(std::wstring_view title, std::wstring_view body);

  // The same, only when the title or the body differs from the last successful save or the file is no
  // longer as that save left it (deleted, or changed by another program). True when the file holds
  // them.
  bool saveIfChanged(std::wstring_view title, std::wstring_view body);

  // Deletes the note file (the note is closed for good), and a temporary file of this note beside it.
  // Another program may hold them for a moment: the delete is tried for about a second.
  void remove() const;

 private:
  FileStamp stamp() const;

  std::wstring folder_;
  std::wstring fileName_;
  std::wstring path_;
  std::optional<WrittenNote> written_;  // the last successful save
  bool nowhere_ = false;
};

// This process's temporary name for a file being written: never ends in ".txt", so the open-note
// dialog never lists it, and never collides with another note's.
const std::wstring& TempSuffix();

}  // namespace stickwell::note
