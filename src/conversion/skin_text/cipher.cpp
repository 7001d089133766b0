#include "conversion/skin_text/cipher.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <numeric>

#include "support/text_lines.h"

namespace fendrix {

void XorCrypt(std::string& bytes, std::string_view key) {
  const std::size_t n = key.size();
  for (std::size_t p = 0; p < bytes.size(); ++p) {
    std::uint8_t key_byte = n == 0 ? 0 : static_cast<std::uint8_t>(key[p % n]);
    std::uint8_t mask = 0xFF ^ key_byte ^ static_cast<std::uint8_t>(p & 0xFF);
    bytes[p] = static_cast<char>(static_cast<std::uint8_t>(bytes[p]) ^ mask);
  }
}

void CryptLine(std::string& line, std::string_view key) {
  // The line is held as code-page bytes already, so the round trip through
  // the code page that the format describes is the identity here.
  if (line.empty()) return;
  XorCrypt(line, key);
}

LineMask::LineMask(std::string_view key)
    : period_(key.empty() ? 256 : std::lcm(key.size(), std::size_t{256})),
      mask_(2 * period_, '\0') {
  XorCrypt(mask_, key);
}

void LineMask::Apply(const char* from, char* to, std::size_t size, std::size_t position) const {
  // Eight bytes at a time; a stretch that is no whole number of words ends
  // with its last eight bytes done once more, worked out from `from` again,
  // so the bytes done twice come out the same.
  auto word = [&](const char* key, std::size_t at) {
    std::uint64_t bytes, mask;
    std::memcpy(&bytes, from + at, 8);
    std::memcpy(&mask, key + at, 8);
    bytes ^= mask;
    std::memcpy(to + at, &bytes, 8);
  };
  // A line is mostly shorter than one period: no division for it.
  const char* key = mask_.data() + (position < period_ ? position : position % period_);
  while (size > 0) {
    // Every period starts at the same place in the mask.
    const std::size_t n = std::min(size, period_);
    if (n < 8) {
      for (std::size_t i = 0; i < n; ++i) to[i] = static_cast<char>(from[i] ^ key[i]);
    } else {
      for (std::size_t i = 0; i + 8 <= n; i += 8) word(key, i);
      word(key, n - 8);
    }
    from += n;
    to += n;
    size -= n;
  }
}

std::string EncipherLines(const std::vector<std::string>& lines) {
  std::string stored;
  for (std::string line : lines) {
    CryptLine(line, kSkinKey);
    stored += line;
    stored += kLineEnd;
  }
  return stored;
}

}  // namespace fendrix
