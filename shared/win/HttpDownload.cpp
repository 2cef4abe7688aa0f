#include "shared/win/HttpDownload.h"

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "shared/DownloadLimit.h"
#include "shared/win/HttpRequest.h"
#include "shared/win/WinHandles.h"

namespace stickwell::win {
namespace {

// How often the supervisor looks at the transfer: the pace of progress messages and of the time-out.
constexpr DWORD kSupervisePeriodMs = 100;

// The free space of the volume that holds `filePath`, for this user; nullopt when it cannot be told.
std::optional<uint64_t> FreeSpaceFor(const std::wstring& filePath) {
  const size_t slash = filePath.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring(L".\\") : filePath.substr(0, slash + 1);
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

}  // namespace

// Shared by the owner (window thread), the supervisor thread and the transfer thread. The mutex guards
// everything below it; the transfer thread holds it only to write a piece, never while it waits for the
// network.
struct HttpDownload::State {
  State(HWND w, UINT m, std::wstring u, std::wstring f, DWORD t)
      : window(w), message(m), url(std::move(u)), filePath(std::move(f)), timeoutMs(t) {}

  const HWND window;
  const UINT message;
  const std::wstring url;
  const std::wstring filePath;
  const DWORD timeoutMs;
  UniqueHandle wake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // transfer over, or cancelled

  mutable std::mutex mutex;
  bool stopped = false;          // cancelled, timed out or finished: no more writes, no more messages
  bool transferDone = false;
  bool started = false;          // a 2xx response arrived and the file is open
  DWORD status = 0;              // that response's status code
  bool progressUnread = false;   // a Progress message is queued and progress() has not been asked since
  DownloadProgress progress;
  DownloadResult transferResult;       // the transfer thread's verdict, valid once transferDone
  std::optional<DownloadResult> result;  // the final result, until taken
  UniqueHandle file;

  // Posts while holding the mutex, so that cancel() can promise that no message follows it.
  void post(DownloadEvent event) { ::PostMessageW(window, message, static_cast<WPARAM>(event), 0); }

