#pragma once
// SHA-256 on the processor's own SHA instructions (the x86-64 SHA extensions): several times faster
// than a hash written in plain code, such as the one Wine's CNG has, so that hashing a download keeps
// pace with the network. Windows' own CNG uses these instructions itself; on a processor without them
// the programs hash through CNG.
#include <cstddef>
#include <cstdint>

#include "shared/Manifest.h"

namespace stickwell::sha256 {

// Whether this processor has the instructions InstructionSha256 needs.
bool ProcessorHasShaInstructions();

// Call only where ProcessorHasShaInstructions() answers true.
class InstructionSha256 {
 public:
  void add(const void* data, std::size_t size);
  // The digest of everything added; the object takes nothing more after it.
  manifest::Sha256Digest finish();

 private:
  std::uint32_t state_[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::uint8_t pending_[64] = {};  // the start of a block not yet whole
  std::size_t pendingSize_ = 0;
  std::uint64_t length_ = 0;  // bytes added
};

}  // namespace stickwell::sha256
