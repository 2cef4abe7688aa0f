#pragma once
// Files that must never be seen half-written.
#include <windows.h>

#include <string>
#include <string_view>

namespace stickwell::win {

// Moves `from` over `to` in one step (replacing `to`), waiting until the move is on disk.
bool MoveOver(const std::wstring& from, const std::wstring& to);

// Replaces the whole content of `target`: the bytes go to `target` + `tempSuffix` in the same folder,
// are flushed to disk, and the temporary file is then moved over the target. On any failure the
// target is left as it was, the temporary file is removed and the thread's last error says why. A
// target that another program holds against replacing fails at once, before anything is written.
bool ReplaceFileContents(const std::wstring& target, std::string_view bytes,
                         std::wstring_view tempSuffix = L".saving");

enum class PlaceResult { Placed, NameTaken, Failed };

// Creates `target` with `bytes` as its content only when no file of that name exists, in one step: the
// bytes go to `target` + `tempSuffix`, are flushed, and are then moved to the name without replacing
// anything. So the file never exists half-written, and of several processes placing the same name at
// once exactly one gets it (NameTaken for the others). Placed means the folder takes this program's
// saves: the temporary file's longer name included. Without `flush` the bytes are left to the system's
// cache: a power cut may then leave the name with fewer of them.
PlaceResult PlaceNewFile(const std::wstring& target, std::string_view bytes, std::wstring_view tempSuffix,
                         bool flush = true);

// Writes the whole file (creating or truncating it). Returns false on any failure.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

// Reads the whole file; false when it cannot be opened or read to its end.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

// Reads a file just opened (for reading, at its start) to its end; `name` is for the traces. False when
// it cannot be read to the end it had when this began.
bool ReadToEnd(HANDLE file, const std::wstring& name, std::string& bytes);

bool FileExists(const std::wstring& path);

// Deletes `path`; a file that is not there counts as deleted. False (and a trace) on any other failure.
bool RemoveFile(const std::wstring& path);

}  // namespace stickwell::win
