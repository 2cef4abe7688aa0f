// What an idle note costs: one note with the pointer away from it (the watcher looks after the note
// file on every tick, ten a second, but writes only what changed) against the same note with the pointer
// on it, 30 s each way, alternating in 10-second turns so that both see the same machine. Goals, with
// the pointer away: no byte written to the disk, and under 0.2 % of one core more than with the pointer
// on the note (the watch timer itself, which runs either way, is the rest). Also the cost of one save
// with and without flushing it to the disk.
//
// Run it alone, on an idle machine (about 85 s):
//   cmake --preset windows-e2e && scripts/bench-e2e.sh --gtest_filter='NoteWatcherBenchmark.*'
//
// Wine reports no CPU times or I/O counters for other processes, so they are read where Linux keeps
// them: /proc/<pid>/stat and /proc/<pid>/io of the note's Linux process, and the CPU time of this Wine
// prefix's wineserver, which does the work of every file call the note makes. A bare window program
// idles beside the note all the while: the floor that any Wine window program costs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "harness/Input.h"
#include "harness/Note.h"
#include "harness/System.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "note/win/ControlIds.h"
#include "shared/win/AtomicFile.h"

namespace e2e {
namespace {

using namespace stickwell::note;

constexpr int kTurns = 3;
constexpr DWORD kTurnMs = 10000;
constexpr double kTicksPerSecond = 100;  // Linux's USER_HZ
constexpr int kSaves = 200;

// A Linux process of this machine by what its command line and environment hold, as its Z:\proc folder.
std::wstring FindLinuxProcess(const std::string& commandPart1, const std::string& commandPart2,
                              const std::string& environmentPart) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::wstring pid;
  do {
    const std::wstring name = found.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const std::string commandLine = ReadBytes(L"Z:\\proc\\" + name + L"\\cmdline").value_or("");
    if (commandLine.find(commandPart1) == std::string::npos || commandLine.find(commandPart2) == std::string::npos)
      continue;
    if (!environmentPart.empty() &&
        ReadBytes(L"Z:\\proc\\" + name + L"\\environ").value_or("").find(environmentPart) == std::string::npos)
      continue;
    pid = L"Z:\\proc\\" + name;
    break;
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return pid;
}

// User plus system time of a Linux process, in milliseconds.
double CpuMs(const std::wstring& process) {
  const std::string stat = ReadBytes(process + L"\\stat").value_or("");
  const size_t end = stat.rfind(')');
  if (end == std::string::npos) return 0;
  // After the command's closing parenthesis: state is field 3, utime field 14, stime field 15.
  const char* p = stat.c_str() + end + 2;
  for (int field = 3; field < 14; ++field) p = std::strchr(p, ' ') + 1;
  char* next = nullptr;
  const double user = std::strtod(p, &next);
  const double system = std::strtod(next, nullptr);
  return (user + system) * 1000.0 / kTicksPerSecond;
}

// Bytes a Linux process has caused to be written to the disk.
double DiskWriteKb(const std::wstring& process) { return static_cast<double>(LinuxFigure(process, L"io", "write_bytes:")) / 1024; }

struct Processes {
  std::wstring note, server, bare;
};

struct Cpu {
  double noteMs = 0, serverMs = 0, bareMs = 0, noteDiskKb = 0;
  Cpu& operator+=(const Cpu& o) {
    noteMs += o.noteMs;
    serverMs += o.serverMs;
    bareMs += o.bareMs;
    noteDiskKb += o.noteDiskKb;
    return *this;
  }
};

Cpu Measure(const Processes& p, POINT pointer) {
  MoveTo(pointer);
  Pause(500);
  const Cpu before{CpuMs(p.note), CpuMs(p.server), CpuMs(p.bare), DiskWriteKb(p.note)};
  ::Sleep(kTurnMs);  // this process does nothing meanwhile
  return {CpuMs(p.note) - before.noteMs, CpuMs(p.server) - before.serverMs, CpuMs(p.bare) - before.bareMs,
          DiskWriteKb(p.note) - before.noteDiskKb};
}

// The note's save without its flush: the same temporary file and move.
bool SaveWithoutFlush(const std::wstring& target, const std::string& bytes) {
  const std::wstring temp = target + L".saving";
  HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

double OwnCpuMs() {
  FILETIME created, ended, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
  auto ms = [](FILETIME t) { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4; };
  return ms(kernel) + ms(user);
}

struct SaveCost {
  double wallMs = 0, cpuMs = 0, serverMs = 0;  // per save
};

template <typename Save>
SaveCost TimeSaves(const std::wstring& server, Save save) {
  LARGE_INTEGER frequency, begin, end;
  ::QueryPerformanceFrequency(&frequency);
  const double cpu0 = OwnCpuMs(), server0 = CpuMs(server);
  ::QueryPerformanceCounter(&begin);
  for (int i = 0; i < kSaves; ++i) EXPECT_TRUE(save());
  ::QueryPerformanceCounter(&end);
  const double wall =
      1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
  return {wall / kSaves, (OwnCpuMs() - cpu0) / kSaves, (CpuMs(server) - server0) / kSaves};
}

TEST(NoteWatcherBenchmark, IdleWithThePointerAwayAgainstTheSameNoteWithThePointerOnIt) {
  ProgramDir dir({L"Stickwell.exe", L"BareWindow.exe"});
  Process bare = StartProgram(dir.file(L"BareWindow.exe"));
  HWND bareWindow = WaitForWindow(L"BareWindow", L"Bare", bare.id);
  ASSERT_NE(bareWindow, nullptr);
  ::SetWindowPos(bareWindow, nullptr, 1000, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  MoveTo({900, 900});
  const Note started(dir);
  ASSERT_TRUE(started.started());
  HWND note = started.window;
  const std::wstring noteFile = started.file;
  // A note as people write them: a title and ten lines.
  std::wstring body;
  for (int line = 1; line <= 10; ++line) body += L"第" + std::to_wstring(line) + L"项: 买牛奶和面包, call Tom at 5\r\n";
  started.setText(kBodyId, body);
  const std::string record = GbkRecord(L"", body);
  ASSERT_TRUE(FileHolds(noteFile, record));

  wchar_t prefix[MAX_PATH] = L"";
  ::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
  // Other Wine prefixes on the machine run wineservers of their own.
  const Processes processes{LinuxProcessOf(dir.file(L"Stickwell.exe")),
                            FindLinuxProcess("wineserver", "", "WINEPREFIX=" + Utf8(prefix) + std::string(1, '\0')),
                            LinuxProcessOf(dir.file(L"BareWindow.exe"))};
  ASSERT_FALSE(processes.note.empty()) << "the note's Linux process was not found";
  ASSERT_FALSE(processes.server.empty()) << "this prefix's wineserver was not found";
  ASSERT_FALSE(processes.bare.empty()) << "the bare window's Linux process was not found";

  const POINT onNote = CenterOf(WindowRectOf(NoteControl(note, kBodyId)));
  const POINT away{900, 900};
  Cpu inside, outside;
  for (int turn = 0; turn < kTurns; ++turn) {
    inside += Measure(processes, onNote);
    outside += Measure(processes, away);
  }
  EXPECT_EQ(ReadBytes(noteFile), record);
  const double seconds = kTurns * kTurnMs / 1000.0;
  const auto percent = [&](double ms) { return ms / seconds / 10; };  // of one core
  const double awayPercent = percent(outside.noteMs), watchingPercent = percent((outside.noteMs + outside.serverMs) - (inside.noteMs + inside.serverMs));
  std::cout << "[ bench    ] idle note, " << seconds << " s each way, record of " << record.size() << " bytes\n"
            << "[ bench    ] pointer on the note: note " << percent(inside.noteMs) << " % of a core, wineserver "
            << percent(inside.serverMs) << " %, bare window " << percent(inside.bareMs) << " %; note wrote "
            << inside.noteDiskKb * 1024 / seconds << " bytes/s to the disk\n"
            << "[ bench    ] pointer away:        note " << awayPercent << " % of a core, wineserver "
            << percent(outside.serverMs) << " %, bare window " << percent(outside.bareMs) << " %; note wrote "
            << outside.noteDiskKb * 1024 / seconds << " bytes/s to the disk\n"
            << "[ bench    ] ratio away / on the note: note " << outside.noteMs / inside.noteMs << ", note + wineserver "
            << (outside.noteMs + outside.serverMs) / (inside.noteMs + inside.serverMs) << "; watching from away costs "
            << watchingPercent << " % of a core more\n";
  RecordProperty("awayPercentOfOneCore", std::to_string(awayPercent));
  RecordProperty("awayMorePercentOfOneCore", std::to_string(watchingPercent));
  RecordProperty("awayBytesPerSecond", std::to_string(outside.noteDiskKb * 1024 / seconds));

  // One save in the same folder by this process: the note's own write (flushed) against the same
  // write left to the system's cache.
  const std::wstring target = dir.file(L"bench.txt");
  const SaveCost flushed = TimeSaves(processes.server, [&] { return stickwell::win::ReplaceFileContents(target, record); });
  const SaveCost cached = TimeSaves(processes.server, [&] { return SaveWithoutFlush(target, record); });
  std::cout << "[ bench    ] one save, mean of " << kSaves << ": flushed " << flushed.wallMs << " ms wall, "
            << flushed.cpuMs << " ms CPU + " << flushed.serverMs << " ms wineserver; unflushed " << cached.wallMs
            << " ms wall, " << cached.cpuMs << " ms CPU + " << cached.serverMs << " ms wineserver\n";
  EXPECT_EQ(outside.noteDiskKb, 0) << "an idle note wrote to the disk";
  EXPECT_LT(watchingPercent, 0.2);
}

}  // namespace
}  // namespace e2e
