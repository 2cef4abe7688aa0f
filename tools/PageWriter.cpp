#include "tools/PageWriter.h"

#include <array>
#include <span>

#include "shared/Manifest.h"
#include "shared/PageMarkers.h"
#include "shared/PlainFileName.h"
#include "shared/Text.h"

namespace stickwell::page {
namespace {

// The readers take a name from the third character of its paragraph: "1." to "9." leave two.
constexpr std::size_t kMostFiles = 9;

// Texts that start or end a section, or split one into paragraphs. The version marker "Ver" is not
// among them: the version paragraph comes first, and the readers take the first "Ver".
constexpr std::array<std::u16string_view, 6> kLayoutMarkers = {
    kChangeLogMarker, kDownloadsHeading, kPushMarker, kPushEndMarker, kParagraph, manifest::kMarker,
};

// Appended piece by piece: GCC 12 at -O3 takes "\"" + text for an overlapping copy (-Wrestrict).
std::string Quoted(std::u16string_view text) {
  std::string quoted(1, '"');
  quoted += TextToUtf8(text);
  quoted += '"';
  return quoted;
}

std::optional<std::u16string_view> FirstIn(std::u16string_view text, std::span<const std::u16string_view> list) {
  for (std::u16string_view syntax : list) {
    if (text.find(syntax) != std::u16string_view::npos) return syntax;
  }
  return std::nullopt;
}

// The first of the page's markers, or of the markup the readers strip, that `text` holds. The link
// markup is stripped from the download list only.
std::optional<std::u16string_view> PageSyntaxIn(std::u16string_view text, bool inDownloadList) {
  if (const auto marker = FirstIn(text, kLayoutMarkers)) return marker;
  if (const auto markup = FirstIn(text, kTextMarkup)) return markup;
  return inDownloadList ? FirstIn(text, kLinkMarkup) : std::nullopt;
}

std::optional<std::string> CheckLines(const std::vector<std::u16string>& lines, const std::string& what) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto syntax = PageSyntaxIn(lines[i], false)) {
      return what + " line " + std::to_string(i + 1) + " holds " + Quoted(*syntax) +
             ", which the programs read as part of the page, not as text";
    }
  }
  return std::nullopt;
}

std::optional<std::string> CheckName(const ListedFile& file, std::span<const ListedFile> earlier) {
  const std::string which = "--file " + TextToUtf8(file.name);
  if (const auto fault = CheckPlainFileName(file.name); fault != FileNameFault::kNone) {
    return which + ": the updater cannot write a file whose name " + Describe(fault);
  }
  // A double quote would end the name early; the others Windows refuses in any file name.
  if (file.name.find_first_of(u"\"<>|?*") != std::u16string::npos) {
    return which + ": the name holds one of \" < > | ? *, which Windows does not allow in a file name";
  }
  if (const auto syntax = PageSyntaxIn(file.name, true)) {
    return which + ": the name holds " + Quoted(*syntax) + ", which the programs read as part of the page";
  }
  for (const ListedFile& other : earlier) {
    if (manifest::IsSameFileName(other.name, file.name)) return which + ": a file of that name is listed already";
  }
  return std::nullopt;
}

std::optional<std::string> CheckLink(std::u16string_view link, const std::string& which, bool inDownloadList) {
  if (!link.starts_with(u"http://") && !link.starts_with(u"https://")) {
    return which + ": the link must start with http:// or https://";
  }
  for (const char16_t c : link) {
    if (c <= u' ' || c == 0x7F || c == u'"' || c == u'<' || c == u'>') {
      return which + ": the link holds a blank, a control character, a double quote, < or >; an address has none";
    }
  }
  if (const auto syntax = PageSyntaxIn(link, inDownloadList)) {
    return which + ": the link holds " + Quoted(*syntax) + ", which the programs read as part of the page";
  }
  return std::nullopt;
}

std::u16string Paragraph(std::u16string_view text) { return u"<p>" + std::u16string(text) + u"</p>"; }

// An empty list still gets one empty paragraph: without it the section's text could not be read.
std::u16string Paragraphs(const std::vector<std::u16string>& lines) {
  if (lines.empty()) return Paragraph(u"");
  std::u16string out;
  for (const std::u16string& line : lines) out += Paragraph(line);
  return out;
}

