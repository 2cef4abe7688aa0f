#pragma once
#include <string>
#include <string_view>

namespace stickwell::win {

// The folder of the running .exe, without a trailing backslash unless it is a drive root ("C:\").
const std::wstring& ProgramFolder();

// A file in the program folder: a backslash is added only when the folder path lacks one.
std::wstring InProgramFolder(std::wstring_view fileName);

}  // namespace stickwell::win
