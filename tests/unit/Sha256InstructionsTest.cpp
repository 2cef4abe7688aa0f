#include "shared/Sha256Instructions.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/Signing.h"

namespace stickwell::sha256 {
namespace {

std::string Hex(const manifest::Sha256Digest& digest) {
  std::string hex;
  for (std::uint8_t byte : digest) hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
  return hex;
}

// Fed in pieces of `piece` bytes, as a download comes.
manifest::Sha256Digest InPieces(const std::string& bytes, std::size_t piece) {
  InstructionSha256 sha256;
  for (std::size_t at = 0; at < bytes.size(); at += piece) sha256.add(bytes.data() + at, std::min(piece, bytes.size() - at));
  return sha256.finish();
}

TEST(Sha256Instructions, GivesTheStandardDigestHoweverTheBytesArrive) {
  if (!ProcessorHasShaInstructions()) GTEST_SKIP() << "this processor has no SHA instructions";
  const struct { std::string bytes; const char* digest; } published[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& row : published) EXPECT_EQ(Hex(InPieces(row.bytes, 4096)), row.digest) << row.bytes.size() << " bytes";
  // Every length around the padding's edges and past a block, in pieces that end anywhere in a block.
  std::string bytes;
  for (std::size_t length = 0; length <= 300; ++length, bytes += static_cast<char>(length * 151 % 256))
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{4096}})
      ASSERT_EQ(InPieces(bytes, piece), *page::Sha256Of(bytes)) << length << " bytes in pieces of " << piece;
}

}  // namespace
}  // namespace stickwell::sha256
