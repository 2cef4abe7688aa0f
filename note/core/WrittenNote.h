#pragma once
// What the note last wrote to its file, so that the watcher writes only what changed: an idle note
// leaves the disk alone, while typing, and a file deleted or changed by another program, still reach
// the file within a tick.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace stickwell::note {

// The note file as one cheap attribute query sees it.
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;  // the system's file time
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct WrittenNote {
  std::u16string title;
  std::u16string body;
  FileStamp stamp;  // the file right after that write
};

// Whether the watcher writes the note now: nothing was written successfully yet, the title or the
// body differs from the last successful write, or the file is no longer as that write left it
// (missing, another size, another last-write time).
bool NeedsWrite(const std::optional<WrittenNote>& last, std::u16string_view title, std::u16string_view body,
                const FileStamp& now);

}  // namespace stickwell::note
