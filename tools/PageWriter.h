#pragma once
// The update page written from its parts: what `stickwell-page page` prints for the makers to paste
// into the blog editor's HTML view. The programs find every field by markers and character counts, so
// a part is taken only when their readers give it back exactly as it was given.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stickwell::page {

struct ListedFile {
  std::u16string name;   // the name the updater writes the file under
  std::u16string share;  // the address of the file's share page
};

struct PageParts {
  std::u16string version;               // as the page shows it after "Ver": 13.04.21
  std::vector<std::u16string> changes;  // the change log, a paragraph a line
  std::vector<ListedFile> files;        // the download list, in order
  bool pushOn = false;
  std::vector<std::u16string> message;  // the pushed message, a paragraph a line
  std::u16string fullPackage;           // the link of the "最新完整版" paragraph
};

// Nothing when the parts can be written; else the one line that says which part the programs would
// not read back as given, and why. The version is checked where it is given.
std::optional<std::string> CheckPageParts(const PageParts& parts);

// The page on one line, since a line break between paragraphs would be read as part of the text;
// `signedParagraph` (what `sign` prints) follows the "最新完整版" paragraph.
std::u16string ComposePage(const PageParts& parts, std::u16string_view signedParagraph = {});

// The complete package's link, which no program reads: the first href after "最新完整版", its
// "&amp;" back to "&".
std::optional<std::u16string> ReadFullPackageLink(std::u16string_view page);

// The lines of a text file (LF or CR LF, a byte-order mark at the start dropped); nothing when the
// bytes are not UTF-8, which the programs would read as other characters.
std::optional<std::vector<std::u16string>> TextFileLines(std::string_view bytes);

}  // namespace stickwell::page
