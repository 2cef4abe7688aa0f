#include "shared/win/Background.h"

#include <memory>
#include <stdexcept>
#include <utility>

#include "shared/win/Diagnostics.h"

namespace stickwell::win {
namespace {

struct Queued {
  std::function<void()> work;
  const wchar_t* what;
};

void CALLBACK RunQueued(PTP_CALLBACK_INSTANCE, void* context) {
  const std::unique_ptr<Queued> queued(static_cast<Queued*>(context));
  try {
    queued->work();
  } catch (...) {
    TraceException({queued->what});
  }
}

}  // namespace

bool RunInBackground(std::function<void()> work, const wchar_t* what) {
  try {
    auto queued = std::make_unique<Queued>(Queued{std::move(work), what});
    if (!::TrySubmitThreadpoolCallback(&RunQueued, queued.get(), nullptr)) {
      TraceLastError({L"TrySubmitThreadpoolCallback, ", what});
      return false;
    }
    queued.release();  // RunQueued owns it now
    return true;
  } catch (...) {
    TraceException({L"queueing ", what});
    return false;
  }
}

BackgroundTask::BackgroundTask(std::function<void()> work, const wchar_t* what)
    : done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (!done_) {
    TraceLastError({L"CreateEventW, ", what});
    throw std::runtime_error("no event for a background task");
  }
  // The event outlives the work: its owner waits for it before the handle closes.
  const HANDLE done = done_.get();
  const bool queued = RunInBackground(
      [work = std::move(work), done] {
        struct Signal {  // set even when the work throws
          HANDLE event;
          ~Signal() { ::SetEvent(event); }
        } signal{done};
        work();
      },
      what);
  if (!queued) {
    done_.reset();
    throw std::runtime_error("a background task could not be queued");
  }
}

void BackgroundTask::wait() {
  if (done_) ::WaitForSingleObject(done_.get(), INFINITE);
}

}  // namespace stickwell::win
