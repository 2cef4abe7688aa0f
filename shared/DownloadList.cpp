#include "shared/PageMarkers.h"
#include "shared/PagePositions.h"
#include "shared/Text.h"
#include "shared/UpdatePage.h"

namespace stickwell::page {
namespace {

// The paragraph's own two leading characters stand before the file name.
constexpr Position kFileNameStart = 3;

// One file's paragraph after cleaning: two characters, the name, "address" and the link text. The entry
// keeps it up to the closing quote of the address.
std::optional<DownloadEntry> ReadEntry(std::u16string_view piece) {
  const Position open = Find(piece, kQuote);
  const Position close = FindFrom(piece, kQuote, open + 1).value_or(0);
  if (close - open < 0) return std::nullopt;  // an opening quote without its closing one
  // Up to the closing quote; empty when the piece holds no quote at all...
  const auto entryText = Cut(piece, 1, close);
  // ...and then there is no address.
  if (!entryText || open == 0) return std::nullopt;
  const auto address = Cut(*entryText, open + 1, close - open - 1);
  if (!address) return std::nullopt;
  return DownloadEntry{std::u16string(*entryText), std::u16string(*address)};
}

}  // namespace

std::optional<std::vector<DownloadEntry>> ReadDownloadList(std::u16string_view page) {
  // Between the end of "更新文件及地址：" and "消息推送：", an absent marker counting as position 0.
  const auto markerLength = static_cast<Position>(kDownloadsMarker.size());
  const Position start = Find(page, kDownloadsMarker);
  const Position end = Find(page, kPushMarker);
  const auto cut = Cut(page, start + markerLength, end - start - markerLength);
  if (!cut) return std::nullopt;
  std::u16string section(*cut);
  CleanLinkMarkup(section);

  // The "<p>" that opens the first file's paragraph.
  if (section.size() < kParagraph.size()) return std::nullopt;
  const std::u16string_view rest = std::u16string_view(section).substr(kParagraph.size());

  // Every piece but the last is a file; the last is what follows the closing separator.
  std::vector<DownloadEntry> entries;
  std::size_t from = 0;
  for (std::size_t separator = FindText(rest, kParagraph); separator != std::u16string_view::npos;
       separator = FindText(rest, kParagraph, from)) {
    auto entry = ReadEntry(rest.substr(from, separator - from));
    if (!entry) return std::nullopt;
    entries.push_back(std::move(*entry));
    from = separator + kParagraph.size();
  }
  return entries;
}

std::optional<std::u16string> ReadEntryFileName(std::u16string_view entryText) {
  const Position quote = Find(entryText, kQuote);
  const auto name = Cut(entryText, kFileNameStart, quote - kFileNameStart);
  if (!name || !IsPlainFileName(*name)) return std::nullopt;
  return std::u16string(*name);
}

}  // namespace stickwell::page
