#pragma once
// Fetching a whole page (the update page, a share page) in one blocking call.
#include <windows.h>

#include <string>

#include "BuildConfig.h"

namespace stickwell::win {

enum class FetchStatus {
  Ok,            // the whole body arrived with a 2xx status
  NotConnected,  // the machine is not connected; no request was made
  Failed,        // no answer, an error status, a broken or cut-off body, or the time-out passed
};

struct FetchResult {
  FetchStatus status = FetchStatus::Failed;
  std::string body;  // the response body, byte for byte; empty unless Ok
};

// GET `url` (http or https) with every cache bypassed, and the whole body. Blocks the calling thread for
// at most `timeoutMs` whatever the server does: a server that stalls or trickles is given up on in time
// (the transfer itself goes on to its end on a thread of its own, and its outcome is dropped). Makes no
// connection check. Meant for worker threads: windows use AsyncCall (see UpdatePageFetch.h).
FetchResult FetchUrl(const std::wstring& url, DWORD timeoutMs = config::kHttpTimeoutMs);

}  // namespace stickwell::win
