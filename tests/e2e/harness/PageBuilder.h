#pragma once
// Update pages and share pages as the makers' blog publishes them, for the test server to serve.
#include <string>
#include <vector>

namespace e2e {

struct PageContent {
  std::wstring version = L"13.04.21";  // what follows "Ver"
  std::vector<std::wstring> changeLog = {L"1. 修复停靠问题", L"2. 新增字体颜色"};
  struct Download {
    std::wstring name;      // the file name in the paragraph
    std::wstring shareUrl;  // the link to the file's share page
  };
  std::vector<Download> downloads;
  std::wstring pushSwitch = L"关";  // the character after "消息推送："
  std::vector<std::wstring> pushLines = {L"欢迎使用 Stickwell"};
};

// The page in UTF-8: p elements, red and black spans, strong, &nbsp; and links with target="_blank".
std::string BuildUpdatePage(const PageContent& content);

// A file's share page whose "保存至网盘" link leads to `directUrl` (an "&" in it is written "&amp;").
std::string BuildSharePage(const std::wstring& directUrl);

}  // namespace e2e
