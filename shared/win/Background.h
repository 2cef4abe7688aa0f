#pragma once
// Work that runs beside the calling thread, on the system's thread pool.
//
// The pool keeps its threads for the next piece of work. A thread of our own takes milliseconds to start
// under Wine (every loaded DLL hears of it): a download started two of them, one after the other,
// before its request went out. Work that blocks for long, as a WinINet call may, is fine here: the pool
// adds a thread when all of its threads are busy.
#include <windows.h>

#include <functional>

#include "shared/win/WinHandles.h"

namespace stickwell::win {

// Queues `work` and returns at once; false (traced) when it could not be queued. An exception that
// leaves `work` is traced under `what` and goes no further.
bool RunInBackground(std::function<void()> work, const wchar_t* what);

// Work in the background that its owner waits for, as for a thread it joins: wait() (and the
// destructor) return once the work has returned. Like a thread that cannot start, a task that cannot be
// queued throws std::runtime_error from its constructor.
class BackgroundTask {
 public:
  BackgroundTask(std::function<void()> work, const wchar_t* what);
  ~BackgroundTask() { wait(); }
  BackgroundTask(const BackgroundTask&) = delete;
  BackgroundTask& operator=(const BackgroundTask&) = delete;

  void wait();

 private:
  UniqueHandle done_;
};

}  // namespace stickwell::win