// "&" as HTML writes it; the download list's reader and ReadFullPackageLink turn it back.
std::u16string Escaped(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text) out += c == u'&' ? std::u16string(u"&amp;") : std::u16string(1, c);
  return out;
}

std::u16string Link(std::u16string_view address, std::u16string_view text) {
  return u"<a href=\"" + Escaped(address) + u"\" target=\"_blank\">" + std::u16string(text) + u"</a>";
}

std::u16string Heading(std::u16string_view text) { return Paragraph(u"<strong>" + std::u16string(text) + u"</strong>"); }

}  // namespace

std::optional<std::string> CheckPageParts(const PageParts& parts) {
  if (auto error = CheckLines(parts.changes, "change log")) return error;
  if (auto error = CheckLines(parts.message, "message")) return error;
  if (parts.files.empty()) return "the page needs at least one --file: the updater fails on a list without files";
  if (parts.files.size() > kMostFiles) {
    return "the page lists at most 9 files: each name follows its number and a dot, two characters that the "
           "programs skip";
  }
  for (std::size_t i = 0; i < parts.files.size(); ++i) {
    const ListedFile& file = parts.files[i];
    if (auto error = CheckName(file, std::span(parts.files).first(i))) return error;
    if (auto error = CheckLink(file.share, "--file " + TextToUtf8(file.name), true)) return error;
  }
  if (auto error = CheckLink(parts.fullPackage, "--full", false)) return error;
  const bool emptyMessage = parts.message.empty() || (parts.message.size() == 1 && parts.message[0].empty());
  if (parts.pushOn && emptyMessage) {
    return "--push 开 shows the message in every note a few minutes after it starts: give a --message that is not empty";
  }
  return std::nullopt;
}

std::u16string ComposePage(const PageParts& parts, std::u16string_view signedParagraph) {
  std::u16string page = Paragraph(u"Stickwell " + std::u16string(kVersionMarker) + parts.version);
  page += Heading(std::u16string(kChangeLogMarker) + u"：") + Paragraphs(parts.changes);
  page += Heading(kDownloadsMarker);
  for (std::size_t i = 0; i < parts.files.size(); ++i) {
    const char16_t number = static_cast<char16_t>(u'1' + i);
    page += Paragraph(std::u16string{number, u'.'} + Escaped(parts.files[i].name) + u"(" +
                      Link(parts.files[i].share, u"点击下载") + u")");
  }
  page += Heading(std::u16string(kPushMarker) + (parts.pushOn ? u"开" : u"关")) + Paragraphs(parts.message);
  page += Paragraph(u"<strong>" + std::u16string(kPushEndMarker) + u"下载：</strong>" +
                    Link(parts.fullPackage, u"Stickwell-" + parts.version + u".zip"));
  return page + std::u16string(signedParagraph);
}

std::optional<std::u16string> ReadFullPackageLink(std::u16string_view page) {
  constexpr std::u16string_view kHref = u"href=\"";
  const std::size_t marker = page.find(kPushEndMarker);
  if (marker == std::u16string_view::npos) return std::nullopt;
  const std::size_t start = page.find(kHref, marker);
  if (start == std::u16string_view::npos) return std::nullopt;
  const std::size_t end = page.find(kQuote, start + kHref.size());
  if (end == std::u16string_view::npos) return std::nullopt;
  std::u16string link(page.substr(start + kHref.size(), end - start - kHref.size()));
  for (std::size_t at = link.find(u"&amp;"); at != std::u16string::npos; at = link.find(u"&amp;", at + 1)) {
    link.erase(at + 1, 4);
  }
  return link;
}

std::optional<std::vector<std::u16string>> TextFileLines(std::string_view bytes) {
  std::u16string text = Utf8ToText(bytes);
  // The decoder turns whatever is not UTF-8 into U+FFFD, so the bytes would not come back.
  if (TextToUtf8(text) != bytes) return std::nullopt;
  if (text.starts_with(u'\uFEFF')) text.erase(0, 1);
  std::vector<std::u16string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find(u'\n', from);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(from, end - from);
    if (line.ends_with(u'\r')) line.pop_back();
    lines.push_back(std::move(line));
    from = end + 1;
  }
  return lines;
}

}  // namespace stickwell::page
