// Throughput of the updater's download code against curl, on the same 64 MiB file from the same loopback
// server in the same run: once through the download code alone, once through the updater's download
// window as a user runs it. Run them with bench/download-vs-curl.sh.
//
// curl is a Linux program; Wine starts it like any other executable (it runs in the test's network
// namespace), but gives no process handle for it, so curl reports through a result file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/Input.h"
#include "harness/Pages.h"
#include "harness/System.h"
#include "harness/TestServer.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "shared/win/HttpDownload.h"
#include "updater/win/ControlIds.h"

namespace e2e {
namespace {

constexpr size_t kFileBytes = 64 * 1024 * 1024;
constexpr int kRounds = 5;
constexpr UINT kDownload = WM_APP + 40;

std::string UnixPath(const std::wstring& windowsPath) {
  using Convert = char*(CDECL*)(LPCWSTR);
  const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!convert) return {};
  char* path = convert(windowsPath.c_str());
  if (!path) return {};
  std::string result = path;
  ::HeapFree(::GetProcessHeap(), 0, path);
  return result;
}

LRESULT CALLBACK SinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDownload && static_cast<stickwell::win::DownloadEvent>(wParam) ==
                                  stickwell::win::DownloadEvent::Finished) {
    *reinterpret_cast<bool*>(::GetWindowLongPtrW(window, GWLP_USERDATA)) = true;
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// Seconds for one download through HttpDownload, as the updater's window runs it (its SHA-256 taken as it
// comes, the file flushed at the end); < 0 on failure.
double TimeOwnDownload(const std::wstring& url, const std::wstring& file, bool hash) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &SinkProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"StickwellBenchSink";
  ::RegisterClassW(&wc);
  HWND sink = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  bool finished = false;
  ::SetWindowLongPtrW(sink, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&finished));

  stickwell::win::HttpDownload download;
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  download.start(sink, kDownload, url, file, hash);
  WaitUntil([&] { return finished; }, 60000, 1);
  ::QueryPerformanceCounter(&end);
  ::DestroyWindow(sink);
  const auto result = download.takeResult();
  if (!result || !result->complete() || result->received != kFileBytes) return -1;
  return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds curl reports for the same download (its own total time, connection included); < 0 on failure.
