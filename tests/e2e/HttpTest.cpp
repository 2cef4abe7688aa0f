// Every way the test server can fail is seen by the programs' HTTP client as the failure it is; good
// pages and files arrive byte for byte, never from a cache.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "BuildConfig.h"
#include "harness/Files.h"
#include "harness/ProgramDir.h"
#include "harness/TestServer.h"
#include "harness/Wait.h"
#include "shared/win/AsyncCall.h"
#include "shared/win/Connection.h"
#include "shared/win/HttpDownload.h"
#include "shared/win/HttpFetch.h"
#include "shared/win/UpdatePageFetch.h"

// Readable names in failure messages.
namespace stickwell::win {
inline void PrintTo(FetchStatus status, std::ostream* out) {
  constexpr const char* kNames[] = {"Ok", "NotConnected", "Failed"};
  *out << kNames[static_cast<int>(status)];
}
inline void PrintTo(DownloadOutcome outcome, std::ostream* out) {
  constexpr const char* kNames[] = {"Complete", "Incomplete", "TimedOut", "HttpError", "Failed", "FileError"};
  *out << kNames[static_cast<int>(outcome)];
}
}  // namespace stickwell::win

namespace e2e {
namespace {

using stickwell::win::AsyncCall;
using stickwell::win::DownloadEvent;
using stickwell::win::DownloadOutcome;
using stickwell::win::DownloadResult;
using stickwell::win::FetchResult;
using stickwell::win::FetchStatus;
using stickwell::win::HttpDownload;

constexpr DWORD kTimeoutMs = stickwell::config::kHttpTimeoutMs;
constexpr UINT kFetched = WM_APP + 1;
constexpr UINT kDownload = WM_APP + 16;
// A fresh folder for downloaded files, without the programs.
const std::vector<std::wstring> kNoPrograms;

// A message-only window on the test thread that stands in for a program's window: it records what is
// posted to it and lets the test react the moment a message is handled, as a window procedure would.
class MessageSink {
 public:
  MessageSink() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"StickwellTestSink";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~MessageSink() { ::DestroyWindow(hwnd_); }
  MessageSink(const MessageSink&) = delete;
  MessageSink& operator=(const MessageSink&) = delete;

  HWND hwnd() const { return hwnd_; }
  std::function<void(UINT, WPARAM)> onMessage;
  size_t count(UINT message, WPARAM wParam) const {
    size_t n = 0;
    for (const auto& [m, w] : received_) n += m == message && w == wParam;
    return n;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessageSink*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message >= WM_APP) {
      self->received_.emplace_back(message, wParam);
      if (self->onMessage) self->onMessage(message, wParam);
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }

  HWND hwnd_ = nullptr;
  std::vector<std::pair<UINT, WPARAM>> received_;
};

struct Http : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(server.listening()) << "the test server could not bind its port"; }
  TestServer server;
};

// --- Whole pages -------------------------------------------------------------------------------

struct PageCase {
  const char* name;
  Response response;
  bool ok;
  std::string expectedBody;  // when ok
};

std::vector<PageCase> PageCases() {
  const std::string binary = PatternBytes(300 * 1024);
  const std::string page = Utf8(L"<p>Ver13.04.21</p><p>更新日志</p><p>修复了若干问题</p><p>消息推送：开</p>");
  Response redirect = Response::Status(302);
  redirect.headers = {{"Location", "/binary.bin"}};
  Response silentClose = Response::WithFault(Fault::StallHeaders, "");
  silentClose.stallMs = 200;  // then the server closes without a word
  return {
      {"binary body byte for byte", Response::Ok(binary), true, binary},
      {"UTF-8 page byte for byte", Response::Ok(page), true, page},
      {"empty body", Response::Ok(""), true, ""},
      {"no Content-Length: body up to the close", Response::WithFault(Fault::NoContentLength, page), true, page},
      {"redirect followed", redirect, true, binary},
      {"404", Response::Status(404, "not here"), false, {}},
      {"500", Response::Status(500, "broken"), false, {}},
      {"body shorter than its Content-Length", Response::WithFault(Fault::ShortBody, binary, 1000), false, {}},
      {"body cut before any byte", Response::WithFault(Fault::ShortBody, page, 0), false, {}},
      {"garbage instead of HTTP", Response::WithFault(Fault::Garbage, PatternBytes(5000, 7)), false, {}},
      {"garbage with line breaks", Response::WithFault(Fault::Garbage, "Hello\r\nVer13.04.21\r\n\r\n更新"), false, {}},
      {"closed without an answer", silentClose, false, {}},
  };
}

