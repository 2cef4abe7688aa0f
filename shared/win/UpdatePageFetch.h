#pragma once
// Reading the update page, as the note program and the updater do. Each function blocks for at most the
// HTTP time-out; windows run them through AsyncCall (see AsyncCall.h):
//
//   win::AsyncCall<win::FetchResult> page_;     page_.start(hwnd(), kPageArrived, win::FetchUpdatePage);
//   a share page, or the page without the connection check (the updater's download window):
//   page_.start(hwnd(), kShareArrived, [address] { return win::FetchUrl(address); });
#include <string>

#include "shared/win/HttpFetch.h"

namespace stickwell::win {

// The update page's bytes. Asks for the connection state first: NotConnected without any request.
FetchResult FetchUpdatePage();

// The update page's address.
std::wstring UpdatePageUrl();

}  // namespace stickwell::win
