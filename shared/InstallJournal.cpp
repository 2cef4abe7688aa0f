#include "shared/InstallJournal.h"

#include "shared/InstallNames.h"
#include "shared/PlainFileName.h"

namespace stickwell::install {
namespace {

constexpr std::u16string_view kTagPrefix = u"\uFEFFStickwell update journal ";
constexpr std::u16string_view kTag = u"\uFEFFStickwell update journal 2";
constexpr std::u16string_view kFirstTag = u"\uFEFFStickwell update journal 1";
constexpr std::u16string_view kEnd = u"end";

std::u16string Decimal(std::uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

std::optional<std::uint64_t> ParseDecimal(std::u16string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  std::uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - u'0');
  }
  return value;
}

std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string_view> pieces;
  for (;;) {
    const std::size_t at = text.find(separator);
    pieces.push_back(text.substr(0, at));
    if (at == std::u16string_view::npos) return pieces;
    text.remove_prefix(at + 1);
  }
}

std::optional<JournalEntry> ParseEntry(std::u16string_view line) {
  const auto fields = Split(line, u'\t');
  if (fields.size() != 5) return std::nullopt;
  JournalEntry entry{std::u16string(fields[0]), std::u16string(fields[1]), std::u16string(fields[2]), false, {}};
  if (!page::IsPlainFileName(entry.target) || IsInstallName(entry.target) ||
      entry.staging != StagingName(entry.target) || entry.setAside != SetAsideName(entry.target))
    return std::nullopt;
  if (fields[3] == u"existed") {
    entry.targetExisted = true;
  } else if (fields[3] != u"new") {
    return std::nullopt;
  }
  if (fields[4] != u"-") {
    entry.stagedLength = ParseDecimal(fields[4]);
    if (!entry.stagedLength) return std::nullopt;
  }
  return entry;
}

}  // namespace

std::string FormatJournal(const Journal& journal) {
  std::u16string text(kTag);
  switch (journal.direction) {
    case Direction::Forward: text += u"\r\nforward\r\n"; break;
    case Direction::Back: text += u"\r\nback\r\n"; break;
    case Direction::Installed: text += u"\r\ninstalled\r\n"; break;
  }
  for (const JournalEntry& entry : journal.entries) {
    text += entry.target + u'\t' + entry.staging + u'\t' + entry.setAside + u'\t';
    text += entry.targetExisted ? u"existed\t" : u"new\t";
    text += entry.stagedLength ? Decimal(*entry.stagedLength) : u"-";
    text += u"\r\n";
  }
  text += kEnd;
  text += u"\r\n";
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

Journal ParseJournal(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8));

  Journal journal;
  journal.whole = false;
  const auto lines = Split(text, u'\n');
  std::size_t next = 0;
  const auto line = [&]() -> std::u16string_view {
    // Only a line with its line break is whole; what follows the last one was cut off.
    if (next + 1 >= lines.size()) return u"\x1F";  // matches nothing below
    std::u16string_view current = lines[next++];
    if (!current.empty() && current.back() == u'\r') current.remove_suffix(1);
    return current;
  };
  const std::u16string_view tag = line();
  if (tag != kTag && tag != kFirstTag) {
    // A whole first line with a layout number of its own: a newer program's journal.
    const bool later = tag.starts_with(kTagPrefix) && ParseDecimal(tag.substr(kTagPrefix.size())) > 2;
    journal.known = !later;
    return journal;
  }
  const std::u16string_view direction = line();
  if (direction == u"forward") {
    journal.direction = Direction::Forward;
  } else if (direction == u"installed" && tag == kTag) {
    journal.direction = Direction::Installed;
  } else if (direction != u"back") {
    return journal;
  }
  for (;;) {
    const std::u16string_view current = line();
    if (current == kEnd) {
      // Whole only when nothing but the final line break follows "end".
      journal.whole = bytes.size() % 2 == 0 && next == lines.size() - 1 && lines[next].empty();
      break;
    }
    auto entry = ParseEntry(current);
    if (!entry) break;
    journal.entries.push_back(std::move(*entry));
  }
  // A journal that is not whole is rolled back, whatever direction it names; but once every file was in
  // place, going back could only mix the folder.
  if (!journal.whole && journal.direction != Direction::Installed) journal.direction = Direction::Back;
  return journal;
}

}  // namespace stickwell::install
