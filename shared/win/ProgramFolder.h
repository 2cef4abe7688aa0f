#pragma once
#include <string>
#include <string_view>

namespace stickwell::win {

// The running .exe itself.
const std::wstring& ProgramPath();

// The folder of the running .exe, without a trailing backslash unless it is a drive root ("C:\").
const std::wstring& ProgramFolder();

// A file in the program folder: a backslash is added only when the folder path lacks one. A path of 260
// characters or more comes in the "\\?\" form (see LongPathForm), which the file functions take.
std::wstring InProgramFolder(std::wstring_view fileName);

// `path` for the calls that do not take the "\\?\" form (a new process's program and current folder,
// the open dialog's folder): without the prefix, or when that is still too long for them, in its short
// form ("C:\PROGRA~1\...") where the volume keeps one; otherwise without the prefix all the same.
std::wstring WithoutLongPrefix(const std::wstring& path);

}  // namespace stickwell::win
