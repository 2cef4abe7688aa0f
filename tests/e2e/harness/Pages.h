#pragma once
// Update pages and share pages as the makers' blog publishes them, for the test server to serve.
#include <string>
#include <utility>
#include <vector>

#include "harness/System.h"
#include "harness/TestServer.h"

namespace e2e {

struct PageContent {
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
                     Utf8(L"最新版本 Ver" + content.version) + "</h2><p><strong>" + Utf8(L"更新日志") + "</strong></p>";
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

// Serves `content` as the update page, listing `files` in order, each through a share page /share/<n>
// whose "保存至网盘" link leads to /files/<name>; returns the page's content with its download list.
inline PageContent ServeUpdate(TestServer& server, PageContent content, const std::vector<std::pair<std::wstring, Response>>& files = {}) {
  for (const auto& [name, response] : files) {
    const std::string share = "/share/" + std::to_string(content.downloads.size() + 1), file = "/files/" + Utf8(name);
    content.downloads.emplace_back(name, ServerUrl(share));
    server.route(share, Response("<html><body><div class=\"share\"><a class=\"save\" href=\"#\">" + Utf8(L"保存至网盘") +
                                 "</a><a class=\"download\" href=\"" + Utf8(ServerUrl(file)) + "\" id=\"download\">" + Utf8(L"下载") + "</a></div></body></html>"));
    server.route(file, response);
  }
  server.route(UpdatePagePath(), Response(BuildUpdatePage(content)));
  return content;
}

// A program of the build with a few bytes appended: it runs as the original does, and a test can tell
// the two files apart.
inline std::string ServedBuildOf(const std::wstring& program) {
  return ReadBytes(BuildBinFolder() + L"\\" + program).value_or("") + std::string("\0served by the tests\0", 20);
}

}  // namespace e2e
