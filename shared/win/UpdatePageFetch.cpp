#include "shared/win/UpdatePageFetch.h"

#include "shared/win/Connection.h"
#include "shared/win/WideText.h"

namespace stickwell::win {

std::wstring UpdatePageUrl() { return Wide(config::kUpdatePageUrl); }

FetchResult FetchUpdatePage() {
  if (!IsConnected()) return {FetchStatus::NotConnected, {}};
  return FetchUrl(UpdatePageUrl());
}

}  // namespace stickwell::win
