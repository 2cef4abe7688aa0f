#include <gtest/gtest.h>

#include "shared/PeImage.h"

namespace stickwell::download {
namespace {

void Put(std::string& image, std::size_t at, std::uint32_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) image[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// A small program image as a linker lays it out: headers up to 0x200, two sections of 0x100 bytes of
// raw data, then a certificate table of 0x20 bytes at the end. PE32+ (64-bit) or PE32.
std::string Image(bool plus = true) {
  const std::size_t optionalSize = plus ? 240 : 224, directories = plus ? 112 : 96, table = 64 + 24 + optionalSize;
  std::string image(0x420, '\0');
  image[0] = 'M', image[1] = 'Z';
  Put(image, 0x3C, 64, 4);
  image.replace(64, 4, std::string("PE\0\0", 4));
  Put(image, 68, plus ? 0x8664 : 0x14C, 2);
  Put(image, 70, 2, 2);              // sections
  Put(image, 84, optionalSize, 2);
  Put(image, 88, plus ? 0x20B : 0x10B, 2);
  Put(image, 88 + 60, 0x200, 4);     // size of the headers
  Put(image, 88 + directories - 4, 16, 4);
  Put(image, 88 + directories + 4 * 8, 0x400, 4), Put(image, 88 + directories + 4 * 8 + 4, 0x20, 4);
  for (std::size_t i = 0; i < 2; ++i) Put(image, table + i * 40 + 16, 0x100, 4), Put(image, table + i * 40 + 20, 0x200 + i * 0x100, 4);
  return image;
}

bool Whole(const std::string& file) {
  return IsWholeProgramImage(file.size(), [&](std::uint64_t offset, std::size_t size) {
    return offset < file.size() ? file.substr(offset, size) : std::string();
  });
}

TEST(PeImage, AWholeProgramPassesAndOneCutShortAnywhereOrDamagedDoesNot) {
  EXPECT_TRUE(Whole(Image(true)) && Whole(Image(false)));
  EXPECT_TRUE(Whole(Image() + "appended")) << "data after the image, as an installer carries";
  for (std::size_t cut = 0; cut < Image().size(); ++cut) EXPECT_FALSE(Whole(Image().substr(0, cut))) << cut;
  const struct { const char* what; std::size_t at; std::uint32_t value; std::size_t size; } damage[] = {
      {"no MZ", 0, 'X', 1},          {"no PE signature", 64, 'X', 1}, {"no sections", 70, 0, 2},
      {"an unknown kind", 88, 0x107, 2}, {"headers beyond the file", 88 + 60, 0x421, 4},
      {"a section beyond the file", 64 + 24 + 240 + 20, 0x400, 4}, {"the PE header beyond the file", 0x3C, 0xFFFFFFF0, 4},
  };
  for (const auto& d : damage) {
    std::string image = Image();
    Put(image, d.at, d.value, d.size);
    EXPECT_FALSE(Whole(image)) << d.what;
  }
}

}  // namespace
}  // namespace stickwell::download
