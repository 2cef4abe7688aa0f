#include "shared/UpdatePage.h"

#include <algorithm>
#include <string>

#include "BuildConfig.h"
#include "shared/PageMarkers.h"
#include "shared/PagePositions.h"
#include "shared/Text.h"

namespace stickwell::page {
namespace {

constexpr std::size_t kVersionLength = 8;
// "Ver" and the version: the version is the last eight of these.
constexpr Position kVersionCut = 11;

std::u16string TwoDigits(int number) {
  std::string digits = std::to_string(number < 0 ? -static_cast<long long>(number) : number);
  if (digits.size() < 2) digits.insert(0, 2 - digits.size(), '0');
  if (number < 0) digits.insert(0, 1, '-');
  return std::u16string(digits.begin(), digits.end());
}

// RemoveAll makes one linear pass for a pattern that cannot overlap itself, but repeats whole passes
// for one that can ("aba"). Keeping the markup free of such patterns keeps cleaning a hostile page linear.
static_assert(std::none_of(kTextMarkup.begin(), kTextMarkup.end(), OverlapsItself));
static_assert(std::none_of(kLinkMarkup.begin(), kLinkMarkup.end(), OverlapsItself));
static_assert(!OverlapsItself(kQuote) && !OverlapsItself(kAmpEntityTail) && OverlapsItself(u"aba"));

}  // namespace

std::u16string VersionText(int major, int minor, int revision) {
  return TwoDigits(major) + u'.' + TwoDigits(minor) + u'.' + TwoDigits(revision);
}

std::u16string OwnVersionText() {
  return VersionText(config::kVersionMajor, config::kVersionMinor, config::kVersionRevision);
}

std::optional<std::u16string> ReadPageVersion(std::u16string_view page) {
  const Position at = Find(page, kVersionMarker);
  if (at == 0) return std::nullopt;
  const auto cut = Cut(page, at, kVersionCut);
  if (!cut) return std::nullopt;
  return std::u16string(LastChars(*cut, kVersionLength));
}

bool IsNewerVersion(std::u16string_view pageVersion, std::u16string_view ownVersion) {
  return pageVersion != ownVersion;
}

void CleanMarkup(std::u16string& text) {
  for (std::u16string_view pattern : kTextMarkup) RemoveAll(text, pattern);
}

void CleanLinkMarkup(std::u16string& text) {
  CleanMarkup(text);
  for (std::u16string_view pattern : kLinkMarkup) RemoveAll(text, pattern);
}

std::optional<std::u16string> ParagraphText(std::u16string_view text) {
  // Every piece after the first separator, each followed by a line break...
  std::u16string lines;
  lines.reserve(text.size());
  std::size_t separator = FindText(text, kParagraph);
  while (separator != std::u16string_view::npos) {
    const std::size_t from = separator + kParagraph.size();
    separator = FindText(text, kParagraph, from);
    lines.append(text.substr(from, separator == std::u16string_view::npos ? std::u16string_view::npos
                                                                          : separator - from));
    lines.append(kLineBreak);
  }
  // ...less four characters: the break after the last piece, and with the usual closing separator the
  // empty last piece's break too.
  if (lines.size() < 4) return std::nullopt;
  lines.resize(lines.size() - 4);
  return lines;
}

std::optional<std::u16string> ReadChangeLog(std::u16string_view page) {
  const Position start = Find(page, kChangeLogMarker);
  if (start == 0) return std::nullopt;
  const Position end = Find(page, kDownloadsHeading);
  const auto section = Cut(page, start, end - start);
  if (!section) return std::nullopt;
  std::u16string cleaned(*section);
  CleanMarkup(cleaned);
  auto lines = ParagraphText(cleaned);
  if (!lines) return std::nullopt;
  return std::u16string(kChangeLogMarker) + std::u16string(kLineBreak) + *lines;
}

std::optional<std::u16string> ReadPushSwitch(std::u16string_view page) {
  const Position at = Find(page, kPushMarker);
  if (at == 0) return std::nullopt;
  const auto cut = Cut(page, at, static_cast<Position>(kPushMarker.size()) + 1);
  if (!cut) return std::nullopt;
  return std::u16string(LastChars(*cut, 1));
}

bool IsPushOn(const std::optional<std::u16string>& pushSwitch) { return pushSwitch && *pushSwitch == kPushOn; }

std::optional<std::u16string> ReadPushMessage(std::u16string_view page) {
  // The message starts after the marker and the switch character, whether or not the marker is there.
  const Position afterSwitch = static_cast<Position>(kPushMarker.size()) + 1;
  const Position start = Find(page, kPushMarker);
  const Position end = Find(page, kPushEndMarker);
  const auto message = Cut(page, start + afterSwitch, end - start - afterSwitch);
  if (!message) return std::nullopt;
  std::u16string cleaned(*message);
  CleanMarkup(cleaned);
  return cleaned;
}

}  // namespace stickwell::page
