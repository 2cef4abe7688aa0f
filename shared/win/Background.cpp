#include "shared/win/Background.h"

#include <cstdint>
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

// What a pool thread's frames below the point where its work has returned may still need: the call
// that gives the pages back. The pool's own frames lie above.
constexpr std::uintptr_t kStackKept = 16 * 1024;

// Under Wine a thread's whole stack reservation is backed with memory from the thread's first moments,
// about a megabyte, and kept while the thread lives and, once it has ended, until another thread ends:
// a page fetch at start-up left an idle note holding two such stacks. Work that has returned gives back
// what lies below the pages its thread still needs; what is there is dead by then. On Windows the range
// also holds pages that were never committed, and the call does nothing.
__declspec(noinline) void ReleaseStackBelowHere() {
  volatile char here = 0;
  ULONG_PTR low = 0;
  ULONG_PTR high = 0;
  ::GetCurrentThreadStackLimits(&low, &high);
  const auto keepFrom = (reinterpret_cast<std::uintptr_t>(&here) & ~std::uintptr_t{0xFFF}) - kStackKept;
  if (keepFrom > low) ::VirtualAlloc(reinterpret_cast<void*>(low), keepFrom - low, MEM_RESET, PAGE_READWRITE);
}

void CALLBACK RunQueued(PTP_CALLBACK_INSTANCE, void* context) {
  {
    const std::unique_ptr<Queued> queued(static_cast<Queued*>(context));
    try {
      queued->work();
    } catch (...) {
      TraceException({queued->what});
    }
  }
  ReleaseStackBelowHere();
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
