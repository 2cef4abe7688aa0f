#pragma once
// The loopback HTTP/1.1 server the programs reach through the update page address of the test build
// (http://127.0.0.1:18080/...). One server per test: it listens from construction to destruction, serves
// the routes the test sets, records every request, and can fail on purpose in the ways real servers
// and networks do.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace e2e {

// How a response goes wrong.
enum class Fault {
  None,             // a well-formed response with Content-Length
  NoContentLength,  // no Content-Length: the body ends where the connection closes
  ShortBody,        // announces the whole body's length, sends `faultAfter` body bytes, then closes
  StallHeaders,     // reads the request, then sends nothing until `stallMs` has passed
  StallBody,        // sends the headers and `faultAfter` body bytes, then nothing until `stallMs` has passed
  Trickle,          // sends the headers, then `trickleBytes` body bytes every `trickleMs` until the body ends
  Garbage,          // sends the body bytes alone, no status line or headers, then closes
};

struct Response {
  int status = 200;
  std::vector<std::pair<std::string, std::string>> headers;  // sent in addition to the framing headers
  std::shared_ptr<const std::string> body = std::make_shared<const std::string>();
  Fault fault = Fault::None;
  size_t faultAfter = 0;  // ShortBody, StallBody: body bytes sent before the fault
  DWORD stallMs = 0;      // StallHeaders, StallBody: how long to stay silent; 0 = twice the client's time-out
  DWORD trickleMs = 500;    // Trickle: pause between two pieces of the body
  size_t trickleBytes = 1;  // Trickle: size of a piece

  static Response Ok(std::string body);
  static Response Status(int status, std::string body = {});
  static Response WithFault(Fault fault, std::string body, size_t faultAfter = 0);
};

struct Request {
  std::string method;
  std::string path;  // as sent, query included
  std::vector<std::pair<std::string, std::string>> headers;

  // The value of a header (name compared without case), or an empty string.
  std::string header(std::string_view name) const;
  bool hasHeader(std::string_view name, std::string_view value) const;
};

class TestServer {
 public:
  // Starts listening on 127.0.0.1 at the port of the update page address; retries briefly while
  // the previous test's server still holds it.
  TestServer();
  // Stops listening, cuts every open connection (stalls included) and joins every thread.
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  bool listening() const;

  // What a GET of `path` ("/update.html") answers. Unknown paths answer 404.
  void route(const std::string& path, Response response);

  // Every request received so far, in arrival order.
  std::vector<Request> requests() const;
  std::vector<Request> requestsFor(const std::string& path) const;

  // Connections accepted so far (a request that never arrives still counts).
  size_t acceptedConnections() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// The address of `path` on the test server: "http://127.0.0.1:18080/a.exe" for "/a.exe" or "a.exe".
std::wstring ServerUrl(std::string_view path);
// The path of the update page on the test server ("/update.html").
std::string UpdatePagePath();

// `size` bytes of a fixed pseudo-random pattern (NULs, CR, LF and high bytes among them), for binary bodies.
std::string PatternBytes(size_t size, unsigned seed = 1);

}  // namespace e2e
