#include "shared/win/HttpDownload.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "shared/DownloadLimit.h"
#include "shared/win/Background.h"
#include "shared/win/Crypto.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/HttpRequest.h"
#include "shared/win/WinHandles.h"

namespace stickwell::win {
namespace {

// How often the supervisor looks at the transfer: the pace of progress messages and of the time-out.
constexpr DWORD kSupervisePeriodMs = 100;
// How much a download writes before it has the system put it on the disk, while more comes in.
constexpr uint64_t kEarlyFlushBytes = 8 << 20;

// The free space of the volume that holds `filePath`, for this user; nullopt when it cannot be told.
std::optional<uint64_t> FreeSpaceFor(const std::wstring& filePath) {
  const size_t slash = filePath.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring(L".\\") : filePath.substr(0, slash + 1);
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

// SHA-256 of a download in the background, so that hashing a piece overlaps with receiving and
// writing the next: the download takes as long as the slower of the two, not both together.
class BackgroundSha256 {
 public:
  BackgroundSha256() : task_([this] { run(); }, L"hashing a download") {}
  ~BackgroundSha256() { finish(); }
  BackgroundSha256(const BackgroundSha256&) = delete;
  BackgroundSha256& operator=(const BackgroundSha256&) = delete;

  // Copies the piece; waits while a few pieces are still to be hashed, so memory stays bounded. The
  // copies' buffers are used again and again: a fresh megabyte for each piece costs more than hashing
  // it (under Wine, three times more).
  void add(const char* data, std::size_t size) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pieces_.size() < kQueuedPieces; });
    std::vector<char> piece;
    if (!spare_.empty()) piece = std::move(spare_.back()), spare_.pop_back();
    lock.unlock();
    piece.assign(data, data + size);
    lock.lock();
    pieces_.push_back(std::move(piece));
    changed_.notify_all();
  }

  // The digest of every piece added; nothing when the system could not hash.
  std::optional<manifest::Sha256Digest> finish() {
    {
      std::lock_guard lock(mutex_);
      ended_ = true;
      changed_.notify_all();
    }
    task_.wait();
    return digest_;
  }

 private:
  static constexpr size_t kQueuedPieces = 4;

  void run() {
    Sha256 hash;
    for (;;) {
      std::vector<char> piece;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !pieces_.empty() || ended_; });
        if (pieces_.empty()) break;
        piece = std::move(pieces_.front());
        pieces_.pop_front();
        changed_.notify_all();
      }
      hash.add(piece.data(), piece.size());
      std::lock_guard lock(mutex_);
      spare_.push_back(std::move(piece));
    }
    digest_ = hash.finish();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<char>> pieces_;
  std::vector<std::vector<char>> spare_;  // buffers of pieces already hashed
  bool ended_ = false;
  std::optional<manifest::Sha256Digest> digest_;
  BackgroundTask task_;  // last: it starts once everything it uses is there
};

// Has the system write what a download has written so far, in the background while more comes in,
// so that the flush that completes the download finds little left to write.
class BackgroundFlush {
 public:
  explicit BackgroundFlush(std::function<void()> flush)
      : flush_(std::move(flush)), task_([this] { run(); }, L"flushing a download") {}
  ~BackgroundFlush() {
    {
      std::lock_guard lock(mutex_);
      ended_ = true;
      changed_.notify_all();
    }
    task_.wait();
  }
  BackgroundFlush(const BackgroundFlush&) = delete;
  BackgroundFlush& operator=(const BackgroundFlush&) = delete;

  // A request that comes while a flush works waits for it and is then served once.
  void request() {
    std::lock_guard lock(mutex_);
    requested_ = true;
    changed_.notify_all();
  }

 private:
  void run() {
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return requested_ || ended_; });
        if (ended_) return;
        requested_ = false;
      }
      flush_();
    }
  }

  const std::function<void()> flush_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool requested_ = false;
  bool ended_ = false;
  BackgroundTask task_;  // last: it starts once everything it uses is there
};

}  // namespace

// Shared by the owner (window thread), the supervisor thread and the transfer thread. The mutex guards
// everything below it; the transfer thread holds it only to write a piece, never while it waits for the
// network.
struct HttpDownload::State {
  State(HWND w, UINT m, std::wstring u, std::wstring f, bool h, DWORD t)
      : window(w), message(m), url(std::move(u)), filePath(std::move(f)), hash(h), timeoutMs(t) {}

  const HWND window;
  const UINT message;
  const std::wstring url;
  const std::wstring filePath;
  const bool hash;
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
  // Guards the file handle's closing only, and is held while the early flush works on it, so that a
  // flush goes on beside the writes and the window's reads of the progress. Taken after `mutex`.
  std::mutex fileMutex;

  void closeFile() {  // with the mutex held
    std::lock_guard lock(fileMutex);
    file.reset();
  }
  void flushSoFar() {  // without the mutex
    std::lock_guard lock(fileMutex);
    if (file && !::FlushFileBuffers(file.get())) TraceLastError({L"FlushFileBuffers while downloading ", filePath});
  }

  // Posts while holding the mutex, so that cancel() can promise that no message follows it.
  void post(DownloadEvent event) {
    if (!::PostMessageW(window, message, static_cast<WPARAM>(event), 0))
      TraceLastError({L"PostMessageW, download of ", url});
  }

  void transfer();
  void supervise();
  void finish(DownloadResult final);  // with the mutex held
  void concludeTransfer(DownloadOutcome outcome, DWORD status,
                        std::optional<manifest::Sha256Digest> sha256 = std::nullopt);  // with the mutex held
  void endTransfer(DownloadOutcome outcome, DWORD status = 0);
};

