#pragma once
// The loopback HTTP/1.1 server the programs reach through the update page address of the test build
// (http://127.0.0.1:18080/...). One server per test: it listens from construction to destruction, serves
// the routes the test sets, records every request, and fails on purpose in the ways real servers and
// networks do.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

enum class Fault {
  None,             // a well-formed response with its Content-Length
  NoContentLength,  // the body ends where the connection closes
  ShortBody,        // announces the whole body, sends `faultAfter` bytes of it, closes
  StallHeaders,     // reads the request, then says nothing for `stallMs` and closes
  StallBody,        // sends the headers and `faultAfter` body bytes, then nothing for `stallMs`
  Trickle,          // sends `trickleBytes` of the body every `trickleMs` until it ends
  Garbage,          // sends the body alone: no status line, no headers
  LengthNeverSent,  // as StallBody, but announces `announcedLength` bytes (2 GiB)
};

struct Response {
  explicit Response(std::string body = {}, Fault fault = Fault::None, size_t faultAfter = 0);
  static Response Status(int status, std::string body = {});
  // The body in `pieces` pieces, `pauseMs` apart.
  static Response Trickling(std::string body, size_t pieces, DWORD pauseMs);

  std::shared_ptr<const std::string> body;
  Fault fault;
  size_t faultAfter;
  int status = 200;
  std::string headers;  // more header lines, each ending in "\r\n"
  DWORD stallMs = 0;    // 0: twice the programs' HTTP time-out
  DWORD trickleMs = 500;
  size_t trickleBytes = 1;
  uint64_t announcedLength = uint64_t{2} << 30;
};

struct Request {
  std::string path;  // as sent, query included
  std::string head;  // the request line and headers
  ULONGLONG at;      // when it had come in whole (GetTickCount64)
};

class TestServer {
 public:
  // Listens on the port of the update page address; retries briefly while the previous test's server
  // still holds it.
  TestServer();
  // Stops listening, cuts every open connection (stalls included) and joins every thread.
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  bool listening() const;
  // What a GET of `path` ("/update.html") answers from now on; unknown paths answer 404.
  void route(const std::string& path, Response response);
  // Every request received so far, in arrival order.
  std::vector<Request> requests() const;
  size_t requestsFor(const std::string& path) const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// The update page's address, which is also the official site, its path ("/update.html"), and the
// address of another path on the same server.
std::string UpdatePageAddress();
std::string UpdatePagePath();
std::wstring ServerUrl(std::string_view path);

// The TLS servers that scripts/netns-run.sh puts in front of this one, by the certificate each shows
// (scripts/tls-certificates.sh): only the test prefix trusts their authority.
enum class Certificate { Trusted, Expired, OtherHost, SelfSigned };
// https://localhost:<port><path>, through the TLS server that shows `certificate`.
std::wstring SecureUrl(std::string_view path, Certificate certificate = Certificate::Trusted);

// `size` bytes of a fixed pseudo-random pattern (NULs, CR, LF and high bytes among them).
std::string PatternBytes(size_t size, unsigned seed = 1);

}  // namespace e2e
