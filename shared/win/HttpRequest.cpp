#include "shared/win/HttpRequest.h"

#include <wininet.h>

#include <algorithm>
#include <string_view>

#include "shared/win/Diagnostics.h"

namespace stickwell::win {
namespace {

constexpr wchar_t kUserAgent[] = L"Stickwell";
constexpr ULONGLONG kQuickReadMs = 50;
constexpr ULONGLONG kSlowReadMs = 250;
// The request flag adds "Pragma: no-cache" for old caches; this header is what current proxies and
// content networks look at.
constexpr wchar_t kNoCacheHeader[] = L"Cache-Control: no-cache\r\n";

// Every page and file must come from the server as it is now: never from the local cache or a proxy's,
// never stored, no cookies sent or kept, and no dialog box from a network thread. Redirects are
// followed here rather than by WinINet: Wine's follows one from https to http, which would fetch a page
// or a file meant to come over TLS in the clear.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;
// As many as browsers follow before they give up.
constexpr int kMostRedirects = 20;

std::optional<std::wstring> QueryHeader(HINTERNET request, DWORD what) {
  std::wstring value(256, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::HttpQueryInfoW(request, what, value.data(), &bytes, nullptr)) {
      value.resize(bytes / sizeof(wchar_t));
      return value;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    value.resize(bytes / sizeof(wchar_t) + 1);
  }
  return std::nullopt;
}

std::optional<uint64_t> ParseLength(std::wstring_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  uint64_t value = 0;
  for (wchar_t digit : text) {
    if (digit < L'0' || digit > L'9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(digit - L'0');
  }
  return value;
}

// WinINet takes a reply without a status line for an old-style response and makes up "200 OK" for it
// (Wine does the same when the server closes without answering at all). A real server always sends
// at least one header line, so a reply without any is not taken for a response.
bool HasHeaderLines(HINTERNET request) {
  const auto raw = QueryHeader(request, HTTP_QUERY_RAW_HEADERS_CRLF);
  if (!raw) return false;
  const size_t statusLineEnd = raw->find(L"\r\n");
  if (statusLineEnd == std::wstring::npos) return false;
  return raw->find_first_not_of(L"\r\n", statusLineEnd) != std::wstring::npos;
}

std::optional<INTERNET_SCHEME> SchemeOf(const std::wstring& url) {
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return std::nullopt;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
  return parts.nScheme;
}

// Where a response that moves the request sends it, as a whole address; nothing for any other response.
std::optional<std::wstring> RedirectTarget(HINTERNET request, const std::wstring& from) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return std::nullopt;
  if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308) return std::nullopt;
  const auto location = QueryHeader(request, HTTP_QUERY_LOCATION);
  if (!location || location->empty()) return std::nullopt;
  // The place may be given relative to the address that moved.
  std::wstring target(INTERNET_MAX_URL_LENGTH, L'\0');
  DWORD length = static_cast<DWORD>(target.size());
  if (!::InternetCombineUrlW(from.c_str(), location->c_str(), target.data(), &length, ICU_NO_ENCODE)) {
    TraceLastError({L"InternetCombineUrlW ", from, L" and ", *location});
    return std::nullopt;
  }
  target.resize(length);
  return target;
}

}  // namespace

HttpRequest::HttpRequest(const std::wstring& url, DWORD timeoutMs) {
  session_.reset(::InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session_) {
    TraceLastError({L"InternetOpenW for ", url});
    return;
  }
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    if (!::InternetSetOptionW(session_.get(), option, &timeoutMs, sizeof timeoutMs))
      TraceLastError({L"InternetSetOptionW time-out ", Hex(option)});
  }
  // An http address moved to https is followed; a move from https to http (or anywhere but the web) is
  // not, and the request ends there without a response.
  std::wstring address = url;
  for (int redirects = 0;; ++redirects) {
    const std::optional<INTERNET_SCHEME> scheme = send(address);
    if (!scheme) return;
    const std::optional<std::wstring> next = redirects < kMostRedirects ? RedirectTarget(request_.get(), address) : std::nullopt;
    if (!next) break;
    if (const std::optional<INTERNET_SCHEME> nextScheme = SchemeOf(*next);
        !nextScheme || (*scheme == INTERNET_SCHEME_HTTPS && *nextScheme != INTERNET_SCHEME_HTTPS)) {
      TraceError(ERROR_INTERNET_HTTPS_HTTP_SUBMIT_REDIR, {L"refusing the move from ", address, L" to ", *next});
      request_.reset();
      return;
    }
    address = *next;
  }
  readResponseHead();
}

std::optional<INTERNET_SCHEME> HttpRequest::send(const std::wstring& url) {
  request_.reset();
  connection_.reset();
  wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = static_cast<DWORD>(std::size(host));
  parts.dwUrlPathLength = 1;  // ask for pointers into `url` for the path and the query
  parts.dwExtraInfoLength = 1;
  if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
    TraceLastError({L"InternetCrackUrlW ", url});
    return std::nullopt;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    TraceError(ERROR_INTERNET_UNRECOGNIZED_SCHEME, {L"requesting ", url});
    return std::nullopt;
  }
  std::wstring target(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) target.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (target.empty()) target = L"/";

  connection_.reset(
      ::InternetConnectW(session_.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection_) {
    TraceLastError({L"InternetConnectW ", url});
    return std::nullopt;
  }
  const DWORD flags = kRequestFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
  request_.reset(::HttpOpenRequestW(connection_.get(), L"GET", target.c_str(), nullptr, nullptr, nullptr, flags, 0));
  if (!request_) {
    TraceLastError({L"HttpOpenRequestW ", url});
    return std::nullopt;
  }
  if (!::HttpSendRequestW(request_.get(), kNoCacheHeader, static_cast<DWORD>(-1), nullptr, 0)) {
    TraceLastError({L"HttpSendRequestW ", url});
    request_.reset();
    return std::nullopt;
  }
  return parts.nScheme;
}

void HttpRequest::readResponseHead() {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!::HttpQueryInfoW(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
    TraceLastError({L"HttpQueryInfoW status code"});
    return;
  }
  if (!HasHeaderLines(request_.get())) {
    TraceError(ERROR_HTTP_INVALID_SERVER_RESPONSE, {L"reading the response's header lines"});
    return;
  }
  if (const auto length = QueryHeader(request_.get(), HTTP_QUERY_CONTENT_LENGTH)) {
    contentLength_ = ParseLength(*length);
    // A length we cannot read means we cannot tell a whole body.
    if (!contentLength_) {
      TraceError(ERROR_INVALID_DATA, {L"reading Content-Length ", *length});
      return;
    }
  }
  status_ = status;
  ok_ = status >= 200 && status <= 299;
}

std::optional<size_t> HttpRequest::read(char* buffer, size_t capacity) {
  if (!request_) return std::nullopt;
  const DWORD ask = static_cast<DWORD>(std::min(capacity, nextRead_));
  DWORD received = 0;
  const ULONGLONG started = ::GetTickCount64();
  if (!::InternetReadFile(request_.get(), buffer, ask, &received)) {
    TraceLastError({L"InternetReadFile"});
    return std::nullopt;
  }
  const ULONGLONG took = ::GetTickCount64() - started;
  // A full buffer in next to no time: the data is waiting, ask for more. A slow read: ask for less.
  if (received == ask && took <= kQuickReadMs) {
    nextRead_ = std::min(nextRead_ * 2, kLargestRead);
  } else if (took >= kSlowReadMs) {
    nextRead_ = std::max(nextRead_ / 2, kSmallestRead);
  }
  return received;
}

}  // namespace stickwell::win
