#include "harness/TestServer.h"

#include <winsock2.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "BuildConfig.h"

namespace e2e {
namespace {

void SetTimeout(SOCKET socket, int option, DWORD ms) {
  ::setsockopt(socket, SOL_SOCKET, option, reinterpret_cast<const char*>(&ms), sizeof ms);
}

}  // namespace

struct TestServer::State {
  mutable std::mutex mutex;
  std::map<std::string, Response> routes;
  std::vector<Request> requests;
  std::set<SOCKET> open;  // cut when the server stops
  std::vector<std::thread> threads;
  HANDLE stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SOCKET listener = INVALID_SOCKET;
  std::thread acceptor;

  // Lets up to `ms` pass; false when the server stops meanwhile.
  bool pause(DWORD ms) const { return ::WaitForSingleObject(stopEvent, ms) == WAIT_TIMEOUT; }

  void acceptLoop() {
    for (fd_set pending; pause(0);) {
      FD_ZERO(&pending);
      FD_SET(listener, &pending);
      timeval wait{0, 50000};
      const SOCKET client = ::select(0, &pending, nullptr, nullptr, &wait) == 1 ? ::accept(listener, nullptr, nullptr)
                                                                                 : INVALID_SOCKET;
      if (client == INVALID_SOCKET) continue;
      // A client that gave up without closing (a failed or cancelled download) stops reading; a send
      // into it then blocks, and Wine does not wake it for a shutdown from another thread.
      SetTimeout(client, SO_SNDTIMEO, 10000);
      SetTimeout(client, SO_RCVTIMEO, 10000);
      std::lock_guard lock(mutex);
      open.insert(client);
      threads.emplace_back([this, client] { serve(client); });
    }
  }

  void serve(SOCKET client) {
    std::string head;
    char buffer[4096];
    for (int got = 0; head.find("\r\n\r\n") == std::string::npos && head.size() < 65536; head.append(buffer, got))
      if ((got = ::recv(client, buffer, sizeof buffer, 0)) <= 0) break;
    const size_t pathStart = head.find(' ') + 1, pathEnd = head.find(' ', pathStart);
    if (head.find("\r\n\r\n") != std::string::npos && pathStart > 0 && pathEnd != std::string::npos) {
      const Request request{head.substr(pathStart, pathEnd - pathStart), head.substr(0, head.find("\r\n\r\n")),
                            ::GetTickCount64()};
      Response response = Response::Status(404, "not found");
      {
        std::lock_guard lock(mutex);
        requests.push_back(request);
        if (auto found = routes.find(request.path.substr(0, request.path.find('?'))); found != routes.end())
          response = found->second;
      }
      respond(client, response);
    }
    // Close gracefully: say we are done and let the client read to the end, so that it sees the body's
    // end rather than a reset.
    ::shutdown(client, SD_SEND);
    SetTimeout(client, SO_RCVTIMEO, 2000);
    while (pause(0) && ::recv(client, buffer, sizeof buffer, 0) > 0) {
    }
    std::lock_guard lock(mutex);
    open.erase(client);
    ::closesocket(client);
  }

  bool send(SOCKET client, std::string_view bytes) const {
    for (int sent = 0; !bytes.empty(); bytes.remove_prefix(static_cast<size_t>(sent)))
      if (!pause(0) || (sent = ::send(client, bytes.data(), static_cast<int>(std::min<size_t>(bytes.size(), 1 << 20)), 0)) <= 0)
        return false;
    return true;
  }

