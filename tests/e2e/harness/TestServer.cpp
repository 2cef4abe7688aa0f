#include "harness/TestServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "BuildConfig.h"

namespace e2e {
namespace {

constexpr size_t kSendChunk = 1 << 20;
constexpr size_t kMaxRequestHead = 64 * 1024;
constexpr DWORD kRequestReadTimeoutMs = 10000;
constexpr DWORD kCloseDrainTimeoutMs = 2000;
// A client that has given up without closing (a failed download) stops reading; the send into it
// then blocks, and Wine does not wake it for a shutdown from another thread. Never block longer.
constexpr DWORD kSendTimeoutMs = 10000;

// "http://127.0.0.1:18080/update.html" -> {"http://127.0.0.1:18080", "/update.html"}
std::pair<std::string, std::string> SplitUpdateAddress() {
  const std::u16string_view url = stickwell::config::kUpdatePageUrl;
  std::string ascii(url.begin(), url.end());  // the test build's address is plain ASCII
  const size_t authority = ascii.find("://");
  const size_t slash = ascii.find('/', authority == std::string::npos ? 0 : authority + 3);
  if (slash == std::string::npos) return {ascii, "/"};
  return {ascii.substr(0, slash), ascii.substr(slash)};
}

unsigned short ServerPort() {
  const std::string origin = SplitUpdateAddress().first;
  const size_t colon = origin.rfind(':');
  if (colon == std::string::npos || colon + 1 >= origin.size() || !std::isdigit(origin[colon + 1])) return 80;
  return static_cast<unsigned short>(std::stoi(origin.substr(colon + 1)));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return std::string(text);
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

void StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

}  // namespace

struct TestServer::State {
  mutable std::mutex mutex;
  std::map<std::string, Response> routes;
  std::vector<Request> requests;
  size_t accepted = 0;
  std::set<SOCKET> open;  // connection sockets still in use; cut when the server stops

  HANDLE stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SOCKET listener = INVALID_SOCKET;
  std::thread acceptor;
  std::vector<std::thread> connections;

  bool stopping() const { return ::WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0; }
  // Sleeps up to `ms`; false when the server stops meanwhile.
  bool pause(DWORD ms) const { return ::WaitForSingleObject(stopEvent, ms) == WAIT_TIMEOUT; }

  void acceptLoop();
  void serve(SOCKET client);
  bool readRequest(SOCKET client, Request& request);
  void respond(SOCKET client, const Response& response);
  bool sendAll(SOCKET client, std::string_view bytes);
};

Response Response::Ok(std::string body) {
  Response response;
  response.body = std::make_shared<const std::string>(std::move(body));
  return response;
}

Response Response::Status(int status, std::string body) {
  Response response = Ok(std::move(body));
  response.status = status;
  return response;
}

Response Response::WithFault(Fault fault, std::string body, size_t faultAfter) {
  Response response = Ok(std::move(body));
  response.fault = fault;
  response.faultAfter = faultAfter;
  return response;
}

std::string Request::header(std::string_view name) const {
  for (const auto& [key, value] : headers)
    if (EqualNoCase(key, name)) return value;
  return {};
}

bool Request::hasHeader(std::string_view name, std::string_view value) const {
  for (const auto& [key, given] : headers)
    if (EqualNoCase(key, name) && EqualNoCase(given, value)) return true;
  return false;
}

TestServer::TestServer() : state_(std::make_shared<State>()) {
  StartWinsock();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(ServerPort());
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);

  // The previous test's connections may linger in TIME_WAIT on this port; reuse lets us bind anyway.
  for (int attempt = 0; attempt < 50 && state_->listener == INVALID_SOCKET; ++attempt) {
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const BOOL reuse = TRUE;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(listener, SOMAXCONN) == 0) {
      state_->listener = listener;
    } else {
      ::closesocket(listener);
      ::Sleep(100);
    }
  }
  if (state_->listener != INVALID_SOCKET) state_->acceptor = std::thread([state = state_] { state->acceptLoop(); });
}

TestServer::~TestServer() {
  ::SetEvent(state_->stopEvent);
  if (state_->acceptor.joinable()) state_->acceptor.join();
  {
    // Wake every connection blocked in a send or receive; each thread closes its own socket.
    std::lock_guard lock(state_->mutex);
    for (SOCKET client : state_->open) ::shutdown(client, SD_BOTH);
  }
  for (auto& connection : state_->connections) connection.join();
  if (state_->listener != INVALID_SOCKET) ::closesocket(state_->listener);
  ::CloseHandle(state_->stopEvent);
}

bool TestServer::listening() const { return state_->listener != INVALID_SOCKET; }

void TestServer::route(const std::string& path, Response response) {
  std::lock_guard lock(state_->mutex);
  state_->routes[path] = std::move(response);
}

std::vector<Request> TestServer::requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

std::vector<Request> TestServer::requestsFor(const std::string& path) const {
  std::vector<Request> matching;
  for (auto& request : requests())
    if (request.path == path) matching.push_back(std::move(request));
  return matching;
}

