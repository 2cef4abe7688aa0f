#include "harness/PageBuilder.h"

#include "harness/Files.h"

namespace e2e {
namespace {

std::string EscapeAmpersands(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '&' ? std::string("&amp;") : std::string(1, c);
  return escaped;
}

}  // namespace

std::string BuildUpdatePage(const PageContent& content) {
  std::string page =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Stickwell</title></head><body>"
      "<div class=\"post\"><h2>Stickwell&nbsp;" + Utf8(L"最新版本") + " Ver" + Utf8(content.version) + "</h2>";
  page += "<p><strong>" + Utf8(L"更新日志") + "</strong></p>";
  for (const auto& line : content.changeLog)
    page += "<p><span style=\"color: #000000;\">" + Utf8(line) + "</span></p>";
  page += "<p><strong><span style=\"color: #ff0000;\">" + Utf8(L"更新文件及地址：") + "</span></strong></p>";
  int number = 1;
  for (const auto& download : content.downloads) {
    const std::string url = EscapeAmpersands(Utf8(download.shareUrl));
    page += "<p>" + std::to_string(number++) + "." + Utf8(download.name) + "(<a href=\"" + url +
            "\" target=\"_blank\">" + url + "</a>)</p>";
  }
  page += "<p><span style=\"color: #ff0000;\">" + Utf8(L"消息推送：") + Utf8(content.pushSwitch) + "</span></p>";
  for (const auto& line : content.pushLines) page += "<p>" + Utf8(line) + "&nbsp;</p>";
  page += "<p><strong>" + Utf8(L"最新完整版下载：") + "</strong>" + Utf8(L"见官网") + "</p></div></body></html>";
  return page;
}

std::string BuildSharePage(const std::wstring& directUrl) {
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><div class=\"share\">"
         "<span class=\"name\">file</span><a class=\"save\" href=\"#\">" + Utf8(L"保存至网盘") + "</a>"
         "<a class=\"download\" href=\"" + EscapeAmpersands(Utf8(directUrl)) + "\" id=\"download\">" +
         Utf8(L"下载") + "</a></div></body></html>";
}

}  // namespace e2e
