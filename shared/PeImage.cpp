#include "shared/PeImage.h"

namespace stickwell::download {
namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffsetAt = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;  // after "PE\0\0"
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kMostSections = 96;  // the loader's own limit
constexpr std::uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;
constexpr std::size_t kCertificateDirectory = 4;

std::uint32_t Little(const std::string& bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Whether `size` bytes from `offset` lie inside the file.
bool Inside(std::uint64_t offset, std::uint64_t size, std::uint64_t length) { return offset <= length && size <= length - offset; }

}  // namespace

bool IsWholeProgramImage(std::uint64_t length, const ReadAt& read) {
  const std::string dos = read(0, kDosHeaderSize);
  if (dos.size() != kDosHeaderSize || dos[0] != 'M' || dos[1] != 'Z') return false;
  const std::uint64_t pe = Little(dos, kNewHeaderOffsetAt, 4);

  const std::string headers = read(pe, 4 + kFileHeaderSize);
  if (headers.size() != 4 + kFileHeaderSize || headers.compare(0, 4, std::string("PE\0\0", 4)) != 0) return false;
  const std::uint32_t sections = Little(headers, 4 + 2, 2);
  const std::uint32_t optionalSize = Little(headers, 4 + 16, 2);
  if (sections == 0 || sections > kMostSections) return false;

  const std::uint64_t optionalAt = pe + 4 + kFileHeaderSize;
  const std::string optional = read(optionalAt, optionalSize);
  if (optional.size() != optionalSize || optionalSize < 2) return false;
  const std::uint32_t magic = Little(optional, 0, 2);
  if (magic != kPe32 && magic != kPe32Plus) return false;
  // Where the fields after the standard ones differ between the two kinds.
  const std::size_t directoriesAt = magic == kPe32 ? 96 : 112, countAt = directoriesAt - 4;
  if (optionalSize < directoriesAt) return false;
  const std::uint32_t sizeOfHeaders = Little(optional, 60, 4);
  const std::uint32_t directories = Little(optional, countAt, 4);
  if (!Inside(0, sizeOfHeaders, length)) return false;
  if (directories > kCertificateDirectory) {
    const std::size_t at = directoriesAt + kCertificateDirectory * 8;
    if (optionalSize < at + 8) return false;
    // This directory alone holds a file offset, not an address in memory.
    const std::uint32_t offset = Little(optional, at, 4), size = Little(optional, at + 4, 4);
    if (size != 0 && !Inside(offset, size, length)) return false;
  }

  const std::string table = read(optionalAt + optionalSize, sections * kSectionHeaderSize);
  if (table.size() != sections * kSectionHeaderSize) return false;
  for (std::uint32_t i = 0; i < sections; ++i) {
    const std::size_t at = i * kSectionHeaderSize;
    const std::uint32_t rawSize = Little(table, at + 16, 4), rawOffset = Little(table, at + 20, 4);
    if (rawSize != 0 && !Inside(rawOffset, rawSize, length)) return false;
  }
  return true;
}

}  // namespace stickwell::download
