#include "support/text_lines.h"

#include <algorithm>
#include <cstdint>

namespace fendrix {
namespace {

std::size_t CountCarriageReturns(std::string_view text) {
  // Counted in blocks with a byte-sized tally, which the compiler turns into
  // wide compares.
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t end = std::min(text.size(), i + 255);
    std::uint8_t in_block = 0;
    for (; i < end; ++i) in_block += text[i] == '\r' ? 1 : 0;
    count += in_block;
  }
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
