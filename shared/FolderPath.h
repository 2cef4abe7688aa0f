#pragma once
// Paths of files in folders.
#include <string>
#include <string_view>

namespace stickwell {

// A file in a folder: the folder's path, a backslash only when the path does not already end in one,
// then the file name. "C:\" + "a.txt" is "C:\a.txt", "C:\Notes" + "a.txt" is "C:\Notes\a.txt".
std::u16string JoinFolderPath(std::u16string_view folder, std::u16string_view fileName);

// A full path of 260 characters or more (MAX_PATH counts the ending zero) reaches the file system only
// in the "\\?\" form, which passes it on unparsed; a program folder deep in a user's tree, with a note
// file's or a temporary file's name after it, gets there.
inline constexpr std::size_t kLongPathLength = 260;

// `path` as the file functions take it: below kLongPathLength, or already in the "\\?\" (or "\\.\",
// "\??\") form, unchanged; a drive path "C:\..." becomes "\\?\C:\...", a share "\\server\share\..."
// becomes "\\?\UNC\server\share\...", with every "/" turned into the "\" that this form requires.
// Paths the form cannot carry (relative ones, "C:name", "\name") stay as they are. The path must be
// full and without "." or ".." parts, as the system gives the program's own folder: the form passes
// them on as names.
std::u16string LongPathForm(std::u16string_view path);

// The same path without the "\\?\" prefix, for the calls that do not take it (a process's current
// folder, the open dialog's folder): "\\?\C:\x" is "C:\x", "\\?\UNC\server\share" is
// "\\server\share"; any other path unchanged.
std::u16string PlainPathForm(std::u16string_view path);

}  // namespace stickwell
