#pragma once
// Clears away the temporary files that notes killed while saving left in their folder.
#include <string>

namespace stickwell::note {

// Removes every "*.txt.<pid>.saving" in `folder` that was left behind: its writer no longer runs, or
// it is older than a minute. A running note's temporary file, and this note's own, stay.
void SweepSavingFiles(const std::wstring& folder);

}  // namespace stickwell::note
