#include "conversion/line_rewriter.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "support/code_page.h"
#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix {
namespace {

// Code-page bytes: "ä" is 0xE4.
constexpr std::array<std::string_view, 5> kBitmapKeys = {
    "gfxHintergrund", "gfxLautst\xE4rkeregler", "gfxSchluss", "gfxSongsuche", "gfxWunschliste"};

// The property names are told apart by their length first.
std::optional<float> DivisorFor(std::string_view property, const ConversionFactors& factors) {
  switch (property.size()) {
    case 3:
      if (property == "Top") return factors.y;
      break;
    case 4:
      if (property == "Left") return factors.x;
      break;
    case 5:
      if (property == "Width") return factors.x;
      break;
    case 6:
      if (property == "Height") return factors.y;
      break;
    case 8:
      if (property == "FontSize") return factors.font;
      break;
  }
  return std::nullopt;
}

// A value that the rule may scale, when it has the plain shape nearly all
// skins use: an optional minus, digits, and perhaps a decimal separator (or
// a comma, which stands for it) and more digits. Its number is the one
// ParseNumber reads from it, found without building any string; any other
// shape gives nothing and takes the general way.
std::optional<double> PlainNumber(std::string_view value, char decimal_separator) {
  constexpr std::size_t kMaxDigits = 15;  // whole numbers this long are exact in a double
  std::size_t i = value.empty() || value[0] != '-' ? 0 : 1;
  const std::size_t whole_start = i;
  std::uint64_t whole = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    whole = whole * 10 + static_cast<std::uint64_t>(value[i] - '0');
  }
  const std::size_t whole_digits = i - whole_start;
  if (whole_digits == 0 || whole_digits > kMaxDigits) return std::nullopt;
  const bool negative = whole_start == 1;
  if (i == value.size()) {
    const auto number = static_cast<double>(whole);
    return negative ? -number : number;
  }
  if (value[i] != ',' && value[i] != decimal_separator) return std::nullopt;
  const std::size_t fraction_start = ++i;
  while (i < value.size() && value[i] >= '0' && value[i] <= '9') ++i;
  if (i != value.size() || i == fraction_start || i - fraction_start > kMaxDigits) {
    return std::nullopt;
  }
  // The text ParseNumber hands to from_chars: sign, digits, ".", digits.
  char text[2 * kMaxDigits + 2];
  std::size_t n = value.size();
  std::memcpy(text, value.data(), n);
  text[fraction_start - 1] = '.';
  double number = 0;
  auto [end, error] = std::from_chars(text, text + n, number);
  if (error != std::errc() || end != text + n) return std::nullopt;
  return number;
}

// Writes the scaled value at `out` (at most 11 characters) and returns its
// end; nothing when it cannot be computed.
char* WriteScaledValue(std::string_view value, float divisor, char decimal_separator, char* out) {
  std::optional<double> number = PlainNumber(value, decimal_separator);
  if (!number) {
    std::string text(value);
    if (decimal_separator != ',') text = ReplaceAll(text, ",", std::string(1, decimal_separator));
    number = ParseNumber(text, decimal_separator);
    if (!number) return nullptr;
  }
  // Rounded down, and refused unless that fits 32 bits (NaN fails both tests);
  // the floor is taken by hand, which spares a call to the library.
  const double quotient = *number / static_cast<double>(divisor);
  if (!(quotient >= -2147483648.0 && quotient < 2147483648.0)) return nullptr;
  auto whole = static_cast<std::int64_t>(quotient);
  if (static_cast<double>(whole) > quotient) --whole;
  return std::to_chars(out, out + 11, static_cast<std::int32_t>(whole)).ptr;
}

// Copies `text` to `out` and returns the end. The pieces of a line are a few
// bytes long: two overlapping moves copy them without calling memcpy.
char* Write(char* out, std::string_view text) {
  const char* in = text.data();
  const std::size_t n = text.size();
  auto move = [&](std::size_t at, auto word) {
    std::memcpy(&word, in + at, sizeof word);
    std::memcpy(out + at, &word, sizeof word);
  };
  if (n >= 8 && n <= 16) {
    move(0, std::uint64_t{});
    move(n - 8, std::uint64_t{});
  } else if (n >= 4 && n < 8) {
    move(0, std::uint32_t{});
    move(n - 4, std::uint32_t{});
  } else if (n > 16) {
    std::memcpy(out, in, n);
  } else {
    for (std::size_t i = 0; i < n; ++i) out[i] = in[i];
  }
  return out + n;
}

// Where the fields of a line end, as GetField finds them: the first "=" ends
// the key and the second (or the end of the line) the value; in the key, the
// first "." ends the element and the second (or the "=") the property.
// Whatever is missing lies at the end of the line.
struct Separators {
  std::size_t equals, value_end, dot, property_end;
};

// Lines up to this long are searched eight bytes at a time; longer ones,
// rare in a skin, byte by byte.
constexpr std::size_t kWordSearchMax = 64;

// One bit per byte of the eight at `word`, set where the byte is `c`: the
// high bit of each byte of `hits` is set exactly where that byte of `word`
// is `c`, and the multiplication gathers those eight bits into one byte.
std::uint64_t ByteHits(std::uint64_t word, char c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kLows = 0x7F7F7F7F7F7F7F7Full;
  const std::uint64_t v = word ^ (kOnes * static_cast<std::uint8_t>(c));
  const std::uint64_t hits = ~(((v & kLows) + kLows) | v) & ~kLows;
  return ((hits >> 7) * 0x0102040810204080ull) >> 56;
}

