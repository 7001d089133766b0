#include "support/text_lines.h"

#include <algorithm>
#include <cstdint>

namespace fendrix {

// Every carriage return ends a line; after the last one (and a line feed
// right after it) any rest is one more line.
std::size_t CountLines(std::string_view text) {
  // Counted in blocks with a byte-sized tally, which the compiler turns into
  // wide compares.
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t end = std::min(text.size(), i + 255);
    std::uint8_t in_block = 0;
    for (; i < end; ++i) in_block += text[i] == '\r' ? 1 : 0;
    count += in_block;
  }
  std::size_t rest = text.rfind('\r');
  rest = rest == std::string_view::npos ? 0 : rest + 1;
  if (rest < text.size() && text[rest] == '\n' && rest > 0) ++rest;
  return count + (rest < text.size() ? 1 : 0);
}

}  // namespace fendrix
