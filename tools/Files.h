#pragma once
// The tool's file and console I/O, the same natively and on Windows. Paths are UTF-8.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace stickwell::page {

// The whole file, or the reason it could not be read.
std::variant<std::string, std::string> ReadWholeFile(const std::string& path);

// Writes a file that must not exist yet, readable by its owner only where the system has owners, and
// flushed to the disk. Nothing on success, else the reason; a file already there is left alone.
std::optional<std::string> CreateNewFile(const std::string& path, std::string_view bytes);

// The file name at the end of a path: after the last "/" (and on Windows the last "\" or drive colon).
std::string_view FileNameOf(std::string_view path);

// UTF-8 out, whatever the console's code page: a console gets the text through the wide API, a pipe or
// a file gets the bytes unchanged.
void Write(std::FILE* stream, const std::string& utf8);

}  // namespace stickwell::page
