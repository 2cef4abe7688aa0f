#include <gtest/gtest.h>

#include "updater/core/ProgressBar.h"

namespace stickwell::updater {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

TEST(ProgressBar, FillsWithTheFileAndGoesRoundWithoutALength) {
  const struct { const char* what; std::uint64_t received; std::optional<std::uint64_t> length; BarPosition bar; } cases[] = {
      {"nothing yet", 0, 1000, {1000, 0}},
      {"half of a small file", 500, 1000, {1000, 500}},
      {"the whole file", 1000, 1000, {1000, 1000}},
      {"more than the server announced", 1500, 1000, {1000, 1000}},
      {"an empty file, complete", 0, 0, {100, 100}},
      {"half of a 3 GiB file, to scale", 3 * kGiB / 2, 3 * kGiB, {static_cast<int>(3 * kGiB / 2), static_cast<int>(3 * kGiB / 4)}},
      {"all of a 3 GiB file", 3 * kGiB, 3 * kGiB, {static_cast<int>(3 * kGiB / 2), static_cast<int>(3 * kGiB / 2)}},
      {"no length, nothing yet", 0, std::nullopt, {100, 0}},
      {"no length, 50 steps of 64 KiB", 50 << 16, std::nullopt, {100, 50}},
      {"no length, once round", 101 << 16, std::nullopt, {100, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(BarFor(c.received, c.length), c.bar) << c.what;
}

}  // namespace
}  // namespace stickwell::updater
