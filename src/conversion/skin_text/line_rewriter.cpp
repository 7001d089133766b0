#include "conversion/skin_text/line_rewriter.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "support/byte_mask.h"
#include "support/code_page.h"
#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the word tricks below read a line's bytes as little-endian numbers");

// Code-page bytes: "ä" is 0xE4.
constexpr std::array<std::string_view, 5> kBitmapKeys = {
    "gfxHintergrund", "gfxLautst\xE4rkeregler", "gfxSchluss", "gfxSongsuche", "gfxWunschliste"};

// A property name of up to eight bytes as one number: its bytes, and its
// length in the top byte when it is shorter. Longer names give 0.
constexpr std::uint64_t PropertyTag(std::string_view name) {
  std::uint64_t tag = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    tag |= std::uint64_t{static_cast<std::uint8_t>(name[i])} << (8 * i);
  }
  return name.size() < 8 ? tag | std::uint64_t{name.size()} << 56 : tag;
}

// The same from the bytes of a line, which may be read past the name.
std::uint64_t PropertyTag(const char* name, std::size_t size) {
  std::uint64_t bytes;
  std::memcpy(&bytes, name, 8);
  if (size > 8) return 0;
  if (size == 8) return bytes;
  return (bytes & ((std::uint64_t{1} << (8 * size)) - 1)) | std::uint64_t{size} << 56;
}

// Which of the three divisors (x, y, font) divides a property's value; -1
// for a property that is not scaled. In a skin the properties follow each
// other in no order a processor could predict, so the name is looked up with
// one comparison rather than a chain of branches: the five names start with
// five letters whose low five bits differ.
int DivisorIndex(std::string_view property) {
  struct Slot {
    std::uint64_t tag = 0;
    int divisor = -1;
  };
  static constexpr std::array<Slot, 32> kSlots = [] {
    std::array<Slot, 32> slots{};
    for (Slot slot :
         {Slot{PropertyTag("Left"), 0}, Slot{PropertyTag("Width"), 0}, Slot{PropertyTag("Top"), 1},
          Slot{PropertyTag("Height"), 1}, Slot{PropertyTag("FontSize"), 2}}) {
      slots[slot.tag % 32] = slot;
    }
    return slots;
  }();
  const std::uint64_t tag = PropertyTag(property.data(), property.size());
  const Slot& slot = kSlots[tag % 32];
  return slot.tag == tag ? slot.divisor : -1;
}

// The value when it is one to four decimal digits and nothing else, as
// nearly every value of a skin is: a screen is narrower than 10000 pixels.
// Read four bytes at once, which may reach past the value.
std::optional<std::uint32_t> ShortDigits(std::string_view value) {
  const std::size_t size = value.size();
  if (size - 1 >= 4) return std::nullopt;  // also an empty value
  std::uint32_t bytes;
  std::memcpy(&bytes, value.data(), 4);
  // The value moved up to the top of the word and "0"s put in front of it:
  // four digits, the first in the lowest byte.
  const std::size_t missing = 4 - size;
  if (missing > 0) bytes = (bytes << (8 * missing)) | (0x30303030u >> (8 * size));
  // Every byte is 0x30..0x39 exactly when its high nibble is 3 and adding 6
  // keeps it so.
  constexpr std::uint32_t kHigh = 0xF0F0F0F0u;
  if (((bytes & kHigh) | (((bytes + 0x06060606u) & kHigh) >> 4)) != 0x33333333u) {
    return std::nullopt;
  }
  // Pairs of digits to numbers of 0..99, then the whole.
  bytes = (bytes & 0x0F0F0F0Fu) * 2561 >> 8;
  return (bytes & 0x00FF00FFu) * 6553601u >> 16;
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
  const std::size_t fraction_digits = i - fraction_start;
  if (i != value.size() || fraction_digits == 0 || whole_digits + fraction_digits > kMaxDigits) {
    return std::nullopt;
  }
  // All digits as one whole number and a power of ten, both exact in a
  // double: their quotient, correctly rounded as every division is, is the
  // number the text stands for, exactly as from_chars would read it.
  constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::uint64_t digits = whole;
  for (std::size_t at = fraction_start; at < i; ++at) {
    digits = digits * 10 + static_cast<std::uint64_t>(value[at] - '0');
  }
  const double number = static_cast<double>(digits) / kPowersOfTen[fraction_digits];
  return negative ? -number : number;
}