size_t TestServer::acceptedConnections() const {
  std::lock_guard lock(state_->mutex);
  return state_->accepted;
}

void TestServer::State::acceptLoop() {
  HANDLE acceptEvent = ::WSACreateEvent();
  ::WSAEventSelect(listener, acceptEvent, FD_ACCEPT);
  const HANDLE waits[] = {stopEvent, acceptEvent};
  while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    ::WSAResetEvent(acceptEvent);
    for (;;) {
      SOCKET client = ::accept(listener, nullptr, nullptr);
      if (client == INVALID_SOCKET) break;
      // An accepted socket inherits the listener's event selection; serve it blocking.
      ::WSAEventSelect(client, nullptr, 0);
      u_long blocking = 0;
      ::ioctlsocket(client, FIONBIO, &blocking);
      const DWORD sendTimeout = kSendTimeoutMs;
      ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout), sizeof sendTimeout);
      std::lock_guard lock(mutex);
      ++accepted;
      open.insert(client);
      connections.emplace_back([this, client] { serve(client); });
    }
  }
  ::WSACloseEvent(acceptEvent);
}

void TestServer::State::serve(SOCKET client) {
  Request request;
  if (readRequest(client, request)) {
    Response response = Response::Status(404, "not found");
    {
      std::lock_guard lock(mutex);
      requests.push_back(request);
      const std::string path = request.path.substr(0, request.path.find('?'));
      if (auto found = routes.find(path); found != routes.end()) response = found->second;
    }
    respond(client, response);
  }
  // Close gracefully: tell the client we are done and let it read to the end before the socket goes,
  // so that it sees the end of the body rather than a reset.
  ::shutdown(client, SD_SEND);
  const DWORD drainTimeout = kCloseDrainTimeoutMs;
  ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&drainTimeout), sizeof drainTimeout);
  char scratch[4096];
  while (!stopping() && ::recv(client, scratch, sizeof scratch, 0) > 0) {
  }
  std::lock_guard lock(mutex);
  open.erase(client);
  ::closesocket(client);
}

bool TestServer::State::readRequest(SOCKET client, Request& request) {
  const DWORD timeout = kRequestReadTimeoutMs;
  ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    if (head.size() > kMaxRequestHead) return false;
    const int received = ::recv(client, buffer, sizeof buffer, 0);
    if (received <= 0) return false;
    head.append(buffer, static_cast<size_t>(received));
  }
  head.resize(head.find("\r\n\r\n") + 2);

  size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  const size_t firstSpace = requestLine.find(' ');
  const size_t secondSpace = requestLine.find(' ', firstSpace + 1);
  if (firstSpace == std::string::npos || secondSpace == std::string::npos) return false;
  request.method = requestLine.substr(0, firstSpace);
  request.path = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
  for (size_t start = lineEnd + 2; start < head.size(); start = lineEnd + 2) {
    lineEnd = head.find("\r\n", start);
    const std::string line = head.substr(start, lineEnd - start);
    const size_t colon = line.find(':');
    if (colon != std::string::npos)
      request.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
  }
  return true;
}

bool TestServer::State::sendAll(SOCKET client, std::string_view bytes) {
  while (!bytes.empty()) {
    if (stopping()) return false;
    const int chunk = static_cast<int>(std::min(bytes.size(), kSendChunk));
    const int sent = ::send(client, bytes.data(), chunk, 0);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

void TestServer::State::respond(SOCKET client, const Response& response) {
  const std::string_view body = *response.body;
  if (response.fault == Fault::Garbage) {
    sendAll(client, body);
    return;
  }
  const DWORD stallMs = response.stallMs ? response.stallMs : 2 * stickwell::config::kHttpTimeoutMs;
  if (response.fault == Fault::StallHeaders) {
    pause(stallMs);
    return;
  }

  std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
  if (response.fault != Fault::NoContentLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  head += "Connection: close\r\n";
  for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
  head += "\r\n";
  if (!sendAll(client, head)) return;

  switch (response.fault) {
    case Fault::ShortBody:
      sendAll(client, body.substr(0, std::min(response.faultAfter, body.size())));
      return;
    case Fault::StallBody:
      if (sendAll(client, body.substr(0, std::min(response.faultAfter, body.size())))) pause(stallMs);
      return;
    case Fault::Trickle: {
      const size_t piece = std::max<size_t>(1, response.trickleBytes);
      for (size_t at = 0; at < body.size(); at += piece) {
        if (!sendAll(client, body.substr(at, piece))) return;
        if (at + piece < body.size() && !pause(response.trickleMs)) return;
      }
      return;
    }
    default:
      sendAll(client, body);
      return;
  }
}

std::wstring ServerUrl(std::string_view path) {
  std::string address = SplitUpdateAddress().first;
  if (path.empty() || path.front() != '/') address += '/';
  address += path;
  return std::wstring(address.begin(), address.end());
}

std::string UpdatePagePath() { return SplitUpdateAddress().second; }

std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(state >> 16);
  }
  return bytes;
}

}  // namespace e2e
