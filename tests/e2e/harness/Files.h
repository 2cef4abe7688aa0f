#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace e2e {

std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);

// Waits until the file exists and its bytes satisfy `accept`; returns the bytes last read.
std::optional<std::string> WaitForFile(const std::wstring& path,
                                       const std::function<bool(const std::string&)>& accept, DWORD timeoutMs = 10000);
bool WaitForFileGone(const std::wstring& path, DWORD timeoutMs = 10000);

// UTF-8 and GBK bytes for comparing file contents.
std::string Utf8(const std::wstring& text);
std::string Gbk(const std::wstring& text);

}  // namespace e2e
