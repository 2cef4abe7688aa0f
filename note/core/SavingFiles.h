#pragma once
// The temporary files notes write their files through: "<name>.txt.<pid>.saving" goes beside the file
// and is moved over it when complete. A note killed in between leaves it behind, and a note that
// starts clears those away.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace stickwell::note {

// ".<pid>.saving": the temporary name of a file this process writes, after the file's own name.
std::u16string SavingSuffix(std::uint32_t processId);

// The process id in a temporary name "<name>.txt.<pid>.saving" (any case of "txt"), or nothing for
// every other name.
std::optional<std::uint32_t> SavingFileWriter(std::u16string_view fileName);

// Whether a starting note removes such a file. Never this note's own; one whose writer no longer runs
// was left behind; so was one older than a minute, whoever runs under its process id now: a save
// takes milliseconds and rewrites its temporary file from the start, so a running note's is fresh.
bool IsLeftBehind(bool writtenByThisNote, bool writerRuns, std::int64_t ageMs);

}  // namespace stickwell::note
