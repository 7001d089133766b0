#include "support/text_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace fendrix {

bool LineReader::Next(std::string_view* line) {
  if (pos_ >= text_.size()) return false;
  const char* begin = text_.data() + pos_;
  const std::size_t rest = text_.size() - pos_;
  const auto* end = static_cast<const char*>(std::memchr(begin, '\r', rest));
  if (end == nullptr) {
    *line = std::string_view(begin, rest);
    pos_ = text_.size();
    return true;
  }
  *line = std::string_view(begin, static_cast<std::size_t>(end - begin));
  pos_ += line->size() + 1;
  if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  return true;
}

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