  void respond(SOCKET client, const Response& r) const {
    const std::string_view body = *r.body, start = body.substr(0, std::min(r.faultAfter, body.size()));
    const DWORD stallMs = r.stallMs ? r.stallMs : 2 * stickwell::config::kHttpTimeoutMs;
    if (r.fault == Fault::Garbage) return (void)send(client, body);
    if (r.fault == Fault::StallHeaders) return (void)pause(stallMs);
    const uint64_t length = r.fault == Fault::LengthNeverSent ? r.announcedLength : body.size();
    std::string head = "HTTP/1.1 " + std::to_string(r.status) + (r.status < 300 ? " OK\r\n" : " Not OK\r\n");
    if (r.fault != Fault::NoContentLength) head += "Content-Length: " + std::to_string(length) + "\r\n";
    if (!send(client, head + "Connection: close\r\n" + r.headers + "\r\n")) return;
    if (r.fault == Fault::ShortBody) {
      send(client, start);
    } else if (r.fault == Fault::StallBody || r.fault == Fault::LengthNeverSent) {
      if (send(client, start)) pause(stallMs);
    } else if (r.fault == Fault::Trickle) {
      for (size_t at = 0; at < body.size() && send(client, body.substr(at, r.trickleBytes)); at += r.trickleBytes)
        if (at + r.trickleBytes < body.size() && !pause(r.trickleMs)) return;
    } else {
      send(client, body);
    }
  }
};

Response::Response(std::string text, Fault fault, size_t faultAfter)
    : body(std::make_shared<const std::string>(std::move(text))), fault(fault), faultAfter(faultAfter) {}

Response Response::Status(int status, std::string body) {
  Response response(std::move(body));
  response.status = status;
  return response;
}

Response Response::Trickling(std::string body, size_t pieces, DWORD pauseMs) {
  Response response(std::move(body), Fault::Trickle);
  response.trickleBytes = response.body->size() / pieces + 1;
  response.trickleMs = pauseMs;
  return response;
}

TestServer::TestServer() : state_(std::make_shared<State>()) {
  static const bool started = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  const std::string address = UpdatePageAddress();
  sockaddr_in where{AF_INET, ::htons(static_cast<u_short>(std::stoi(address.substr(address.rfind(':') + 1)))), {}, {}};
  where.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  // The previous test's connections may linger in TIME_WAIT on this port; reuse lets us bind anyway.
  const SOCKET listener = started ? ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP) : INVALID_SOCKET;
  const BOOL reuse = TRUE;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
  if (::bind(listener, reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0 && ::listen(listener, 64) == 0) state_->listener = listener;
  if (listening()) state_->acceptor = std::thread([state = state_] { state->acceptLoop(); });
}

TestServer::~TestServer() {
  ::SetEvent(state_->stopEvent);
  if (state_->acceptor.joinable()) state_->acceptor.join();
  for (std::lock_guard lock(state_->mutex); SOCKET client : state_->open) ::shutdown(client, SD_BOTH);
  for (auto& thread : state_->threads) thread.join();
  ::closesocket(state_->listener);
  ::CloseHandle(state_->stopEvent);
}

bool TestServer::listening() const { return state_->listener != INVALID_SOCKET; }

void TestServer::route(const std::string& path, Response response) {
  std::lock_guard lock(state_->mutex);
  state_->routes.insert_or_assign(path, std::move(response));
}

std::vector<Request> TestServer::requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

size_t TestServer::requestsFor(const std::string& path) const {
  const auto all = requests();
  return static_cast<size_t>(std::count_if(all.begin(), all.end(), [&](const Request& r) { return r.path == path; }));
}

// The test build's update page address is plain ASCII: "http://127.0.0.1:18080/update.html".
std::string UpdatePageAddress() { return {std::begin(stickwell::config::kUpdatePageUrl), std::end(stickwell::config::kUpdatePageUrl) - 1}; }

std::string UpdatePagePath() { return UpdatePageAddress().substr(UpdatePageAddress().find('/', sizeof "http://")); }

std::wstring ServerUrl(std::string_view path) {
  const std::string url = UpdatePageAddress().substr(0, UpdatePageAddress().size() - UpdatePagePath().size()) + std::string(path);
  return std::wstring(url.begin(), url.end());
}

std::wstring SecureUrl(std::string_view path, Certificate certificate) {
  return L"https://localhost:" + std::to_wstring(18443 + static_cast<int>(certificate)) + std::wstring(path.begin(), path.end());
}

std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed * 2654435761u + 1;
  for (char& byte : bytes) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
  return bytes;
}

}  // namespace e2e
