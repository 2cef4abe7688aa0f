#pragma once
#include <string>
#include <string_view>

namespace stickwell {

// A file in a folder: the folder's path, a backslash only when the path does not already end in one,
// then the file name. "C:\" + "a.txt" is "C:\a.txt", "C:\Notes" + "a.txt" is "C:\Notes\a.txt".
std::u16string JoinFolderPath(std::u16string_view folder, std::u16string_view fileName);

}  // namespace stickwell
