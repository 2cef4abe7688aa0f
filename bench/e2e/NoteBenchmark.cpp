// Start-up time and memory of a note against a bare Win32 window program, both started the same way
// under the same system in one run; see README.md here.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "harness/System.h"
#include "harness/Wait.h"
#include "harness/Windows.h"

namespace e2e {
namespace {

// A process start under Wine varies by tens of milliseconds from one to the next: fewer runs leave the
// median ratio several hundredths apart from one benchmark run to the next.
constexpr int kRuns = 41;

// The visible top-level window of the process that has the keyboard focus in it, or nullptr.
HWND WindowTakingKeys(DWORD processId) {
  for (HWND window : Windows(nullptr, nullptr, processId)) {
    if (!::IsWindowVisible(window)) continue;
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(thread, &info) || !info.hwndFocus) continue;
    if (info.hwndFocus != window && !::IsChild(window, info.hwndFocus)) continue;
    // Its thread is in its message loop: keys would be read.
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) return window;
  }
  return nullptr;
}

struct Measurement {
  double startMs = 0;
  double privateKb = 0;
};

// Wine leaves a process's private bytes at zero, so they are read where Wine keeps them: the private
// pages of the Linux process in smaps_rollup (Private_Dirty). Pages it only read from a file are not
// private bytes on Windows either.
double PrivateKilobytes(const ProgramDir& dir, const wchar_t* exe) {
  return static_cast<double>(LinuxFigure(LinuxProcessOf(dir.file(exe)), L"smaps_rollup", "Private_Dirty:"));
}

Measurement Measure(const ProgramDir& dir, const wchar_t* exe) {
  LARGE_INTEGER frequency, begin, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&begin);
  Process process = StartProgram(dir.file(exe));
  EXPECT_TRUE(process.handle);
  bool ready = false;
  for (int i = 0; i < 20000 && !(ready = WindowTakingKeys(process.id) != nullptr); ++i) ::Sleep(1);
  ::QueryPerformanceCounter(&end);
  EXPECT_TRUE(ready) << "no window taking keys";

  Pause(1000);  // idle
  const double privateKb = PrivateKilobytes(dir, exe);
  process.terminate();
  return {1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart),
          privateKb};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

TEST(NoteBenchmark, StartupAndMemoryAgainstABareWindow) {
  ProgramDir dir({L"Stickwell.exe", L"BareWindow.exe"});
  std::vector<double> noteMs, bareMs, noteKb, bareKb;
  Measure(dir, L"BareWindow.exe");  // warm the file cache for both
  Measure(dir, L"Stickwell.exe");
  for (int run = 0; run < kRuns; ++run) {
    const Measurement bare = Measure(dir, L"BareWindow.exe");
    const Measurement note = Measure(dir, L"Stickwell.exe");
    bareMs.push_back(bare.startMs);
    noteMs.push_back(note.startMs);
    bareKb.push_back(bare.privateKb);
    noteKb.push_back(note.privateKb);
  }
  const double startRatio = Median(noteMs) / Median(bareMs);
  const double memoryRatio = Median(noteKb) / Median(bareKb);
  std::cout << "[ bench    ] start-up to taking keys, median of " << kRuns << ": note " << Median(noteMs)
            << " ms, bare window " << Median(bareMs) << " ms, ratio " << startRatio << "\n"
            << "[ bench    ] private bytes when idle, median: note " << Median(noteKb) << " KiB, bare window "
            << Median(bareKb) << " KiB, ratio " << memoryRatio << "\n";
  RecordProperty("startRatio", std::to_string(startRatio));
  RecordProperty("memoryRatio", std::to_string(memoryRatio));
  EXPECT_LE(startRatio, 1.15);
  EXPECT_LE(memoryRatio, 1.25);
}

}  // namespace
}  // namespace e2e
