#include "note/core/SavingFiles.h"

namespace stickwell::note {
namespace {

constexpr std::u16string_view kSaving = u".saving";
constexpr std::u16string_view kText = u".txt";
constexpr std::int64_t kLeftBehindMs = 60 * 1000;

bool EndsWithCaseless(std::u16string_view text, std::u16string_view ending) {
  if (text.size() < ending.size()) return false;
  text.remove_prefix(text.size() - ending.size());
  for (std::size_t i = 0; i < ending.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != ending[i]) return false;
  }
  return true;
}

}  // namespace

std::u16string SavingSuffix(std::uint32_t processId) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + processId % 10));
    processId /= 10;
  } while (processId != 0);
  return u"." + digits + std::u16string(kSaving);
}

std::optional<std::uint32_t> SavingFileWriter(std::u16string_view name) {
  if (!name.ends_with(kSaving)) return std::nullopt;
  name.remove_suffix(kSaving.size());
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos) return std::nullopt;
  const std::u16string_view digits = name.substr(dot + 1);
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  std::uint64_t id = 0;
  for (char16_t digit : digits) {
    if (digit < u'0' || digit > u'9') return std::nullopt;
    id = id * 10 + static_cast<std::uint64_t>(digit - u'0');
  }
  if (id > UINT32_MAX || !EndsWithCaseless(name.substr(0, dot), kText)) return std::nullopt;
  return static_cast<std::uint32_t>(id);
}

bool IsLeftBehind(bool writtenByThisNote, bool writerRuns, std::int64_t ageMs) {
  if (writtenByThisNote) return false;
  return !writerRuns || ageMs > kLeftBehindMs;
}

}  // namespace stickwell::note
