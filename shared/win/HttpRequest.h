#pragma once
// One GET over WinINet with every cache bypassed, as both the page fetches and the downloads send it.
// It blocks its thread: WinINet's own time-outs are passed on, but not every WinINet honours them
// (Wine's waits for a silent server forever, and closing the handle from another thread does not wake
// it). So it is only ever run on a thread of its own, under a supervisor that gives up on it in time;
// see HttpFetch.h and HttpDownload.h.
#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <optional>
#include <string>

#include "shared/win/WinHandles.h"

namespace stickwell::win {

class HttpRequest {
 public:
  // Sends GET `url` (http or https) and waits for the response headers, following the moves the server
  // asks for, but never from https to http. `timeoutMs` becomes WinINet's connect, send and receive
  // time-out.
  HttpRequest(const std::wstring& url, DWORD timeoutMs);

  // True when a well-formed response with a 2xx status arrived.
  bool ok() const { return ok_; }
  // The response's status code; 0 when no well-formed response arrived.
  DWORD status() const { return status_; }
  // The announced body length; nullopt when the response gives none.
  std::optional<uint64_t> contentLength() const { return contentLength_; }

  // Reads the next piece of the body into `buffer` (at most `capacity` bytes): the number of bytes, 0 at
  // the body's end, or nullopt on a transfer error. WinINet returns from a read only when the buffer is
  // full (or the body ended), so the size of each read follows the pace of the transfer: up to
  // kLargestRead while the data streams in, down to kSmallestRead when it comes slowly, so that progress
  // shows and a slow line is not taken for a silent one.
  std::optional<size_t> read(char* buffer, size_t capacity);

  static constexpr size_t kSmallestRead = 64 * 1024;
  static constexpr size_t kLargestRead = 1024 * 1024;

 private:
  // Connects and sends the request for one address; its scheme, or nothing when it could not be sent.
  std::optional<INTERNET_SCHEME> send(const std::wstring& url);
  void readResponseHead();

  UniqueInternet session_;
  UniqueInternet connection_;
  UniqueInternet request_;
  bool ok_ = false;
  DWORD status_ = 0;
  std::optional<uint64_t> contentLength_;
  size_t nextRead_ = kSmallestRead;
};

// Whether a body of `received` bytes is the whole body: exactly the announced length when there is
// one, anything when the response did not announce one (then the body ends where the connection does).
inline bool IsWholeBody(uint64_t received, std::optional<uint64_t> contentLength) {
  return !contentLength || received == *contentLength;
}

}  // namespace stickwell::win
