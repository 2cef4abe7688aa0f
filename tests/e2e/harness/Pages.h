#pragma once
// Update pages and share pages as the makers' blog publishes them, for the test server to serve.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "harness/System.h"
#include "harness/TestServer.h"

namespace e2e {

struct PageContent {
  std::wstring beforeVersion = L"最新版本 ";  // the title's text right before "Ver"
  std::wstring version = L"13.04.21";  // what follows "Ver"
  std::vector<std::wstring> changeLog = {L"1. 修复停靠问题", L"2. 新增字体颜色"};
  std::vector<std::pair<std::wstring, std::wstring>> downloads;  // each file's name and share page address
  std::wstring pushSwitch = L"关";                                // the character after "消息推送："
  std::vector<std::wstring> pushLines = {L"欢迎使用 Stickwell"};
  // Put into the page as it is, right after the "最新完整版" paragraph (where the makers paste what
  // stickwell-page sign prints).
  std::string afterFullVersion;
};

// The page in UTF-8: p elements, red and black spans, strong, &nbsp; and links with target="_blank".
inline std::string BuildUpdatePage(const PageContent& content) {
  std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><div class=\"post\"><h2>Stickwell&nbsp;" +
                     Utf8(content.beforeVersion + L"Ver" + content.version) + "</h2><p><strong>" + Utf8(L"更新日志") + "</strong></p>";
  for (const auto& line : content.changeLog) page += "<p><span style=\"color: #000000;\">" + Utf8(line) + "</span></p>";
  page += "<p><strong><span style=\"color: #ff0000;\">" + Utf8(L"更新文件及地址：") + "</span></strong></p>";
  for (size_t i = 0; i < content.downloads.size(); ++i) {
    const std::string url = Utf8(content.downloads[i].second);
    page += "<p>" + std::to_string(i + 1) + "." + Utf8(content.downloads[i].first) + "(<a href=\"" + url + "\" target=\"_blank\">" + url + "</a>)</p>";
  }
  page += "<p><span style=\"color: #ff0000;\">" + Utf8(L"消息推送：" + content.pushSwitch) + "</span></p>";
  for (const auto& line : content.pushLines) page += "<p>" + Utf8(line) + "&nbsp;</p>";
  return page + "<p><strong>" + Utf8(L"最新完整版下载：") + "</strong>" + Utf8(L"见官网") + "</p>" + content.afterFullVersion + "</div></body></html>";
}

using ReleaseFiles = std::vector<std::pair<std::wstring, std::string>>;  // each file's name and bytes

// Signs a release as the makers do, with the native stickwell-page and a key of tests/e2e/keys (both
// named by scripts/e2e.sh): the files are written under their names into a folder of their own, and the
// paragraph the tool prints comes back; "" when it printed none.
inline std::string SignRelease(const ReleaseFiles& files, const std::wstring& version, const std::string& key = "test.key") {
  static int releases = 0;
  const std::string folder = UnixPathFromEnvironment("STICKWELL_E2E_WORK") + "/release-" + std::to_string(++releases);
  ::CreateDirectoryW(WindowsPathOf(folder).c_str(), nullptr);
  std::wstring command = L"\"" + PathFromEnvironment("STICKWELL_E2E_SIGNER") + L"\" sign --key " +
                         WindowsPathOf(UnixPathFromEnvironment("STICKWELL_E2E_KEYS") + "/" + key).substr(2) + L" --version " + version;
  for (const auto& [name, bytes] : files) {
    WriteBytes(WindowsPathOf(folder) + L"\\" + name, bytes);
    command += L" " + WindowsPathOf(folder).substr(2) + L"\\" + name;
  }
  std::replace(command.begin() + command.find(L" sign "), command.end(), L'\\', L'/');  // the tool reads Unix paths
  const std::wstring output = WindowsPathOf(folder) + L".txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = ::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  // Wine starts a Unix program without a process handle to wait on: the printed line's end is the sign.
  std::string paragraph;
  if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
    WaitUntil([&] { return (paragraph = ReadBytes(output).value_or("")).ends_with("\n"); }, 20000);
  if (info.hProcess) ::CloseHandle(info.hThread), ::CloseHandle(info.hProcess);
  ::CloseHandle(out);
  while (!paragraph.empty() && (paragraph.back() == '\n' || paragraph.back() == '\r')) paragraph.pop_back();
  return paragraph.starts_with("<p>Stickwell-Signed:") ? paragraph : "";
}

// How a test page is signed: by default with the test key, over the page's version and the files it
// serves whole; `files` and `version` sign something else instead.
struct Signing {
  Signing(bool sign = true, std::string key = "test.key", std::wstring version = {}, ReleaseFiles files = {})
      : sign(sign), key(std::move(key)), version(std::move(version)), files(std::move(files)) {}
  bool sign;
  std::string key;
  std::wstring version;  // empty: the page's
  ReleaseFiles files;    // empty: the served ones
};

// The address the page gives for a share page or a share page for a file, by the path the test server
// serves it at: the server's own by default.
using AddressOf = std::function<std::wstring(const std::string& path)>;

// Serves `content` as the update page, listing `files` in order, each through a share page /share/<n>
// whose "保存至网盘" link leads to /files/<name>, and signed as `signing` says (a page without files
// signs a read-me); returns the page's content with its download list and signed paragraph.
inline PageContent ServeUpdate(TestServer& server, PageContent content, const std::vector<std::pair<std::wstring, Response>>& files = {},
                               Signing signing = {}, const AddressOf& address = [](const std::string& path) { return ServerUrl(path); }) {
  if (signing.sign) {
    if (signing.files.empty())
      for (const auto& [name, response] : files) signing.files.emplace_back(name, response.body ? *response.body : "");
    if (signing.files.empty()) signing.files.emplace_back(L"ReadMe.txt", "read me");
    content.afterFullVersion += SignRelease(signing.files, signing.version.empty() ? content.version : signing.version, signing.key);
    EXPECT_FALSE(content.afterFullVersion.empty()) << "stickwell-page did not sign the release";
  }
  for (const auto& [name, response] : files) {
    const std::string share = "/share/" + std::to_string(content.downloads.size() + 1), file = "/files/" + Utf8(name);
    content.downloads.emplace_back(name, address(share));
    server.route(share, Response("<html><body><div class=\"share\"><a class=\"save\" href=\"#\">" + Utf8(L"保存至网盘") +
                                 "</a><a class=\"download\" href=\"" + Utf8(address(file)) + "\" id=\"download\">" + Utf8(L"下载") + "</a></div></body></html>"));
    server.route(file, response);
  }
  server.route(UpdatePagePath(), Response(BuildUpdatePage(content)));
  return content;
}

// The files an update leaves in a program folder while it works (downloads, staged and set-aside files,
// its journal, the new updater); none may stay once it is over.
inline std::vector<std::wstring> UpdateLeftovers(const ProgramDir& dir) {
  std::vector<std::wstring> found;
  for (const wchar_t* pattern : {L"*.partial", L"*.staged", L"*.replaced", L"*.retired", L"Stickwell.update-journal*", L"NewRenewick.exe"})
    for (auto& name : dir.files(pattern)) found.push_back(name);
  return found;
}

// A program of the build with a few bytes appended: it runs as the original does, and a test can tell
// the two files apart.
inline std::string ServedBuildOf(const std::wstring& program) {
  return ReadBytes(BuildBinFolder() + L"\\" + program).value_or("") + std::string("\0served by the tests\0", 20);
}

}  // namespace e2e