TEST_F(Http, FetchReturnsWholeGoodBodiesAndFailsOnEveryFault) {
  const auto cases = PageCases();
  server.route("/binary.bin", cases[0].response);
  for (size_t i = 0; i < cases.size(); ++i) server.route("/case" + std::to_string(i), cases[i].response);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const FetchResult result = stickwell::win::FetchUrl(ServerUrl("/case" + std::to_string(i)));
    if (cases[i].ok) {
      ASSERT_EQ(result.status, FetchStatus::Ok);
      EXPECT_TRUE(result.body == cases[i].expectedBody) << "body of " << result.body.size() << " bytes differs";
    } else {
      EXPECT_EQ(result.status, FetchStatus::Failed);
      EXPECT_TRUE(result.body.empty());
    }
  }
}

TEST_F(Http, RequestsBypassEveryCache) {
  Response first = Response::Ok("first");
  first.headers = {{"Cache-Control", "max-age=3600"}, {"Set-Cookie", "id=1"}};
  server.route("/page", first);
  ASSERT_EQ(stickwell::win::FetchUrl(ServerUrl("/page")).body, "first");
  server.route("/page", Response::Ok("second"));
  EXPECT_EQ(stickwell::win::FetchUrl(ServerUrl("/page")).body, "second") << "the second fetch came from a cache";

  const auto requests = server.requestsFor("/page");
  ASSERT_EQ(requests.size(), 2u);
  for (const auto& request : requests) {
    EXPECT_EQ(request.method, "GET");
    EXPECT_TRUE(request.hasHeader("Pragma", "no-cache"));
    EXPECT_TRUE(request.hasHeader("Cache-Control", "no-cache"));
    EXPECT_EQ(request.header("Cookie"), "") << "a cookie was stored and sent back";
    EXPECT_EQ(request.header("If-Modified-Since"), "");
  }
}

// --- The update page, delivered to a window ------------------------------------------------------

TEST_F(Http, UpdatePageArrivesAtTheWindowAsBytesAndAsAnsiText) {
  ASSERT_TRUE(stickwell::win::IsConnected()) << "the online namespace must look connected";
  const std::wstring page = L"<p>Ver13.04.21</p><p>更新日志</p>";
  MessageSink sink;

  server.route(UpdatePagePath(), Response::Ok(Utf8(page)));
  AsyncCall<FetchResult> bytes;
  bytes.start(sink.hwnd(), kFetched, stickwell::win::FetchUpdatePage);
  ASSERT_TRUE(WaitUntil([&] { return sink.count(kFetched, 0) == 1; }, 2 * kTimeoutMs));
  auto fetched = bytes.take();
  ASSERT_TRUE(fetched);
  EXPECT_EQ(fetched->status, FetchStatus::Ok);
  EXPECT_EQ(fetched->body, Utf8(page));
  EXPECT_FALSE(bytes.take()) << "a result is handed out once";
  EXPECT_EQ(server.requestsFor(UpdatePagePath()).size(), 1u);
}

TEST_F(Http, DroppedCallPostsNothing) {
  Response slow = Response::WithFault(Fault::StallBody, "slow page", 4);
  slow.stallMs = 300;
  server.route("/slow", slow);
  MessageSink sink;
  {
    AsyncCall<FetchResult> call;
    call.start(sink.hwnd(), kFetched, [] { return stickwell::win::FetchUrl(ServerUrl("/slow")); });
    EXPECT_TRUE(call.running());
  }  // the owner goes away, as a closed window's member does
  AsyncCall<FetchResult> replaced;
  replaced.start(sink.hwnd(), kFetched, [] { return stickwell::win::FetchUrl(ServerUrl("/slow")); });
  replaced.start(sink.hwnd(), kFetched + 1, [] { return FetchResult{FetchStatus::Ok, "now"}; });
  ASSERT_TRUE(WaitUntil([&] { return sink.count(kFetched + 1, 0) == 1; }));
  EXPECT_EQ(replaced.take()->body, "now");
  Pause(1000);  // both dropped fetches have ended by now
  EXPECT_EQ(sink.count(kFetched, 0), 0u);
}

// --- Downloads ---------------------------------------------------------------------------------

// Drives one download from a window's point of view and records what the window saw.
struct DownloadRun {
  std::vector<uint64_t> progress;  // received, at every Started and Progress message
  std::optional<uint64_t> announcedLength;
  size_t started = 0;
  std::optional<DownloadResult> result;
};

