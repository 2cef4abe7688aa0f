#pragma once
// Runs a blocking call in the background (Background.h) and hands its result to a window thread.
//
//   class OfferWindow : public win::Window {
//     win::AsyncCall<win::FetchResult> page_;
//     ...
//     page_.start(hwnd(), kPageArrived, win::FetchUpdatePage);   // on opening
//     ...
//     case kPageArrived:
//       if (auto page = page_.take()) showOffer(*page);           // nullopt: not this call's message
//
// The result waits in the AsyncCall, not in the message, so nothing is lost or leaked when the window
// goes first: the AsyncCall (a member of the window object) drops the call, the worker finishes on its
// own and its result is freed with the last reference.
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "shared/win/Background.h"
#include "shared/win/Diagnostics.h"

namespace stickwell::win {

// `Result` must be default-constructible; its default value is what a call that could not run (no
// thread, an exception) yields.
template <typename Result>
class AsyncCall {
 public:
  AsyncCall() = default;
  ~AsyncCall() { drop(); }
  AsyncCall(const AsyncCall&) = delete;
  AsyncCall& operator=(const AsyncCall&) = delete;

  // Runs `work` in the background; when it has returned, posts `message` (wParam and lParam 0) to
  // `window`. A call of this object still running is dropped first. Exactly one message follows every
  // start unless the call is dropped or the window is gone.
  void start(HWND window, UINT message, std::function<Result()> work) {
    drop();
    try {
      auto slot = std::make_shared<Slot>(window, message);
      slot_ = slot;
      const bool queued = RunInBackground(
          [slot, work = std::move(work)] {
            Result result{};
            try {
              result = work();
            } catch (...) {
              TraceException({L"background call"});
              result = Result{};
            }
            slot->finish(std::move(result));
          },
          L"a background call");
      if (!queued) slot->finish(Result{});
    } catch (...) {
      // Out of memory before anything started: there is nothing to report to.
      TraceException({L"starting a background call"});
    }
  }

  // The result of the call last started, once it has finished: exactly once, then nullopt again.
  // nullopt while it runs, and for the message of a dropped call.
  std::optional<Result> take() {
    if (!slot_) return std::nullopt;
    std::lock_guard lock(slot_->mutex);
    std::optional<Result> result = std::move(slot_->result);
    slot_->result.reset();
    return result;
  }

  // Whether a call was started and its result has not arrived yet.
  bool running() const {
    if (!slot_) return false;
    std::lock_guard lock(slot_->mutex);
    return !slot_->finished;
  }

  // Forgets the running call: its result is thrown away and its message is not posted.
  void drop() {
    if (!slot_) return;
    {
      std::lock_guard lock(slot_->mutex);
      slot_->dropped = true;
    }
    slot_.reset();
  }

 private:
  struct Slot {
    Slot(HWND w, UINT m) : window(w), message(m) {}
    void finish(Result value) {
      std::lock_guard lock(mutex);
      finished = true;
      if (dropped) return;
      result = std::move(value);
      if (!::PostMessageW(window, message, 0, 0)) TraceLastError({L"PostMessageW, background call's result ", Hex(message)});
    }

    std::mutex mutex;
    HWND window;
    UINT message;
    bool finished = false;
    bool dropped = false;
    std::optional<Result> result;
  };

  std::shared_ptr<Slot> slot_;
};

}  // namespace stickwell::win
