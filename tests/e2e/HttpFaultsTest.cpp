// Every way a server or a network fails, seen through the programs' own HTTP code as they run it: each
// fault is fetched as a page and downloaded as a file, all at once (so the stalls share one time-out),
// and must come out as the failure it is. Under Wine, WinINet ignores its time-out options and makes up
// "200 OK" for a reply without headers; both once let a stalled server or garbage through.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

#include "BuildConfig.h"
#include "harness/System.h"
#include "harness/TestServer.h"
#include "harness/Wait.h"
#include "shared/win/AsyncCall.h"
#include "shared/win/HttpDownload.h"
#include "shared/win/HttpFetch.h"

namespace e2e {

using namespace stickwell::win;
constexpr DWORD kTimeoutMs = stickwell::config::kHttpTimeoutMs;
constexpr UINT kFetched = WM_APP, kDownload = WM_APP + 100;

// Stands in for a program's window: notes when each message came, and reads a download's numbers at each
// of its messages, as a window does (a download posts no more progress until they have been read).
struct Sink {
  explicit Sink(size_t n) : downloads(n) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
      auto& sink = *reinterpret_cast<Sink*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
      if (message < WM_APP) return ::DefWindowProcW(window, message, wParam, lParam);
      ++sink.count[std::make_pair(message, wParam)], sink.at[std::make_pair(message, wParam)] = ::GetTickCount64();
      return message >= kDownload ? (void)sink.downloads[message - kDownload].progress(), 0 : 0;
    }));
  }
  ~Sink() { ::DestroyWindow(hwnd); }
  HWND hwnd = ::CreateWindowExW(0, L"Message", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  std::map<std::pair<UINT, WPARAM>, ULONGLONG> at, count;  // of each message and wParam
  std::vector<HttpDownload> downloads;
};

constexpr WPARAM kFinished = static_cast<WPARAM>(DownloadEvent::Finished), kProgress = static_cast<WPARAM>(DownloadEvent::Progress);