Separators FindSeparators(std::string_view line) {
  const std::size_t n = line.size();
  Separators found{n, n, n, n};
  if (std::endian::native == std::endian::little && n >= 8 && n <= kWordSearchMax) {
    // Bit i of `equals` and `dots` stands for byte i of the line.
    std::uint64_t equals = 0, dots = 0;
    std::size_t at = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time; the last bytes are the final sixteen, their
    // bits shifted down past those already seen.
    if (n >= 16) {
      auto take = [&](std::size_t from, std::size_t seen) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + from));
        const auto hits = [&](char c) {
          const auto mask = static_cast<std::uint32_t>(
              _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
          return static_cast<std::uint64_t>(mask >> seen) << at;
        };
        equals |= hits('=');
        dots |= hits('.');
      };
      for (; at + 16 <= n; at += 16) take(at, 0);
      if (at < n) take(n - 16, 16 - (n - at));
      at = n;
    }
#endif
    auto take = [&](std::uint64_t word) {
      equals |= ByteHits(word, '=') << at;
      dots |= ByteHits(word, '.') << at;
    };
    for (; at + 8 <= n; at += 8) {
      std::uint64_t word;
      std::memcpy(&word, line.data() + at, 8);
      take(word);
    }
    if (at < n) {
      // The last bytes: the final eight shifted down past those already
      // seen, which leaves zero bytes, matching neither separator, on top.
      std::uint64_t word;
      std::memcpy(&word, line.data() + n - 8, 8);
      take(word >> (8 * (8 - (n - at))));
    }
    if (equals != 0) {
      found.equals = static_cast<std::size_t>(std::countr_zero(equals));
      equals &= equals - 1;
      if (equals != 0) found.value_end = static_cast<std::size_t>(std::countr_zero(equals));
      dots &= (std::uint64_t{1} << found.equals) - 1;  // only those in the key
    }
    if (dots != 0) {
      found.dot = static_cast<std::size_t>(std::countr_zero(dots));
      dots &= dots - 1;
      if (dots != 0) found.property_end = static_cast<std::size_t>(std::countr_zero(dots));
    }
  } else {
    for (std::size_t at = 0; at < n && found.value_end == n; ++at) {
      if (line[at] == '=') {
        (found.equals == n ? found.equals : found.value_end) = at;
      } else if (line[at] == '.' && found.equals == n && found.property_end == n) {
        (found.dot == n ? found.dot : found.property_end) = at;
      }
    }
  }
  if (found.property_end == n) found.property_end = found.equals;
  return found;
}

}  // namespace

std::string BitmapTargetName(std::string_view value) { return GetFileName(value, false) + ".bmp"; }

std::string KeptValueWarning(std::string_view rewritten_line) {
  return "Wert ist keine verwendbare Zahl und bleibt unverändert: " + Cp1252ToUtf8(rewritten_line);
}

// Fields are found as GetField finds them: the key before the first "=", the
// value up to the second; element and property likewise at ".".
LineRewrite RewriteLineInto(std::string_view line, const ConversionFactors& factors,
                            char decimal_separator, char* out) {
  LineRewrite result;
  if (line.empty()) return result;
  result.written = true;

  const Separators at = FindSeparators(line);
  const std::string_view key = line.substr(0, at.equals == line.size() ? 0 : at.equals);
  if (at.equals == line.size() || key == "Form") {
    result.size = static_cast<std::size_t>(Write(out, line) - out);
    return result;
  }
  const std::string_view value = line.substr(at.equals + 1, at.value_end - at.equals - 1);
  if (key.starts_with("gfx")) {
    for (std::string_view bitmap_key : kBitmapKeys) {
      if (key != bitmap_key) continue;
      result.names_bitmap = true;
      result.bitmap = value;
      char* end = Write(out, key);
      *end++ = '=';
      end = Write(end, BitmapTargetName(value));
      result.size = static_cast<std::size_t>(end - out);
      return result;
    }
  }
  const std::size_t dot = at.dot;
  if (dot == line.size()) {
    result.size = static_cast<std::size_t>(Write(out, line) - out);
    return result;
  }

  const std::string_view property = key.substr(dot + 1, at.property_end - dot - 1);
  char* end = Write(out, key.substr(0, dot + 1));
  end = Write(end, property);
  *end++ = '=';
  if (std::optional<float> divisor = DivisorFor(property, factors)) {
    if (char* scaled = WriteScaledValue(value, *divisor, decimal_separator, end)) {
      result.size = static_cast<std::size_t>(scaled - out);
      return result;
    }
    result.kept_value = true;
  }
  result.size = static_cast<std::size_t>(Write(end, value) - out);
  return result;
}

RewrittenLine RewriteLine(std::string_view line, const ConversionFactors& factors,
                          char decimal_separator) {
  RewrittenLine out;
  std::string text(line.size() + kRewriteGrowth, '\0');
  const LineRewrite rewrite = RewriteLineInto(line, factors, decimal_separator, text.data());
  if (!rewrite.written) return out;
  text.resize(rewrite.size);
  out.names_bitmap = rewrite.names_bitmap;
  out.bitmap = std::string(rewrite.bitmap);
  if (rewrite.kept_value) out.warning = KeptValueWarning(text);
  out.line = std::move(text);
  return out;
}

}  // namespace fendrix
