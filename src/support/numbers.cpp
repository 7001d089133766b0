#include "support/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace fendrix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Rewrites `text` into the plain form std::from_chars reads ("-12.5e3"), or
// gives nothing when it is not a number in the accepted shape.
std::optional<std::string> Normalize(std::string_view text, char decimal_separator) {
  std::size_t i = 0, end = text.size();
  while (i < end && IsBlank(text[i])) ++i;
  while (end > i && IsBlank(text[end - 1])) --end;

  std::string sign;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') sign = "-";
    ++i;
  }
  std::string whole, fraction;
  for (; i < end && IsDigit(text[i]); ++i) whole.push_back(text[i]);
  if (i < end && text[i] == decimal_separator) {
    for (++i; i < end && IsDigit(text[i]); ++i) fraction.push_back(text[i]);
  }
  if (whole.empty() && fraction.empty()) return std::nullopt;

  std::string plain = sign + (whole.empty() ? "0" : whole);
  if (!fraction.empty()) plain += "." + fraction;
  if (i < end && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    plain.push_back('e');
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) plain.push_back(text[i++]);
    std::size_t digits_start = i;
    for (; i < end && IsDigit(text[i]); ++i) plain.push_back(text[i]);
    if (i == digits_start) return std::nullopt;
  }
  if (i != end) return std::nullopt;
  return plain;
}

template <typename Int>
std::optional<Int> RoundTo(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double rounded = std::nearbyint(value);  // the default mode rounds halves to even
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(rounded);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text, char decimal_separator) {
  std::optional<std::string> plain = Normalize(text, decimal_separator);
  if (!plain) return std::nullopt;
  double value = 0;
  const char* last = plain->data() + plain->size();
  auto [ptr, ec] = std::from_chars(plain->data(), last, value);
  if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool IsNumeric(std::string_view text, char decimal_separator) {
  return ParseNumber(text, decimal_separator).has_value();
}

std::string ShortestText(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::optional<std::int16_t> RoundToInt16(double value) { return RoundTo<std::int16_t>(value); }

std::optional<std::int32_t> RoundToInt32(double value) { return RoundTo<std::int32_t>(value); }

}  // namespace fendrix
