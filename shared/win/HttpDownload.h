#pragma once
// Downloading a file in the background, straight to disk, with progress for a window.
//
//   win::HttpDownload download_;                          // a member of the download window
//   download_.start(hwnd(), kDownload, address, InProgramFolder(L"Stickwell.exe.partial"));
//   ...
//   case kDownload:
//     switch (static_cast<win::DownloadEvent>(wParam)) {
//       case win::DownloadEvent::Started:  bar.setRange(download_.progress().contentLength); break;
//       case win::DownloadEvent::Progress: bar.setValue(download_.progress().received); break;
//       case win::DownloadEvent::Finished:
//         if (auto result = download_.takeResult(); result && result->complete()) moveIntoPlace();
//     }
//
// Each message means "look again": the numbers live in the HttpDownload, not in the message, so a
// message that arrives late (after cancel() or a new start()) only makes the window read current values;
// takeResult() answers nullopt to a Finished message that is not the current download's.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "BuildConfig.h"
#include "shared/Manifest.h"

namespace stickwell::win {

// The wParam of a download's messages.
enum class DownloadEvent : WPARAM {
  Started = 1,   // a usable response arrived: contentLength is known (or known to be absent)
  Progress = 2,  // more bytes are on disk; at most ten a second, and none while one is still unread
  Finished = 3,  // the download is over; takeResult() tells how. Always the last message.
};

enum class DownloadOutcome {
  Complete,    // the whole body is on disk: exactly Content-Length bytes, or up to the end without one
  Incomplete,  // the body ended before its announced Content-Length
  TimedOut,    // the server stayed silent for the time-out (before or during the body)
  HttpError,   // the server answered with a status other than 2xx; nothing was written
  Failed,      // no answer, no valid HTTP response, or a transfer error
  FileError,   // the file could not be created, written or flushed to disk
  TooLarge,    // the announced length exceeds the bounds (nothing was written), or a body without one
               // grew beyond them (see DownloadLimit.h)
};

struct DownloadProgress {
  uint64_t received = 0;                 // bytes written to the file so far
  std::optional<uint64_t> contentLength;  // the announced length, once Started; nullopt without one
};

struct DownloadResult {
  DownloadOutcome outcome = DownloadOutcome::Failed;
  uint64_t received = 0;  // bytes written to the file
  std::optional<uint64_t> contentLength;
  DWORD httpStatus = 0;   // the response's status code; 0 without a valid response
  std::optional<manifest::Sha256Digest> sha256 = std::nullopt;  // of the whole file, when asked for and Complete

  bool complete() const { return outcome == DownloadOutcome::Complete; }
};

class HttpDownload {
 public:
  HttpDownload() = default;
  // Cancels a download still running.
  ~HttpDownload();
  HttpDownload(const HttpDownload&) = delete;
  HttpDownload& operator=(const HttpDownload&) = delete;

  // GET `url` on a worker thread, every cache bypassed, writing the body in large pieces to `filePath`
  // (created, or emptied when it exists, only once a 2xx response has arrived whose length is within
  // the bounds of DownloadLimit.h). A complete file is flushed to disk before it is reported. Messages go to `window`
  // as `message` with a DownloadEvent in wParam. The download times out when nothing arrives for
  // `timeoutMs` (a slow but moving download goes on). The file is closed before Finished is posted and
  // keeps whatever arrived; the caller decides what to do with an incomplete one. A download of this
  // object still running is cancelled first.
  // `hash`: also take the file's SHA-256 as it streams in (in the background).
  void start(HWND window, UINT message, std::wstring url, std::wstring filePath, bool hash = false,
             DWORD timeoutMs = config::kHttpTimeoutMs);

  // Stops the download: no message is posted after this returns, and the file is closed by then.
  void cancel();

  // The current download's numbers; may be read at any time on the window thread.
  DownloadProgress progress() const;
  // The current download's result once it has finished: exactly once, then nullopt again.
  std::optional<DownloadResult> takeResult();
  // Whether the current download has been started and has not finished or been cancelled.
  bool running() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace stickwell::win
