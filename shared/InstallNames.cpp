#include "shared/InstallNames.h"

namespace stickwell::install {
namespace {

constexpr std::u16string_view kStagingSuffix = u".staged";
constexpr std::u16string_view kSetAsideSuffix = u".replaced";
constexpr std::u16string_view kRetiredSuffix = u".retired";

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// File names compare without regard to case, as the file system does.
bool EndsWith(std::u16string_view name, std::u16string_view suffix) {
  if (name.size() < suffix.size()) return false;
  name.remove_prefix(name.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i)
    if (AsciiLower(name[i]) != suffix[i]) return false;
  return true;
}

std::u16string WithSuffix(std::u16string_view target, std::u16string_view suffix) {
  std::u16string name(target);
  name += suffix;
  return name;
}

}  // namespace

bool SameFileName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

std::u16string StagingName(std::u16string_view target) { return WithSuffix(target, kStagingSuffix); }
std::u16string SetAsideName(std::u16string_view target) { return WithSuffix(target, kSetAsideSuffix); }
std::u16string RetiredName(std::u16string_view target) { return WithSuffix(target, kRetiredSuffix); }

bool IsInstallName(std::u16string_view name) {
  return EndsWith(name, kStagingSuffix) || EndsWith(name, kSetAsideSuffix) || EndsWith(name, kRetiredSuffix) ||
         SameFileName(name, kJournalName) || SameFileName(name, kJournalTempName) || SameFileName(name, kLockName);
}

}  // namespace stickwell::install
