#pragma once
// Reading the update page, as the note program and the updater do. Each function blocks for at most the
// HTTP time-out; windows run them through AsyncCall (see AsyncCall.h):
//
//   win::AsyncCall<win::FetchResult> page_;     page_.start(hwnd(), kPageArrived, win::FetchUpdatePage);
//   win::AsyncCall<win::PageText> pageText_;    pageText_.start(hwnd(), kPageArrived, win::FetchUpdatePageText);
//   a share page, or the page without the connection check (the updater's download window):
//   page_.start(hwnd(), kShareArrived, [address] { return win::FetchUrl(address); });
#include <string>

#include "shared/win/HttpFetch.h"

namespace stickwell::win {

struct PageText {
  FetchStatus status = FetchStatus::Failed;
  std::wstring text;  // the body decoded in the system's ANSI code page; empty unless Ok
};

// The update page's bytes. Asks for the connection state first: NotConnected without any request.
FetchResult FetchUpdatePage();

// The same request, with the body decoded as text in the system's ANSI code page (GBK on a Chinese
// Windows), the way the note's update check reads it.
PageText FetchUpdatePageText();

// The update page's address.
std::wstring UpdatePageUrl();

}  // namespace stickwell::win