DownloadRun RunDownload(HttpDownload& download, const std::wstring& url, const std::wstring& file) {
  MessageSink sink;
  DownloadRun run;
  sink.onMessage = [&](UINT, WPARAM event) {
    switch (static_cast<DownloadEvent>(event)) {
      case DownloadEvent::Started:
        ++run.started;
        run.announcedLength = download.progress().contentLength;
        run.progress.push_back(download.progress().received);
        break;
      case DownloadEvent::Progress:
        run.progress.push_back(download.progress().received);
        break;
      case DownloadEvent::Finished:
        run.result = download.takeResult();
        break;
    }
  };
  download.start(sink.hwnd(), kDownload, url, file);
  WaitUntil([&] { return sink.count(kDownload, static_cast<WPARAM>(DownloadEvent::Finished)) > 0; }, 3 * kTimeoutMs);
  Pause(150);  // nothing may follow Finished
  EXPECT_EQ(sink.count(kDownload, static_cast<WPARAM>(DownloadEvent::Finished)), 1u);
  return run;
}

TEST_F(Http, DownloadWritesTheWholeFileAndReportsItsLengthAndProgress) {
  ProgramDir dir(kNoPrograms);
  const std::string body = PatternBytes(6 * 1024 * 1024, 3);
  Response slow = Response::WithFault(Fault::Trickle, body);  // slow enough for several progress reports
  slow.trickleBytes = 1024 * 1024;
  slow.trickleMs = 150;
  server.route("/Stickwell.exe", slow);
  const std::wstring file = dir.file(L"Stickwell.exe.partial");
  ASSERT_TRUE(WriteBytes(file, std::string(8 * 1024 * 1024, 'o')));  // an older, longer file is replaced

  HttpDownload download;
  const DownloadRun run = RunDownload(download, ServerUrl("/Stickwell.exe"), file);
  ASSERT_TRUE(run.result);
  EXPECT_EQ(run.result->outcome, DownloadOutcome::Complete);
  EXPECT_EQ(run.result->received, body.size());
  EXPECT_EQ(run.result->contentLength, body.size());
  EXPECT_EQ(run.result->httpStatus, 200u);
  EXPECT_EQ(run.started, 1u);
  EXPECT_EQ(run.announcedLength, body.size());
  EXPECT_GE(run.progress.size(), 3u) << "progress was not reported while the file arrived";
  EXPECT_LE(run.progress.size(), 40u) << "progress messages flood the window";
  for (size_t i = 1; i < run.progress.size(); ++i) EXPECT_LE(run.progress[i - 1], run.progress[i]);
  EXPECT_FALSE(download.running());
  EXPECT_TRUE(ReadBytes(file) == body) << "the file is not exactly the body";

  const auto requests = server.requestsFor("/Stickwell.exe");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].hasHeader("Pragma", "no-cache"));
  EXPECT_TRUE(requests[0].hasHeader("Cache-Control", "no-cache"));
}

struct DownloadCase {
  const char* name;
  Response response;
  DownloadOutcome outcome;
  uint64_t received;
  std::optional<uint64_t> contentLength;
  DWORD httpStatus;
  bool fileWritten;
};

TEST_F(Http, DownloadReportsEveryFaultPrecisely) {
  const std::string body = PatternBytes(700 * 1024, 5);
  const std::vector<DownloadCase> cases = {
      {"no Content-Length: complete at the close", Response::WithFault(Fault::NoContentLength, body),
       DownloadOutcome::Complete, body.size(), std::nullopt, 200, true},
      {"short body", Response::WithFault(Fault::ShortBody, body, 300000), DownloadOutcome::Incomplete, 300000,
       body.size(), 200, true},
      {"404", Response::Status(404, "missing"), DownloadOutcome::HttpError, 0, std::nullopt, 404, false},
      {"503", Response::Status(503, "busy"), DownloadOutcome::HttpError, 0, std::nullopt, 503, false},
      {"garbage", Response::WithFault(Fault::Garbage, body), DownloadOutcome::Failed, 0, std::nullopt, 0, false},
  };
  ProgramDir dir(kNoPrograms);
  for (size_t i = 0; i < cases.size(); ++i) {
    const DownloadCase& c = cases[i];
    SCOPED_TRACE(c.name);
    const std::string path = "/file" + std::to_string(i);
    server.route(path, c.response);
    const std::wstring file = dir.file(L"file" + std::to_wstring(i));
    ASSERT_TRUE(WriteBytes(file, "previous content"));

    HttpDownload download;
    const DownloadRun run = RunDownload(download, ServerUrl(path), file);
    ASSERT_TRUE(run.result);
    EXPECT_EQ(run.result->outcome, c.outcome);
    EXPECT_EQ(run.result->received, c.received);
    EXPECT_EQ(run.result->contentLength, c.contentLength);
    EXPECT_EQ(run.result->httpStatus, c.httpStatus);
    EXPECT_EQ(run.started, c.fileWritten ? 1u : 0u);
    const auto onDisk = ReadBytes(file);
    ASSERT_TRUE(onDisk);
    if (c.fileWritten) {
      EXPECT_TRUE(*onDisk == body.substr(0, c.received)) << "the file does not hold exactly what arrived";
    } else {
      EXPECT_EQ(*onDisk, "previous content") << "a failed response touched the file";
    }
  }
}

