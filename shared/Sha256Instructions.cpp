#include "shared/Sha256Instructions.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#define STICKWELL_SHA_TARGET
#else
#include <cpuid.h>
#define STICKWELL_SHA_TARGET __attribute__((target("sha,sse4.1")))
#endif
#define STICKWELL_HAS_SHA_CODE 1
#endif

namespace stickwell::sha256 {
namespace {

#if STICKWELL_HAS_SHA_CODE
alignas(16) constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// Hashes `blocks` whole 64-byte blocks into `state`. The instructions keep the eight state words as
// two vectors, ABEF and CDGH, and take four message words per two pairs of rounds.
STICKWELL_SHA_TARGET void HashBlocks(std::uint32_t state[8], const std::uint8_t* data, std::size_t blocks) {
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
  __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
  __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
  const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
  const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    __m128i words[4];
#if defined(__GNUC__)
#pragma GCC unroll 16  // each group's words then stay in registers
#endif
    for (int group = 0; group < 16; ++group) {  // four rounds each
      if (group < 4)
        words[group] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)), byteSwap);
      __m128i message = _mm_add_epi32(words[group % 4], _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * group)));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
      // The message words of the group after next but one, from those of the last four groups.
      if (group >= 3 && group < 15) {
        __m128i& next = words[(group + 1) % 4];
        next = _mm_add_epi32(next, _mm_alignr_epi8(words[group % 4], words[(group + 3) % 4], 4));
        next = _mm_sha256msg2_epu32(next, words[group % 4]);
      }
      message = _mm_shuffle_epi32(message, 0x0E);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
      if (group >= 1 && group <= 12)
        words[(group + 3) % 4] = _mm_sha256msg1_epu32(words[(group + 3) % 4], words[group % 4]);
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }

  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}
#else
void HashBlocks(std::uint32_t[8], const std::uint8_t*, std::size_t) {}
#endif

}  // namespace

bool ProcessorHasShaInstructions() {
#if STICKWELL_HAS_SHA_CODE
  unsigned int features[4] = {};  // eax, ebx, ecx, edx
#if defined(_MSC_VER) && !defined(__clang__)
  int registers[4];
  __cpuidex(registers, 1, 0);
  features[2] = static_cast<unsigned int>(registers[2]);
  const bool sse41 = features[2] & (1u << 19), ssse3 = features[2] & (1u << 9);
  __cpuidex(registers, 0, 0);
  if (registers[0] < 7) return false;
  __cpuidex(registers, 7, 0);
  return sse41 && ssse3 && (static_cast<unsigned int>(registers[1]) & (1u << 29));
#else
  if (!__get_cpuid(1, &features[0], &features[1], &features[2], &features[3])) return false;
  const bool sse41 = features[2] & (1u << 19), ssse3 = features[2] & (1u << 9);
  if (!__get_cpuid_count(7, 0, &features[0], &features[1], &features[2], &features[3])) return false;
  return sse41 && ssse3 && (features[1] & (1u << 29));
#endif
#else
  return false;
#endif
}

void InstructionSha256::add(const void* data, std::size_t size) {
  auto bytes = static_cast<const std::uint8_t*>(data);
  length_ += size;
  if (pendingSize_ > 0) {
    const std::size_t taken = std::min(size, sizeof pending_ - pendingSize_);
    std::memcpy(pending_ + pendingSize_, bytes, taken);
    pendingSize_ += taken, bytes += taken, size -= taken;
    if (pendingSize_ < sizeof pending_) return;
    HashBlocks(state_, pending_, 1);
    pendingSize_ = 0;
  }
  HashBlocks(state_, bytes, size / 64);
  std::memcpy(pending_, bytes + size / 64 * 64, size % 64);
  pendingSize_ = size % 64;
}

manifest::Sha256Digest InstructionSha256::finish() {
  // The padding: a one bit, zeros up to 8 bytes short of a block's end, and the length in bits.
  const std::uint64_t bits = length_ * 8;
  std::uint8_t tail[72] = {0x80};
  const std::size_t zeros = (pendingSize_ < 56 ? 56 : 120) - pendingSize_;
  for (int i = 0; i < 8; ++i) tail[zeros + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  add(tail, zeros + 8);
  manifest::Sha256Digest digest{};
  for (std::size_t i = 0; i < digest.size(); ++i) digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

}  // namespace stickwell::sha256
