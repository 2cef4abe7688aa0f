#pragma once
// Whether a name taken from the update page may be used as a file name in the program folder.
#include <string_view>

namespace stickwell::page {

enum class FileNameFault {
  kNone,
  kEmpty,
  kPathCharacter,     // "\", "/" or ":" would reach another folder, drive or stream
  kDotName,           // "." or ".."
  kControlCharacter,
  kTrailingDotOrBlank,  // Windows drops these, so the file would get another name
  kDeviceName,        // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension
  kTooLong,           // more than 255 characters
};

FileNameFault CheckPlainFileName(std::u16string_view name);
inline bool IsPlainFileName(std::u16string_view name) { return CheckPlainFileName(name) == FileNameFault::kNone; }

// A short English phrase for the makers' tool: "is a reserved device name".
const char* Describe(FileNameFault fault);

}  // namespace stickwell::page