  void transfer();
  void supervise();
  void finish(DownloadResult final);  // with the mutex held
  void concludeTransfer(DownloadOutcome outcome, DWORD status);  // with the mutex held
  void endTransfer(DownloadOutcome outcome, DWORD status = 0);
};

void HttpDownload::State::concludeTransfer(DownloadOutcome outcome, DWORD status) {
  file.reset();
  transferResult = {outcome, progress.received, progress.contentLength, status};
  transferDone = true;
  ::SetEvent(wake.get());
}

void HttpDownload::State::endTransfer(DownloadOutcome outcome, DWORD status) {
  std::lock_guard lock(mutex);
  concludeTransfer(outcome, status);
}

// Runs on a thread of its own: it may block in WinINet far longer than the time-out allows, and is
// then simply left behind; the mutex and `stopped` keep it from touching the file after that.
void HttpDownload::State::transfer() {
  HttpRequest request(url, timeoutMs);
  if (!request.ok()) {
    endTransfer(request.status() ? DownloadOutcome::HttpError : DownloadOutcome::Failed, request.status());
    return;
  }
  // A length beyond the bounds fails before the file exists.
  if (const auto length = request.contentLength(); length && !download::MayWrite(*length, FreeSpaceFor(filePath))) {
    endTransfer(DownloadOutcome::TooLarge, request.status());
    return;
  }
  bool opened = false;
  {
    std::lock_guard lock(mutex);
    if (stopped) return;
    file.reset(::CreateFileW(filePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    opened = static_cast<bool>(file);
    if (opened) {
      progress.contentLength = request.contentLength();
      status = request.status();
      started = true;
    }
  }
  if (!opened) {
    endTransfer(DownloadOutcome::FileError, request.status());
    return;
  }
  ::SetEvent(wake.get());  // let the supervisor announce the start at once

  std::vector<char> buffer(HttpRequest::kLargestRead);
  for (;;) {
    const auto received = request.read(buffer.data(), buffer.size());
    if (!received) {
      endTransfer(DownloadOutcome::Failed, request.status());
      return;
    }
    if (*received == 0) break;
    std::lock_guard lock(mutex);
    if (stopped) return;
    if (!download::MayGrowTo(progress.received + *received)) {
      concludeTransfer(DownloadOutcome::TooLarge, request.status());
      return;
    }
    DWORD written = 0;
    if (!::WriteFile(file.get(), buffer.data(), static_cast<DWORD>(*received), &written, nullptr) ||
        written != *received) {
      concludeTransfer(DownloadOutcome::FileError, request.status());
      return;
    }
    progress.received += written;
  }
  std::lock_guard lock(mutex);
  if (stopped) return;
  if (!IsWholeBody(progress.received, request.contentLength())) {
    concludeTransfer(DownloadOutcome::Incomplete, request.status());
    return;
  }
  // A complete file is on the disk before it is reported: the install may move it into place at once,
  // and a power cut after that must not leave a file the cache never wrote.
  const bool flushed = ::FlushFileBuffers(file.get()) != 0;
  concludeTransfer(flushed ? DownloadOutcome::Complete : DownloadOutcome::FileError, request.status());
}

void HttpDownload::State::finish(DownloadResult final) {
  stopped = true;
  file.reset();
  result = final;
  post(DownloadEvent::Finished);
}

// Runs on the worker thread: starts the transfer, posts progress at a bounded pace, and enforces the
// time-out, which WinINet alone does not everywhere.
void HttpDownload::State::supervise() {
  bool announced = false;
  uint64_t lastReceived = 0;
  ULONGLONG lastActivity = ::GetTickCount64();
  ULONGLONG lastPost = 0;
  for (;;) {
    ::WaitForSingleObject(wake.get(), kSupervisePeriodMs);
    std::lock_guard lock(mutex);
    if (stopped) return;  // cancelled
    const ULONGLONG now = ::GetTickCount64();
    if (started && !announced) {
      announced = true;
      lastActivity = now;
      post(DownloadEvent::Started);
    }
    if (progress.received != lastReceived) {
      lastReceived = progress.received;
      lastActivity = now;
      if (!progressUnread && now - lastPost >= kSupervisePeriodMs && !transferDone) {
        progressUnread = true;
        lastPost = now;
        post(DownloadEvent::Progress);
      }
    }
    if (transferDone) {
      finish(transferResult);
      return;
    }
    if (now - lastActivity >= timeoutMs) {
      finish({DownloadOutcome::TimedOut, progress.received, progress.contentLength, status});
      return;
    }
  }
}

HttpDownload::~HttpDownload() { cancel(); }

void HttpDownload::start(HWND window, UINT message, std::wstring url, std::wstring filePath, DWORD timeoutMs) {
  cancel();
  try {
    state_ = std::make_shared<State>(window, message, std::move(url), std::move(filePath), timeoutMs);
  } catch (...) {
    state_.reset();
    return;
  }
  std::shared_ptr<State> state = state_;
  try {
    std::thread([state] {
      try {
        std::thread([state] {
          try {
            state->transfer();
          } catch (...) {
            state->endTransfer(DownloadOutcome::Failed);
          }
        }).detach();
        state->supervise();
      } catch (...) {
        std::lock_guard lock(state->mutex);
        if (!state->stopped) state->finish({});
      }
    }).detach();
  } catch (...) {
    std::lock_guard lock(state->mutex);
    state->finish({});
  }
}

void HttpDownload::cancel() {
  if (!state_) return;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopped = true;
    state_->file.reset();
  }
  ::SetEvent(state_->wake.get());
}

DownloadProgress HttpDownload::progress() const {
  if (!state_) return {};
  std::lock_guard lock(state_->mutex);
  state_->progressUnread = false;
  return state_->progress;
}

std::optional<DownloadResult> HttpDownload::takeResult() {
  if (!state_) return std::nullopt;
  std::lock_guard lock(state_->mutex);
  std::optional<DownloadResult> result = std::move(state_->result);
  state_->result.reset();
  return result;
}

bool HttpDownload::running() const {
  if (!state_) return false;
  std::lock_guard lock(state_->mutex);
  return !state_->stopped;
}

}  // namespace stickwell::win
