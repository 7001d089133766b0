#include "support/text_lines.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fendrix {
namespace {

std::size_t CountCarriageReturns(std::string_view text) {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time, each lane of a vector keeping its own tally; a
  // lane holds at most 255, so the lanes are summed after every 255 rounds.
  const __m128i carriage_return = _mm_set1_epi8('\r');
  while (text.size() - i >= 16) {
    const std::size_t rounds = std::min<std::size_t>(255, (text.size() - i) / 16);
    __m128i tally = _mm_setzero_si128();
    for (std::size_t round = 0; round < rounds; ++round, i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
      tally = _mm_sub_epi8(tally, _mm_cmpeq_epi8(bytes, carriage_return));
    }
    const __m128i sums = _mm_sad_epu8(tally, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
  }
#endif
  for (; i < text.size(); ++i) count += text[i] == '\r' ? 1 : 0;
  return count;
}

}  // namespace

void LineCounter::Add(std::string_view piece) {
  if (piece.empty()) return;
  if (after_cr_ && piece[0] == '\n') piece.remove_prefix(1);  // the end of the line before
  after_cr_ = false;
  const std::size_t last_end = piece.rfind('\r');
  if (last_end == std::string_view::npos) {
    open_ = open_ || !piece.empty();
    return;
  }
  ends_ += CountCarriageReturns(piece);
  std::size_t rest = last_end + 1;
  if (rest < piece.size() && piece[rest] == '\n') ++rest;
  open_ = rest < piece.size();
  after_cr_ = last_end + 1 == piece.size();
}

}  // namespace fendrix
