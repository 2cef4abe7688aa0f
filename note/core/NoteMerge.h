#pragma once
// Taking a note file back into a note window: the file's text, its lines, and how its title and body
// join the note's.
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace stickwell::note {

// The parts of a note that opening another note file changes.
struct NoteText {
  std::u16string title;        // the title label's caption
  std::u16string titleEditor;  // the title editor's text
  std::u16string body;
  friend bool operator==(const NoteText&, const NoteText&) = default;
};

// The text of a picked file. A file that starts with the UTF-8 byte-order mark is UTF-8 (a note
// holding text the code page lacks is written so); any other file is in the ANSI code page, decoded by
// `ansi`. Nothing when the text holds a NUL character: no note file does, and the note's text boxes
// would cut the text there, so the file could not be taken in whole.
std::optional<std::u16string> OpenedFileText(std::string_view bytes,
                                             const std::function<std::u16string(std::string_view)>& ansi);

// A line ends at CR LF or at a lone CR, neither of which belongs to the line; a lone LF stays in its
// line. A break at the very end adds no empty line, and an empty text has no lines.
std::vector<std::u16string> SplitLines(std::u16string_view text);

// Takes an opened note file's lines into `note`: line 1 after its first three characters ("标题:")
// becomes the title and the title editor's text, unless line 1 is shorter than that or missing;
// every line from line 4 on is added to the body after a CR LF; then the body's leading line
// breaks are removed. Lines 2 and 3 are never looked at.
void MergeOpenedNote(NoteText& note, std::span<const std::u16string> lines);

// Removes the CR LF pairs the body begins with (the open command does this even when no file was
// picked).
void RemoveLeadingLineBreaks(std::u16string& body);

}  // namespace stickwell::note
