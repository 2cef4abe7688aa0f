#include "shared/win/UpdatePageFetch.h"

#include "shared/win/AnsiCodePage.h"
#include "shared/win/Connection.h"
#include "shared/win/WideText.h"

namespace stickwell::win {

std::wstring UpdatePageUrl() { return Wide(config::kUpdatePageUrl); }

FetchResult FetchUpdatePage() {
  if (!IsConnected()) return {FetchStatus::NotConnected, {}};
  return FetchUrl(UpdatePageUrl());
}

PageText FetchUpdatePageText() {
  FetchResult page = FetchUpdatePage();
  if (page.status != FetchStatus::Ok) return {page.status, {}};
  return {FetchStatus::Ok, FromAnsi(page.body)};
}

}  // namespace stickwell::win