void HttpDownload::State::concludeTransfer(DownloadOutcome outcome, DWORD status,
                                           std::optional<manifest::Sha256Digest> sha256) {
  closeFile();
  transferResult = {outcome, progress.received, progress.contentLength, status, sha256};
  transferDone = true;
  ::SetEvent(wake.get());
}

void HttpDownload::State::endTransfer(DownloadOutcome outcome, DWORD status) {
  std::lock_guard lock(mutex);
  concludeTransfer(outcome, status);
}

// Runs on a pool thread of its own: it may block in WinINet far longer than the time-out allows, and is
// then simply left behind; the mutex and `stopped` keep it from touching the file after that.
void HttpDownload::State::transfer() {
  HttpRequest request(url, timeoutMs);
  if (!request.ok()) {
    endTransfer(request.status() ? DownloadOutcome::HttpError : DownloadOutcome::Failed, request.status());
    return;
  }
  // A length beyond the bounds fails before the file exists.
  if (const auto length = request.contentLength(); length && !download::MayWrite(*length, FreeSpaceFor(filePath))) {
    std::lock_guard lock(mutex);
    progress.contentLength = length;
    concludeTransfer(DownloadOutcome::TooLarge, request.status());
    return;
  }
  bool opened = false;
  {
    std::lock_guard lock(mutex);
    if (stopped) return;
    file.reset(::CreateFileW(filePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    opened = static_cast<bool>(file);
    if (!opened) TraceLastError({L"CreateFileW ", filePath});
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

  std::optional<BackgroundSha256> sha256;
  if (hash) sha256.emplace();
  BackgroundFlush earlyFlush([this] { flushSoFar(); });
  uint64_t flushAsked = 0;
  std::vector<char> buffer(HttpRequest::kLargestRead);
  for (;;) {
    const auto received = request.read(buffer.data(), buffer.size());
    if (!received) {
      endTransfer(DownloadOutcome::Failed, request.status());
      return;
    }
    if (*received == 0) break;
    // What is hashed is exactly what is written: this piece goes to the hash as it goes to the file.
    if (sha256) sha256->add(buffer.data(), *received);
    std::lock_guard lock(mutex);
    if (stopped) return;
    // A body without a length has its bounds checked as it grows: the volume may fill up meanwhile.
    const bool mayGrow = request.contentLength() ? download::MayGrowTo(progress.received + *received)
                                                 : download::MayGrowTo(progress.received + *received, FreeSpaceFor(filePath), *received);
    if (!mayGrow) {
      concludeTransfer(DownloadOutcome::TooLarge, request.status());
      return;
    }
    DWORD written = 0;
    if (!::WriteFile(file.get(), buffer.data(), static_cast<DWORD>(*received), &written, nullptr) ||
        written != *received) {
      TraceLastError({L"WriteFile ", filePath});
      concludeTransfer(DownloadOutcome::FileError, request.status());
      return;
    }
    progress.received += written;
    if (progress.received - flushAsked >= kEarlyFlushBytes) {
      flushAsked = progress.received;
      earlyFlush.request();
    }
  }
  const auto digest = sha256 ? sha256->finish() : std::nullopt;
  if (sha256 && !digest) TraceError(ERROR_INVALID_FUNCTION, {L"SHA-256 of ", filePath});
  std::lock_guard lock(mutex);
  if (stopped) return;
  if (!IsWholeBody(progress.received, request.contentLength())) {
    concludeTransfer(DownloadOutcome::Incomplete, request.status());
    return;
  }
  // A complete file is on the disk before it is reported: the install may move it into place at once,
  // and a power cut after that must not leave a file the cache never wrote.
  const bool flushed = ::FlushFileBuffers(file.get()) != 0;
  concludeTransfer(flushed && (!sha256 || digest) ? DownloadOutcome::Complete : DownloadOutcome::FileError,
                   request.status(), digest);
}

void HttpDownload::State::finish(DownloadResult final) {
  stopped = true;
  closeFile();
  result = final;
  post(DownloadEvent::Finished);
}

// Runs on a pool thread beside the transfer: posts progress at a bounded pace, and enforces the
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
      TraceError(WAIT_TIMEOUT, {L"waiting for data of ", url});
      finish({DownloadOutcome::TimedOut, progress.received, progress.contentLength, status});
      return;
    }
  }
}

HttpDownload::~HttpDownload() { cancel(); }

void HttpDownload::start(HWND window, UINT message, std::wstring url, std::wstring filePath, bool hash,
                         DWORD timeoutMs) {
  cancel();
  try {
    state_ = std::make_shared<State>(window, message, std::move(url), std::move(filePath), hash, timeoutMs);
  } catch (...) {
    TraceException({L"starting a download"});
    state_.reset();
    return;
  }
  std::shared_ptr<State> state = state_;
  const auto transfer = [state] {
    try {
      state->transfer();
    } catch (...) {
      TraceException({L"download of ", state->url});
      state->endTransfer(DownloadOutcome::Failed);
    }
  };
  const auto supervise = [state] {
    try {
      state->supervise();
    } catch (...) {
      TraceException({L"watching the download of ", state->url});
      std::lock_guard lock(state->mutex);
      if (!state->stopped) state->finish({});
    }
  };
  // The transfer first, as it has the way to go; its supervisor beside it. Without a supervisor nothing
  // would ever report: the download ends here.
  if (!RunInBackground(transfer, L"a download") || !RunInBackground(supervise, L"watching a download")) {
    std::lock_guard lock(state->mutex);
    state->finish({});
  }
}

void HttpDownload::cancel() {
  if (!state_) return;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopped = true;
    state_->closeFile();
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
