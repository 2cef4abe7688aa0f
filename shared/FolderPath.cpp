#include "shared/FolderPath.h"

namespace stickwell {
namespace {

constexpr std::u16string_view kLongPrefix = u"\\\\?\\";
constexpr std::u16string_view kLongSharePrefix = u"\\\\?\\UNC\\";

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

bool IsPrefixed(std::u16string_view path) {
  return path.size() >= 4 && IsSeparator(path[0]) && (IsSeparator(path[1]) || path[1] == u'?') &&
         (path[2] == u'?' || path[2] == u'.') && IsSeparator(path[3]);
}

std::u16string WithBackslashes(std::u16string_view path) {
  std::u16string result(path);
  for (char16_t& c : result)
    if (c == u'/') c = u'\\';
  return result;
}

}  // namespace

std::u16string JoinFolderPath(std::u16string_view folder, std::u16string_view fileName) {
  std::u16string path(folder);
  if (path.empty() || path.back() != u'\\') path += u'\\';
  path += fileName;
  return path;
}

std::u16string LongPathForm(std::u16string_view path) {
  if (path.size() < kLongPathLength || IsPrefixed(path)) return std::u16string(path);
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsSeparator(path[2]))
    return std::u16string(kLongPrefix) + WithBackslashes(path);
  if (IsSeparator(path[0]) && IsSeparator(path[1]))
    return std::u16string(kLongSharePrefix) + WithBackslashes(path.substr(2));
  return std::u16string(path);
}

std::u16string PlainPathForm(std::u16string_view path) {
  if (path.starts_with(kLongSharePrefix)) return u"\\\\" + std::u16string(path.substr(kLongSharePrefix.size()));
  if (path.starts_with(kLongPrefix) && path.size() >= kLongPrefix.size() + 3 && IsDriveLetter(path[4]) &&
      path[5] == u':' && path[6] == u'\\')
    return std::u16string(path.substr(kLongPrefix.size()));
  return std::u16string(path);
}

}  // namespace stickwell
