#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Lines are searched for their separators many bytes at a time: one compare
// tells where in a block a byte stands, and the bits of the answer are taken
// one by one without a loop over the bytes.

namespace fendrix {

/// Bit i set where byte i of the `kBytes` bytes at `bytes` is `c`. All
/// `kBytes` bytes must be readable.
template <std::size_t kBytes>
std::uint64_t ByteMask(const char* bytes, char c) {
  static_assert(kBytes % 16 == 0 && kBytes <= 64);
  std::uint64_t bits = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(c);
  for (std::size_t i = 0; i < kBytes / 16; ++i) {
    const __m128i part = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * i));
    const auto hits = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(part, wanted)));
    bits |= std::uint64_t{hits} << (16 * i);
  }
#else
  for (std::size_t i = 0; i < kBytes; ++i) bits |= std::uint64_t{bytes[i] == c} << i;
#endif
  return bits;
}

}  // namespace fendrix
