#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "support/text_lines.h"

// The line cipher of Skin.vsk. Every line is enciphered on its own; the line
// ends are not. The operation is its own inverse: the same call deciphers and
// enciphers.

namespace fendrix {

/// The one key every skin file is enciphered with.
inline constexpr std::string_view kSkinKey = "kvt3";

/// XORs byte p with 255, the key byte (p mod n) and (p mod 256). An empty key
/// uses no key byte. The key is taken as code-page bytes.
void XorCrypt(std::string& bytes, std::string_view key);

/// Enciphers or deciphers one line of code-page bytes in place; an empty line
/// stays empty.
void CryptLine(std::string& line, std::string_view key);

/// The bytes CryptLine XORs into a line, worked out once: they depend only
/// on a byte's position in its line and on the key, and repeat every
/// lcm(key length, 256) bytes. With them a line, or any stretch of one, is a
/// single XOR pass, deciphered or enciphered alike.
class LineMask {
 public:
  explicit LineMask(std::string_view key);

  /// `to` = `from` XOR the mask, for the `size` bytes that stand at
  /// `position` in their line. `from` and `to` must not overlap.
  void Apply(const char* from, char* to, std::size_t size, std::size_t position = 0) const;

  /// Apply where both `from` and `to` have kLinePadding bytes of room after
  /// the stretch: a short stretch, as nearly every line of a skin is, is
  /// done in whole 16-byte words, and what lands in the room is of no
  /// meaning.
  void ApplyPadded(const char* from, char* to, std::size_t size, std::size_t position = 0) const {
    constexpr std::size_t kShort = 32;
    static_assert(kShort <= kLinePadding);
    if (size > kShort || position >= period_) return Apply(from, to, size, position);
#if defined(__SSE2__)
    const char* key = mask_.data() + position;
    for (std::size_t at = 0; at < kShort; at += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + at));
      const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(key + at));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + at), _mm_xor_si128(bytes, mask));
    }
#else
    Apply(from, to, size, position);
#endif
  }

 private:
  std::size_t period_;
  std::string mask_;  // two periods, so that one period can be read from any start
};

/// A whole Skin.vsk from plain lines of code-page bytes: each enciphered with
/// the skin key and ended by CR LF.
std::string EncipherLines(const std::vector<std::string>& lines);

}  // namespace fendrix
