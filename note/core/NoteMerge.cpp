#include "note/core/NoteMerge.h"

#include "shared/Text.h"

namespace stickwell::note {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kTitlePrefixLength = 3;  // "标题:"
constexpr std::size_t kFirstBodyLine = 3;      // line 4, counted from 0
constexpr std::u16string_view kLineBreak = u"\r\n";

}  // namespace

std::optional<std::u16string> OpenedFileText(std::string_view bytes,
                                             const std::function<std::u16string(std::string_view)>& ansi) {
  std::u16string text =
      bytes.starts_with(kUtf8Mark) ? Utf8ToText(bytes.substr(kUtf8Mark.size())) : ansi(bytes);
  if (text.find(u'\0') != std::u16string::npos) return std::nullopt;
  return text;
}

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(u'\r', start);
    if (end == std::u16string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (start < text.size() && text[start] == u'\n') ++start;
  }
  return lines;
}

void MergeOpenedNote(NoteText& note, std::span<const std::u16string> lines) {
  if (!lines.empty() && lines.front().size() >= kTitlePrefixLength) {
    note.title = lines.front().substr(kTitlePrefixLength);
    note.titleEditor = note.title;
  }
  for (std::size_t i = kFirstBodyLine; i < lines.size(); ++i) {
    note.body += kLineBreak;
    note.body += lines[i];
  }
  RemoveLeadingLineBreaks(note.body);
}

void RemoveLeadingLineBreaks(std::u16string& body) {
  std::size_t start = 0;
  while (std::u16string_view(body).substr(start).starts_with(kLineBreak)) start += kLineBreak.size();
  body.erase(0, start);
}

}  // namespace stickwell::note
