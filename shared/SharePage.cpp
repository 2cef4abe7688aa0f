#include "shared/PageMarkers.h"
#include "shared/PagePositions.h"
#include "shared/Text.h"
#include "shared/UpdatePage.h"

namespace stickwell::page {

std::optional<std::u16string> ReadDirectAddress(std::u16string_view sharePage) {
  // The link after "保存至网盘": its href value, from the opening quote up to " id=".
  const Position save = Find(sharePage, kShareSaveMarker);
  const auto href = FindFrom(sharePage, kShareHref, save);
  if (!href) return std::nullopt;
  const auto open = FindFrom(sharePage, kQuote, *href);
  if (!open) return std::nullopt;
  const auto id = FindFrom(sharePage, kShareIdMarker, *open);
  if (!id) return std::nullopt;
  const auto link = Cut(sharePage, *open, *id - *open);
  if (!link) return std::nullopt;

  std::u16string address(*link);
  RemoveAll(address, kAmpEntityTail);  // "&amp;" becomes "&"
  RemoveAll(address, kQuote);
  const std::size_t first = address.find_first_not_of(u' ');
  if (first == std::u16string::npos) return std::u16string();
  return address.substr(first, address.find_last_not_of(u' ') - first + 1);
}

}  // namespace stickwell::page
