#include "shared/DownloadLimit.h"

namespace stickwell::download {

bool MayWrite(std::uint64_t length, std::optional<std::uint64_t> freeBytes) {
  if (length > kLargestFile) return false;
  return !freeBytes || (*freeBytes >= kFreeSpaceMargin && length <= *freeBytes - kFreeSpaceMargin);
}

}  // namespace stickwell::download