double TimeCurl(const std::wstring& url, const std::string& outputUnix, const std::wstring& resultFile) {
  const std::string resultUnix = UnixPath(resultFile);
  const std::string address(url.begin(), url.end());
  std::wstring command = L"/bin/sh -c \"curl -s -o '";
  const std::string script = outputUnix + "' -w '%{time_total} %{size_download}' '" + address + "' > '" +
                             resultUnix + ".tmp' && mv '" + resultUnix + ".tmp' '" + resultUnix + "'\"";
  command += std::wstring(script.begin(), script.end());
  ::DeleteFileW(resultFile.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
    return -1;
  if (process.hThread) ::CloseHandle(process.hThread);
  if (process.hProcess) ::CloseHandle(process.hProcess);
  std::optional<std::string> report;
  WaitUntil([&] { return (report = ReadBytes(resultFile)) && !report->empty(); }, 60000);
  double seconds = -1;
  unsigned long long bytes = 0;
  if (!report || std::sscanf(report->c_str(), "%lf %llu", &seconds, &bytes) != 2 || bytes != kFileBytes) return -1;
  return seconds;
}

double Seconds(ULONGLONG fromMs, ULONGLONG toMs) { return static_cast<double>(toMs - fromMs) / 1000.0; }

// Seconds the download window spends on one 64 MiB file: from its status line naming the file (the
// request goes out) to the countdown that follows the file's completion; < 0 on failure.
double TimeUpdaterWindow() {
  ProgramDir dir;
  const Process updater = dir.start(L"Renewick.exe");
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id);
  if (!offer || !WaitUntil([&] { return IsShown(offer) && ::IsWindowEnabled(::GetDlgItem(offer, stickwell::updater::ids::kUpdate)); }))
    return -1;
  const POINT button = CenterOf(WindowRectOf(::GetDlgItem(offer, stickwell::updater::ids::kUpdate)));
  Click(button);
  ULONGLONG started = 0, finished = 0;
  WaitUntil(
      [&] {
        for (HWND window : Windows(kFormClass, kUpdaterCaption, updater.id)) {
          const std::wstring status = TextOf(::GetDlgItem(window, stickwell::updater::ids::kStatus));
          if (!started && status == L"正在下载 Big.bin") started = ::GetTickCount64();
          if (status.size() >= 4 && std::equal(status.begin(), status.begin() + 4, std::wstring_view(L"更新完成").begin())) {
            finished = ::GetTickCount64();
            return true;
          }
        }
        return false;
      },
      120000, 1);
  const auto written = ReadBytes(dir.file(L"Big.bin"));
  if (!started || !finished || !written || written->size() != kFileBytes) return -1;
  return Seconds(started, finished);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

TEST(DownloadBenchmark, SixtyFourMegabytesAgainstCurl) {
  TestServer server;
  ASSERT_TRUE(server.listening());
  const Response file(PatternBytes(kFileBytes, 64));
  server.route("/bench64.bin", file);
  const std::wstring url = ServerUrl("/bench64.bin");

  ProgramDir dir(std::vector<std::wstring>{});
  const std::wstring ownFile = dir.file(L"own.bin");
  const std::wstring curlFile = dir.file(L"curl.bin");
  const std::string curlFileUnix = UnixPath(curlFile);
  ASSERT_FALSE(curlFileUnix.empty()) << "not running under Wine";

  // Staged and flushed as every download is; hashed as well, as a build with the makers' key does.
  std::vector<double> own, hashed, curl;
  for (int round = -1; round < kRounds; ++round) {  // round -1 warms them up and is not counted
    const double ownSeconds = TimeOwnDownload(url, ownFile, false);
    const double hashedSeconds = TimeOwnDownload(url, ownFile, true);
    const double curlSeconds = TimeCurl(url, curlFileUnix, dir.file(L"curl.result"));
    ASSERT_TRUE(ownSeconds > 0 && hashedSeconds > 0) << "the download failed";
    ASSERT_GT(curlSeconds, 0) << "curl failed";
    if (round >= 0) own.push_back(ownSeconds), hashed.push_back(hashedSeconds), curl.push_back(curlSeconds);
  }
  EXPECT_TRUE(ReadBytes(ownFile) == *file.body);

  const double mib = static_cast<double>(kFileBytes) / (1024 * 1024);
  std::printf("64 MiB over loopback, %d rounds (medians)\n", kRounds);
  std::printf("  HttpDownload:          %.3f s (%.0f MiB/s)\n", Median(own), mib / Median(own));
  std::printf("  HttpDownload + SHA-256: %.3f s (%.0f MiB/s)\n", Median(hashed), mib / Median(hashed));
  std::printf("  curl:                  %.3f s (%.0f MiB/s)\n", Median(curl), mib / Median(curl));
  const double ratio = Median(curl) / Median(own);
  std::printf("  throughput ratio HttpDownload / curl: %.2f; with SHA-256: %.2f\n", ratio, Median(curl) / Median(hashed));
  EXPECT_GE(ratio, 0.9);
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

TEST(DownloadBenchmark, SixtyFourMegabytesThroughTheDownloadWindowAgainstCurl) {
  TestServer server;
  ASSERT_TRUE(server.listening());
  // The page lists Big.bin through a share page that leads to /files/Big.bin.
  ServeUpdate(server, {}, {{L"Big.bin", Response(PatternBytes(kFileBytes, 64))}});

  ProgramDir curlDir(std::vector<std::wstring>{});
  const std::string curlFileUnix = UnixPath(curlDir.file(L"curl.bin"));
  ASSERT_FALSE(curlFileUnix.empty()) << "not running under Wine";

  std::vector<double> window, curl;
  for (int round = -1; round < kRounds; ++round) {  // round -1 warms both up and is not counted
    const double windowSeconds = TimeUpdaterWindow();
    const double curlSeconds = TimeCurl(ServerUrl("/files/Big.bin"), curlFileUnix, curlDir.file(L"curl.result"));
    ASSERT_GT(windowSeconds, 0) << "the update failed";
    ASSERT_GT(curlSeconds, 0) << "curl failed";
    if (round >= 0) {
      window.push_back(windowSeconds);
      curl.push_back(curlSeconds);
    }
  }
  const double mib = static_cast<double>(kFileBytes) / (1024 * 1024);
  std::printf("64 MiB over loopback through the download window (status \"正在下载\" to the countdown), %d rounds\n",
              kRounds);
  std::printf("  download window: median %.3f s (%.0f MiB/s)\n", Median(window), mib / Median(window));
  std::printf("  curl:            median %.3f s (%.0f MiB/s)\n", Median(curl), mib / Median(curl));
  const double ratio = Median(curl) / Median(window);
  std::printf("  throughput ratio download window / curl: %.2f (medians)\n", ratio);
  EXPECT_GE(ratio, 0.9);
}

}  // namespace
}  // namespace e2e