TEST_F(Http, CancelledDownloadPostsNothingMoreAndReleasesItsFile) {
  ProgramDir dir(kNoPrograms);
  Response stalled = Response::WithFault(Fault::StallBody, PatternBytes(400000), 200000);
  stalled.stallMs = 1000;
  server.route("/stalled", stalled);
  MessageSink sink;
  const std::wstring file = dir.file(L"stalled.partial");
  HttpDownload download;
  download.start(sink.hwnd(), kDownload, ServerUrl("/stalled"), file);
  ASSERT_TRUE(WaitUntil([&] { return download.progress().received > 0; }));
  download.cancel();
  const size_t before = sink.count(kDownload, static_cast<WPARAM>(DownloadEvent::Finished));
  EXPECT_FALSE(download.running());
  EXPECT_TRUE(::DeleteFileW(file.c_str())) << "the cancelled download still holds its file";
  Pause(1300);  // the server has closed the connection meanwhile
  EXPECT_EQ(sink.count(kDownload, static_cast<WPARAM>(DownloadEvent::Finished)), before);
  EXPECT_EQ(before, 0u);
  EXPECT_FALSE(download.takeResult());
  EXPECT_FALSE(FileExists(file)) << "the abandoned transfer wrote on after the cancel";
}

// --- Stalls: the time-out holds in every phase ----------------------------------------------------

// A silent server must end in a failure soon after the time-out, not before (then something else went
// wrong) and not much after (WinINet under Wine does not time out by itself).
void ExpectEndsAtTheTimeOut(ULONGLONG elapsedMs) {
  EXPECT_GE(elapsedMs + 150, kTimeoutMs) << "failed before the time-out: not the stall that ended it";
  EXPECT_LE(elapsedMs, kTimeoutMs + 1500) << "the client waited far beyond its time-out";
}

TEST_F(Http, StalledFetchFailsWithinTheTimeOut) {
  const std::string page = PatternBytes(20000, 9);
  Response trickle = Response::WithFault(Fault::Trickle, page);  // never silent, never done in time
  trickle.trickleMs = 400;
  const std::vector<std::pair<const char*, Response>> stalls = {
      {"silent before the headers", Response::WithFault(Fault::StallHeaders, page)},
      {"silent in the body", Response::WithFault(Fault::StallBody, page, 1000)},
      {"trickling body", trickle},
  };
  // All at once, each on its own worker as a window would run them, so the suite waits one time-out.
  MessageSink sink;
  std::vector<std::unique_ptr<AsyncCall<FetchResult>>> calls;
  const ULONGLONG start = ::GetTickCount64();
  for (size_t i = 0; i < stalls.size(); ++i) {
    const std::string path = "/stall" + std::to_string(i);
    server.route(path, stalls[i].second);
    calls.push_back(std::make_unique<AsyncCall<FetchResult>>());
    calls.back()->start(sink.hwnd(), kFetched + static_cast<UINT>(i), [path] {
      return stickwell::win::FetchUrl(ServerUrl(path));
    });
  }
  std::vector<ULONGLONG> elapsed(stalls.size(), 0);
  sink.onMessage = [&](UINT message, WPARAM) { elapsed[message - kFetched] = ::GetTickCount64() - start; };
  WaitUntil([&] { return std::all_of(elapsed.begin(), elapsed.end(), [](ULONGLONG e) { return e > 0; }); },
            3 * kTimeoutMs);
  for (size_t i = 0; i < stalls.size(); ++i) {
    SCOPED_TRACE(stalls[i].first);
    ASSERT_GT(elapsed[i], 0u) << "no result within three time-outs";
    const auto result = calls[i]->take();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, FetchStatus::Failed);
    ExpectEndsAtTheTimeOut(elapsed[i]);
  }
}