TEST(HttpFaults, FetchAndDownloadEndInTheFailureEachFaultIs) {
  TestServer server;
  const std::string body = PatternBytes(400 * 1024, 5), none = "previous content";
  const uint64_t size = body.size();
  Response redirect = Response::Status(302), closed(body, Fault::StallHeaders);
  redirect.headers = "Location: /file0\r\n";
  closed.stallMs = 200;
  using enum DownloadOutcome;
  // Each fault; whether the fetch returns the whole body; the download's outcome, bytes received (at most,
  // when it timed out), announced length and status.
  const struct { const char* fault; Response response; bool fetched; DownloadOutcome outcome; uint64_t received; std::optional<uint64_t> contentLength; DWORD status; } rows[] = {
      {"a whole body", Response(body), true, Complete, size, size, 200},
      {"no Content-Length", Response(body, Fault::NoContentLength), true, Complete, size, {}, 200},
      {"an empty body", Response(""), true, Complete, 0, 0, 200},
      {"a redirect", redirect, true, Complete, size, size, 200},
      {"404", Response::Status(404, "gone"), false, HttpError, 0, {}, 404},
      {"503", Response::Status(503, "busy"), false, HttpError, 0, {}, 503},
      {"a body cut short", Response(body, Fault::ShortBody, 300000), false, Incomplete, 300000, size, 200},
      {"garbage", Response(body, Fault::Garbage), false, Failed, 0, {}, 0},
      {"garbage in lines", Response(Utf8(L"Hello\r\nVer13.04.21\r\n\r\n更新"), Fault::Garbage), false, Failed, 0, {}, 0},
      {"closed without a word", closed, false, Failed, 0, {}, 0},
      {"silent before the headers", Response(body, Fault::StallHeaders), false, TimedOut, 0, {}, 0},
      {"silent in the body", Response(body, Fault::StallBody, 150000), false, TimedOut, 150000, size, 200},
      // More than any file of ours: refused before the file is touched.
      {"2 GiB announced, 1000 bytes sent", Response(body, Fault::LengthNeverSent, 1000), false, TooLarge, 0, uint64_t{2} << 30, 200},
      // Slower than the time-out in all, never silent for long: a page that takes so long fails (it
      // would hold up the window's answer), a download goes on.
      {"a slow trickle", Response::Trickling(body, 6, kTimeoutMs * 9 / 40), false, Complete, size, size, 200},
  };
  ProgramDir dir(std::vector<std::wstring>{});
  Sink sink(std::size(rows));
  std::vector<AsyncCall<FetchResult>> fetches(std::size(rows));
  const ULONGLONG start = ::GetTickCount64();
  for (size_t i = 0; i < std::size(rows); ++i) {
    const std::string n = std::to_string(i), page = "/page" + n, file = "/file" + n;
    server.route(page, rows[i].response);
    server.route(file, rows[i].response);
    ASSERT_TRUE(WriteBytes(dir.file(std::to_wstring(i)), none));
    fetches[i].start(sink.hwnd, kFetched + static_cast<UINT>(i), [page] { return FetchUrl(ServerUrl(page)); });
    sink.downloads[i].start(sink.hwnd, kDownload + static_cast<UINT>(i), ServerUrl(file), dir.file(std::to_wstring(i)));
  }
  WaitUntil([&] {
    for (UINT i = 0; i < std::size(rows); ++i)
      if (!sink.count.count(std::make_pair(kFetched + i, 0)) || !sink.count.count(std::make_pair(kDownload + i, kFinished))) return false;
    return true;
  }, 3 * kTimeoutMs);

  // A stall ends not before the time-out (else something else ended it), and not long after the server
  // had the request (WinINet alone would wait for the server for ever).
  const auto atTheTimeOut = [&](const std::string& path, ULONGLONG ended) {
    for (const Request& request : server.requests())
      if (request.path == path) return ended + 150 >= start + kTimeoutMs && ended <= request.at + kTimeoutMs + 1500;
    return false;
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    SCOPED_TRACE(row.fault);
    const UINT fetched = kFetched + static_cast<UINT>(i), downloaded = kDownload + static_cast<UINT>(i);
    const auto page = fetches[i].take();
    const auto result = sink.downloads[i].takeResult();
    ASSERT_TRUE(page && result) << "no answer within three time-outs";
    EXPECT_TRUE(page->status == (row.fetched ? FetchStatus::Ok : FetchStatus::Failed) &&
                page->body == (row.fetched ? body.substr(0, row.received) : ""));
    EXPECT_EQ(static_cast<int>(result->outcome), static_cast<int>(row.outcome));
    EXPECT_TRUE(row.outcome == TimedOut ? result->received <= row.received : result->received == row.received) << result->received;
    EXPECT_TRUE(result->contentLength == row.contentLength && result->httpStatus == row.status);
    EXPECT_EQ((Pause(i ? 0 : 150), sink.count[std::make_pair(downloaded, kFinished)]), 1u) << "nothing may follow a download's Finished";
    // The file is touched only once a 2xx response of a length within bounds has come, and then holds
    // exactly what arrived.
    EXPECT_TRUE(ReadBytes(dir.file(std::to_wstring(i))) == (row.status == 200 && row.outcome != TooLarge ? body.substr(0, result->received) : none));
    const bool slow = row.response.fault == Fault::Trickle || row.outcome == TimedOut;
    EXPECT_TRUE(!slow || atTheTimeOut("/page" + std::to_string(i), sink.at[std::make_pair(fetched, 0)])) << "the page failed after " << sink.at[std::make_pair(fetched, 0)] - start << " ms";
    EXPECT_TRUE(row.outcome != TimedOut || atTheTimeOut("/file" + std::to_string(i), sink.at[std::make_pair(downloaded, kFinished)]));
  }
  // The slow download showed its progress as it came, without flooding the window.
  const UINT slow = kDownload + static_cast<UINT>(std::size(rows) - 1);
  EXPECT_TRUE(sink.count[std::make_pair(slow, kProgress)] >= 3 && sink.count[std::make_pair(slow, kProgress)] <= 40) << sink.count[std::make_pair(slow, kProgress)];
  EXPECT_GT(sink.at[std::make_pair(slow, kFinished)] - start, kTimeoutMs) << "the slow download was not slower than the time-out";

  // No request may be answered from a cache or carry a stored cookie.
  Response cached("first");
  cached.headers = "Cache-Control: max-age=3600\r\nSet-Cookie: id=1\r\n";
  server.route("/cached", cached);
  EXPECT_EQ(FetchUrl(ServerUrl("/cached")).body, "first");
  server.route("/cached", Response("second"));
  EXPECT_EQ(FetchUrl(ServerUrl("/cached")).body, "second") << "the second fetch came from a cache";
  for (const Request& request : server.requests())
    EXPECT_TRUE(request.head.find("\r\nPragma: no-cache") != std::string::npos && request.head.find("\r\nCache-Control: no-cache") != std::string::npos &&
                request.head.find("\r\nCookie:") == std::string::npos && request.head.find("If-Modified-Since") == std::string::npos)
        << request.head;
}

// A window that goes away mid-transfer stops reading: its download and its page fetch post nothing
// more, the file is released at once, and the server is not held up by a client that reads no more.
TEST(HttpFaults, AWindowThatGoesMidTransferHearsNothingMore) {
  TestServer server;
  ProgramDir dir(std::vector<std::wstring>{});
  Response stalled(PatternBytes(4 << 20), Fault::StallBody, 200000);
  stalled.stallMs = 1000;
  server.route("/stalled", stalled);
  Sink sink(1);
  sink.downloads[0].start(sink.hwnd, kDownload, ServerUrl("/stalled"), dir.file(L"stalled.partial"));
  AsyncCall<FetchResult>().start(sink.hwnd, kFetched, [] { return FetchUrl(ServerUrl("/stalled")); });
  ASSERT_TRUE(WaitUntil([&] { return sink.downloads[0].progress().received > 0; }));
  sink.downloads[0].cancel();
  EXPECT_TRUE(::DeleteFileW(dir.file(L"stalled.partial").c_str())) << "the cancelled download still holds its file";
  Pause(1500);  // the server has ended both transfers meanwhile
  EXPECT_TRUE(!sink.count.count(std::make_pair(kDownload, kFinished)) && !sink.count.count(std::make_pair(kFetched, 0)) && !sink.downloads[0].takeResult());
  EXPECT_FALSE(FileExists(dir.file(L"stalled.partial"))) << "the transfer wrote on after the cancel";
}

}  // namespace e2e
