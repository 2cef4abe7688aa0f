#pragma once
// Whether a file is a whole Windows program image, for a build without the makers' key, which has no
// signed length to hold a download against: a program cut short by a broken connection must not be
// moved in.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace stickwell::download {

// Up to `size` bytes of the file from `offset`; fewer at its end, none past it or when it cannot be read.
using ReadAt = std::function<std::string(std::uint64_t offset, std::size_t size)>;

// The headers parse (the DOS header, "PE\0\0", the file header, a PE32 or PE32+ optional header, the
// section table), and the headers, every section's raw data and the certificate table lie inside the
// file's `length` bytes. Reads only the headers and the section table, so a program of any size is
// checked in a few small reads.
bool IsWholeProgramImage(std::uint64_t length, const ReadAt& read);

}  // namespace stickwell::download