TEST_F(Http, StalledDownloadTimesOutButASlowOneFinishes) {
  ProgramDir dir(kNoPrograms);
  const std::string body = PatternBytes(6 * 66000, 11);
  server.route("/silent", Response::WithFault(Fault::StallHeaders, body));
  server.route("/halfway", Response::WithFault(Fault::StallBody, body, 150000));
  // Slower in total than the time-out, but never silent for as long: a big file on a slow line.
  Response slow = Response::WithFault(Fault::Trickle, body);
  slow.trickleBytes = body.size() / 6;  // six pieces: five pauses of under a quarter time-out each
  slow.trickleMs = kTimeoutMs * 9 / 40;
  server.route("/slow", slow);

  // All three at once, so the suite waits one time-out.
  HttpDownload silent, halfway, moving;
  MessageSink sink;
  const ULONGLONG start = ::GetTickCount64();
  std::vector<ULONGLONG> finished(3, 0);
  HttpDownload* downloads[] = {&silent, &halfway, &moving};
  sink.onMessage = [&](UINT message, WPARAM event) {
    if (static_cast<DownloadEvent>(event) == DownloadEvent::Finished)
      finished[message - kDownload] = ::GetTickCount64() - start;
    (void)downloads[message - kDownload]->progress();  // read the numbers, as a window does
  };
  silent.start(sink.hwnd(), kDownload, ServerUrl("/silent"), dir.file(L"silent"));
  halfway.start(sink.hwnd(), kDownload + 1, ServerUrl("/halfway"), dir.file(L"halfway"));
  moving.start(sink.hwnd(), kDownload + 2, ServerUrl("/slow"), dir.file(L"slow"));
  WaitUntil([&] { return std::all_of(finished.begin(), finished.end(), [](ULONGLONG e) { return e > 0; }); },
            3 * kTimeoutMs);

  const auto silentResult = silent.takeResult();
  ASSERT_TRUE(silentResult);
  EXPECT_EQ(silentResult->outcome, DownloadOutcome::TimedOut);
  EXPECT_EQ(silentResult->received, 0u);
  ExpectEndsAtTheTimeOut(finished[0]);

  const auto halfwayResult = halfway.takeResult();
  ASSERT_TRUE(halfwayResult);
  EXPECT_EQ(halfwayResult->outcome, DownloadOutcome::TimedOut);
  // What is in the file when the time-out strikes; a read still waiting for more holds back the rest.
  EXPECT_GT(halfwayResult->received, 0u);
  EXPECT_LE(halfwayResult->received, 150000u);
  EXPECT_TRUE(ReadBytes(dir.file(L"halfway")) == body.substr(0, halfwayResult->received));
  EXPECT_EQ(halfwayResult->contentLength, body.size());
  EXPECT_EQ(halfwayResult->httpStatus, 200u);
  ExpectEndsAtTheTimeOut(finished[1]);

  const auto slowResult = moving.takeResult();
  ASSERT_TRUE(slowResult);
  EXPECT_EQ(slowResult->outcome, DownloadOutcome::Complete);
  EXPECT_GT(finished[2], kTimeoutMs) << "the slow download was not slower than the time-out";
  EXPECT_TRUE(ReadBytes(dir.file(L"slow")) == body);
}

// --- Connection state --------------------------------------------------------------------------

// Runs where the machine has loopback only: the connection query says so, and the update page is not
// even asked for. Loopback itself still works, which the updater's download window relies on.
TEST(OfflineHttp, UpdatePageIsNotRequestedWithoutAConnection) {
  ASSERT_NE(std::getenv("STICKWELL_E2E_OFFLINE"), nullptr) << "run this test only through scripts/e2e.sh";
  TestServer server;
  ASSERT_TRUE(server.listening());
  server.route(UpdatePagePath(), Response::Ok("Ver13.04.21"));

  EXPECT_FALSE(stickwell::win::IsConnected());
  EXPECT_EQ(stickwell::win::FetchUpdatePage().status, FetchStatus::NotConnected);
  EXPECT_EQ(server.acceptedConnections(), 0u) << "a request went out although the machine is offline";

  const FetchResult direct = stickwell::win::FetchUrl(stickwell::win::UpdatePageUrl());
  EXPECT_EQ(direct.status, FetchStatus::Ok);
  EXPECT_EQ(direct.body, "Ver13.04.21");
}

}  // namespace
}  // namespace e2e