// The number a scaled value other than a few digits stands for; nothing
// when it is none.
std::optional<double> ReadNumber(std::string_view value, char decimal_separator) {
  if (std::optional<double> number = PlainNumber(value, decimal_separator)) return number;
  std::string text(value);
  if (decimal_separator != ',') text = ReplaceAll(text, ",", std::string(1, decimal_separator));
  return ParseNumber(text, decimal_separator);
}

// Writes `number` / `divisor`, rounded down, at `out` (at most 11
// characters) and returns its end; nothing when that does not fit 32 bits.
char* WriteQuotient(double number, float divisor, char* out) {
  // NaN fails both tests; the floor is taken by hand, which spares a call
  // to the library.
  const double quotient = number / static_cast<double>(divisor);
  if (!(quotient >= -2147483648.0 && quotient < 2147483648.0)) return nullptr;
  auto whole = static_cast<std::int64_t>(quotient);
  if (static_cast<double>(whole) > quotient) --whole;
  return std::to_chars(out, out + 11, static_cast<std::int32_t>(whole)).ptr;
}

// Copies `text` to `out` and returns the end.
char* Write(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// Where the fields of a line end, as GetField finds them: the first "=" ends
// the key and the second (or the end of the line) the value; in the key, the
// first "." ends the element and the second (or the "=") the property.
// Whatever is missing lies at the end of the line.
struct Separators {
  std::size_t equals, value_end, dot, property_end;
};

Separators FindSeparators(std::string_view line) {
  const std::size_t n = line.size();
  Separators found{n, n, n, n};
  static_assert(kLinePadding >= 64);
  if (n <= 64) {
    // The line and its padding searched at once, 32 or 64 bytes; the bits
    // past the line are dropped.
    const std::uint64_t in_line = n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
    std::uint64_t equals =
        (n <= 32 ? ByteMask<32>(line.data(), '=') : ByteMask<64>(line.data(), '=')) & in_line;
    std::uint64_t dots =
        (n <= 32 ? ByteMask<32>(line.data(), '.') : ByteMask<64>(line.data(), '.')) & in_line;
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

LineRewriter::LineRewriter(const ConversionFactors& factors, char decimal_separator)
    : divisors_{factors.x, factors.y, factors.font},
      decimal_separator_(decimal_separator),
      wholes_(3 * kWholes),
      others_(std::size_t{1} << kOtherBits) {}

// Where the scaled text of `value` is remembered; nothing for a value too
// long to be. A whole value has a place of its own; any other short value
// takes over the place its bytes hash to.
LineRewriter::ScaledText* LineRewriter::Remembered(std::string_view value,
                                                   std::optional<std::uint32_t> digits,
                                                   int divisor) {
  if (digits) return *digits < kWholes ? &wholes_[divisor * kWholes + *digits] : nullptr;
  const std::size_t size = value.size();
  if (size - 1 >= 7) return nullptr;  // also an empty value
  std::uint64_t bytes;
  std::memcpy(&bytes, value.data(), 8);
  // The bytes of the value, and its length and divisor in the top byte.
  const std::uint64_t key = (bytes & ((std::uint64_t{1} << (8 * size)) - 1)) |
                            (std::uint64_t{size} | static_cast<std::uint64_t>(divisor) << 3) << 56;
  OtherValue& place = others_[(key * 0x9E3779B97F4A7C15ull) >> (64 - kOtherBits)];
  if (place.key != key) place = {key, {}};
  return &place.scaled;
}

// Writes the scaled value at `out`, at most 11 bytes, and returns its end;
// nothing when it cannot be computed. Inline, for most lines of a skin come
// to copying a value scaled before.
[[gnu::always_inline]] inline char* LineRewriter::WriteScaledValue(std::string_view value,
                                                                   int divisor, char* out) {
  const std::optional<std::uint32_t> digits = ShortDigits(value);
  ScaledText* known = Remembered(value, digits, divisor);
  if (known && known->size != 0) {
    std::memcpy(out, known, sizeof *known);
    return out + known->size;
  }
  char* end = WorkOutScaledValue(value, digits, divisor, out);
  // A value scaled past seven characters is worked out every time.
  if (known && end && end - out <= static_cast<std::ptrdiff_t>(sizeof known->text)) {
    known->size = static_cast<std::uint8_t>(end - out);
    std::memcpy(known->text, out, known->size);
  }
  return end;
}

[[gnu::noinline]] char* LineRewriter::WorkOutScaledValue(std::string_view value,
                                                         std::optional<std::uint32_t> digits,
                                                         int divisor, char* out) const {
  const std::optional<double> number = digits ? *digits : ReadNumber(value, decimal_separator_);
  return number ? WriteQuotient(*number, divisors_[divisor], out) : nullptr;
}

// Fields are found as GetField finds them: the key before the first "=", the
// value up to the second; element and property likewise at ".".
void LineRewriter::Rewrite(std::string_view line, char* out, LineRewrite* rewrite) {
  LineRewrite& result = *rewrite;
  result = LineRewrite{};
  if (line.empty()) return;
  result.written = true;
  result.kept = line.size();  // unless the rule changes something

  const Separators at = FindSeparators(line);
  if (at.equals == line.size()) return;
  // The separators lie in order within the line: no bounds to check.
  const std::string_view key(line.data(), at.equals);
  const std::string_view value(line.data() + at.equals + 1, at.value_end - at.equals - 1);
  const std::size_t dot = at.dot;
  if (dot == line.size()) {
    // A key without a dot names no property: a bitmap, or anything else
    // ("Form" among them), which stays as it is.
    if (!key.starts_with("gfx")) return;
    for (std::string_view bitmap_key : kBitmapKeys) {
      if (key != bitmap_key) continue;
      result.names_bitmap = true;
      result.bitmap = value;
      result.kept = at.equals + 1;
      result.tail = static_cast<std::size_t>(Write(out, BitmapTargetName(value)) - out);
      return;
    }
    return;
  }

  // The line is written anew as element.property=value: a key with a second
  // dot loses it and all after it, and a value ends at a second "=".
  const std::string_view property(line.data() + dot + 1, at.property_end - dot - 1);
  const bool whole_key = at.property_end == at.equals;
  char* end = out;
  if (whole_key) {
    result.kept = at.equals + 1;
  } else {
    result.kept = at.property_end;
    *end++ = '=';
  }
  if (const int divisor = DivisorIndex(property); divisor >= 0) {
    if (char* scaled = WriteScaledValue(value, divisor, end)) {
      result.tail = static_cast<std::size_t>(scaled - out);
      return;
    }
    result.kept_value = true;
  }
  if (whole_key) {
    result.kept = at.value_end;
    return;
  }
  result.tail = static_cast<std::size_t>(Write(end, value) - out);
}

RewrittenLine RewriteLine(std::string_view line, const ConversionFactors& factors,
                          char decimal_separator) {
  RewrittenLine out;
  std::string padded(line);
  padded.resize(line.size() + kLinePadding);
  std::string tail(line.size() + kRewriteGrowth, '\0');
  LineRewrite rewrite;
  LineRewriter(factors, decimal_separator)
      .Rewrite({padded.data(), line.size()}, tail.data(), &rewrite);
  if (!rewrite.written) return out;
  std::string text(line.substr(0, rewrite.kept));
  text.append(tail, 0, rewrite.tail);
  out.names_bitmap = rewrite.names_bitmap;
  out.bitmap = std::string(rewrite.bitmap);
  if (rewrite.kept_value) out.warning = KeptValueWarning(text);
  out.line = std::move(text);
  return out;
}

}  // namespace fendrix
