#include "shared/win/HttpFetch.h"

#include <atomic>
#include <memory>

#include "shared/win/Background.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/HttpRequest.h"
#include "shared/win/WinHandles.h"

namespace stickwell::win {
namespace {

// A page is a few kilobytes; an address that turns out to serve something huge is not a page.
constexpr size_t kMaxPageBytes = 64 * 1024 * 1024;

// Shared by the caller and the thread that does the transfer; whichever lives longer frees it.
struct Transfer {
  UniqueHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<bool> abandoned{false};
  FetchResult result;  // written by the transfer thread before `done` is set
};

FetchResult Fetch(const std::wstring& url, DWORD timeoutMs, const std::atomic<bool>& abandoned) {
  HttpRequest request(url, timeoutMs);
  if (!request.ok()) return {};
  std::string body;
  std::string buffer(HttpRequest::kLargestRead, '\0');
  for (;;) {
    if (abandoned) return {};
    const auto received = request.read(buffer.data(), buffer.size());
    if (!received) return {};
    if (*received == 0) break;
    if (body.size() + *received > kMaxPageBytes) {
      TraceError(ERROR_FILE_TOO_LARGE, {L"reading the page ", url});
      return {};
    }
    body.append(buffer.data(), *received);
  }
  if (!IsWholeBody(body.size(), request.contentLength())) {
    TraceError(ERROR_HANDLE_EOF, {L"reading the whole page ", url});
    return {};
  }
  return {FetchStatus::Ok, std::move(body)};
}

}  // namespace

FetchResult FetchUrl(const std::wstring& url, DWORD timeoutMs) {
  try {
    auto transfer = std::make_shared<Transfer>();
    if (!transfer->done) {
      TraceLastError({L"CreateEventW for fetching ", url});
      return {};
    }
    const bool queued = RunInBackground(
        [transfer, url, timeoutMs] {
          try {
            transfer->result = Fetch(url, timeoutMs, transfer->abandoned);
          } catch (...) {
            TraceException({L"fetching ", url});
            transfer->result = {};
          }
          ::SetEvent(transfer->done.get());
        },
        L"a page fetch");
    if (!queued) return {};
    if (::WaitForSingleObject(transfer->done.get(), timeoutMs) != WAIT_OBJECT_0) {
      // WinINet may keep waiting for a silent server far beyond its own time-out; the caller must not.
      TraceError(WAIT_TIMEOUT, {L"waiting for ", url});
      transfer->abandoned = true;
      return {};
    }
    return std::move(transfer->result);
  } catch (...) {
    TraceException({L"fetching ", url});
    return {};
  }
}

}  // namespace stickwell::win
