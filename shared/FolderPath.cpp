#include "shared/FolderPath.h"

namespace stickwell {

std::u16string JoinFolderPath(std::u16string_view folder, std::u16string_view fileName) {
  std::u16string path(folder);
  if (path.empty() || path.back() != u'\\') path += u'\\';
  path += fileName;
  return path;
}

}  // namespace stickwell
