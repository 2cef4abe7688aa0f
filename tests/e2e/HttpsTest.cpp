// The programs over TLS, as the makers' page and today's file hosts serve them: pages, share pages and
// downloads over https, an http link that moves to https, and what a careful program refuses (a move
// from https back to http; an expired certificate, another host's, one signed by nobody it trusts),
// each of which ends as a failed fetch does, with no window but the programs' own. The TLS servers
// stand in front of the test server (scripts/netns-run.sh); only the test prefix trusts their authority.
#include <gtest/gtest.h>

#include "harness/Input.h"
#include "harness/Note.h"
#include "harness/Pages.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "shared/win/HttpFetch.h"
#include "updater/win/ControlIds.h"

namespace e2e {
namespace {

namespace ids = stickwell::updater::ids;
using stickwell::win::FetchStatus;

Response MovedTo(const std::wstring& address) {
  Response moved = Response::Status(302);
  moved.headers = "Location: " + Utf8(address) + "\r\n";
  return moved;
}

// Every visible window of the process is one the program makes itself: its forms and its message boxes.
::testing::AssertionResult OnlyOwnWindows(DWORD processId, const wchar_t* boxCaption) {
  for (HWND window : Windows(nullptr, nullptr, processId))
    if (ClassOf(window) != kFormClass && !(ClassOf(window) == L"#32770" && TextOf(window) == boxCaption))
      return ::testing::AssertionFailure() << "a window of class " << Utf8(ClassOf(window)) << ": " << Utf8(TextOf(window));
  return ::testing::AssertionSuccess();
}

}  // namespace

// Fetched as both programs fetch the update page and share pages.
TEST(Https, APageComesOverTlsFromATrustedServerOnly) {
  TestServer server;
  const std::string page = Utf8(L"<p>最新版本 Ver13.04.21</p>") + PatternBytes(100 * 1024);
  server.route("/page", Response(page));
  server.route("/to-https", MovedTo(SecureUrl("/page")));
  server.route("/to-http", MovedTo(ServerUrl("/page")));
  const struct { const char* what; std::wstring address; bool fetched; } rows[] = {
      {"over https", SecureUrl("/page"), true},
      {"an http address moved to https", ServerUrl("/to-https"), true},
      {"an https address moved to http", SecureUrl("/to-http"), false},
      {"an expired certificate", SecureUrl("/page", Certificate::Expired), false},
      {"a certificate for another host", SecureUrl("/page", Certificate::OtherHost), false},
      {"a self-signed certificate", SecureUrl("/page", Certificate::SelfSigned), false},
  };
  const std::vector<HWND> ownWindows = Windows(nullptr, nullptr, ::GetCurrentProcessId());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const size_t requests = server.requests().size();
    const auto fetched = stickwell::win::FetchUrl(row.address);
    EXPECT_TRUE(fetched.status == (row.fetched ? FetchStatus::Ok : FetchStatus::Failed) && fetched.body == (row.fetched ? page : ""));
    // A certificate is refused before anything is asked of the server.
    if (row.address.find(L":18443/") == std::wstring::npos && row.address.starts_with(L"https")) {
      EXPECT_EQ(server.requests().size(), requests) << "a request went to a server whose certificate was refused";
    }
  }
  for (const Request& request : server.requests())
    EXPECT_TRUE(request.path != "/page" || request.head.find("\r\nHost: 127.0.0.1:") == std::string::npos) << "the page went over http";
  EXPECT_EQ(Windows(nullptr, nullptr, ::GetCurrentProcessId()), ownWindows) << "WinINet asked about a certificate";
}

// The updater reads its share pages and downloads its files over https, following a share link that
// moves there from http. A share page or a file behind a certificate it refuses, or one that moves
// from https to http, ends in the failure question with every file as it was.
TEST(Https, TheUpdaterDownloadsOverTlsFromTrustedServersOnly) {
  TestServer server;
  const std::string note = ServedBuildOf(L"Stickwell.exe"), guide(200000, 'g');
  server.route("/to-share/1", MovedTo(SecureUrl("/share/1")));
  server.route("/moved/Guide.chm", MovedTo(ServerUrl("/files/Guide.chm")));
  // Where the page and the share pages send the updater, by the path the test server serves it at.
  const auto secure = [](Certificate certificate, const std::string& what, std::string instead = {}) {
    return [=](const std::string& path) { return path == what ? SecureUrl(instead.empty() ? path : instead, certificate) : SecureUrl(path); };
  };
  const struct { const char* what; AddressOf address; bool updates; } rows[] = {
      {"a share page behind an expired certificate", secure(Certificate::Expired, "/share/2"), false},
      {"a file behind another host's certificate", secure(Certificate::OtherHost, "/files/Guide.chm"), false},
      {"a file behind a self-signed certificate", secure(Certificate::SelfSigned, "/files/Guide.chm"), false},
      {"a file moved from https to http", secure(Certificate::Trusted, "/files/Guide.chm", "/moved/Guide.chm"), false},
      {"all over https, the first share link moved there from http",
       [](const std::string& path) { return path == "/share/1" ? ServerUrl("/to-share/1") : SecureUrl(path); }, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ProgramDir dir;
    const auto before = ReadBytes(dir.file(L"Stickwell.exe"));
    ServeUpdate(server, {}, {{L"Stickwell.exe", Response(note)}, {L"Guide.chm", Response(guide)}}, {}, row.address);
    const Process updater = dir.start(L"Renewick.exe");
    HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id);
    ASSERT_TRUE(offer && WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)); }) &&
                ClickUntil(CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kUpdate))), [&] { return !::IsWindow(offer); }));
    if (row.updates) {
      EXPECT_TRUE(WaitUntil([&] { return ReadBytes(dir.file(L"Guide.chm")) == guide && ReadBytes(dir.file(L"Stickwell.exe")) == note; }, 20000));
      EXPECT_TRUE(Windows(L"#32770", nullptr, updater.id).empty()) << "a question after a good update";
      continue;
    }
    HWND question = WaitForWindow(L"#32770", L"提示", updater.id, 20000);
    ASSERT_TRUE(question && DialogText(question) == L"更新失败，是否去官网下载最新版本") << "no failure question";
    EXPECT_TRUE(OnlyOwnWindows(updater.id, L"提示"));
    PressDialogButton(question, IDNO);
    EXPECT_TRUE(updater.waitForExit());
    EXPECT_TRUE(ReadBytes(dir.file(L"Stickwell.exe")) == before && !FileExists(dir.file(L"Guide.chm"))) << "a file was touched";
    EXPECT_EQ(UpdateLeftovers(dir), std::vector<std::wstring>{});
  }
}

}  // namespace e2e
