#include "support/byte_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace fendrix {
namespace {

TEST(ByteMaskTest, SetsTheBitOfEveryMatchingByteAndNoOther) {
  for (std::size_t at : {0u, 1u, 15u, 16u, 31u, 32u, 47u, 63u}) {
    std::string block(64, 'x');
    block[at] = '=';
    block[(at + 7) % 64] = '=';
    const std::uint64_t expected = (std::uint64_t{1} << at) | (std::uint64_t{1} << ((at + 7) % 64));
    EXPECT_EQ(ByteMask<64>(block.data(), '='), expected) << at;
    EXPECT_EQ(ByteMask<32>(block.data(), '='), expected & 0xFFFFFFFFu) << at;
    EXPECT_EQ(ByteMask<64>(block.data(), '.'), 0u);
  }
}

}  // namespace
}  // namespace fendrix
