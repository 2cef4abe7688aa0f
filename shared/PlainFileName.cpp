#include "shared/PlainFileName.h"

namespace stickwell::page {
namespace {

constexpr std::size_t kMaxNameLength = 255;

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::u16string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (AsciiUpper(text[i]) != upper[i]) return false;
  }
  return true;
}

// Windows opens the device instead of a file for these, whatever extension follows, and also when
// blanks stand between the device name and the extension ("nul .txt").
bool IsDeviceName(std::u16string_view name) {
  std::u16string_view stem = name.substr(0, name.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
    if (EqualsIgnoringAsciiCase(stem, device)) return true;
  }
  if (stem.size() != 4) return false;
  const char16_t digit = stem[3];
  const bool portDigit = (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
                         digit == u'\u00B3';
  return portDigit && (EqualsIgnoringAsciiCase(stem.substr(0, 3), u"COM") ||
                       EqualsIgnoringAsciiCase(stem.substr(0, 3), u"LPT"));
}

}  // namespace

FileNameFault CheckPlainFileName(std::u16string_view name) {
  if (name.empty()) return FileNameFault::kEmpty;
  if (name.size() > kMaxNameLength) return FileNameFault::kTooLong;
  if (name.find_first_of(u"\\/:") != std::u16string_view::npos) return FileNameFault::kPathCharacter;
  if (name == u"." || name == u"..") return FileNameFault::kDotName;
  for (char16_t c : name) {
    if (IsControl(c)) return FileNameFault::kControlCharacter;
  }
  if (name.back() == u'.' || name.back() == u' ') return FileNameFault::kTrailingDotOrBlank;
  if (IsDeviceName(name)) return FileNameFault::kDeviceName;
  return FileNameFault::kNone;
}

const char* Describe(FileNameFault fault) {
  switch (fault) {
    case FileNameFault::kNone: return "is a plain file name";
    case FileNameFault::kEmpty: return "is empty";
    case FileNameFault::kPathCharacter: return "holds \\, / or :";
    case FileNameFault::kDotName: return "is . or ..";
    case FileNameFault::kControlCharacter: return "holds a control character";
    case FileNameFault::kTrailingDotOrBlank: return "ends in a dot or a blank";
    case FileNameFault::kDeviceName: return "is a reserved device name";
    case FileNameFault::kTooLong: return "is longer than 255 characters";
  }
  return "cannot be used";
}

}  // namespace stickwell::page
