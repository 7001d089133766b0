// Every scaled value of a Skin.vsk, every resolution box and every folder name
// is read by ParseNumber and rounded by RoundToInt16/32; all of them come from
// strangers or from typing.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "support/numbers.h"

namespace {

using fendrix::ParseNumber;

// A rounding result must be the nearest whole number, and nothing only when
// that number does not fit.
template <typename Int>
void CheckRounding(double value, std::optional<Int> rounded, double low, double high) {
  if (!std::isfinite(value)) {
    FUZZ_CHECK(!rounded);
    return;
  }
  double nearest = std::nearbyint(value);
  if (rounded) {
    FUZZ_CHECK(static_cast<double>(*rounded) == nearest);
    FUZZ_CHECK(std::fabs(static_cast<double>(*rounded) - value) <= 0.5);
  } else {
    FUZZ_CHECK(nearest < low || nearest > high);
  }
}

void CheckRoundings(double value) {
  CheckRounding(value, fendrix::RoundToInt16(value), -32768.0, 32767.0);
  CheckRounding(value, fendrix::RoundToInt32(value), -2147483648.0, 2147483647.0);
}

// The C library's reading of the same number, once the separator is a point
// and the exponent letter an "e": the value must agree to the last bit.
void CheckAgainstStrtod(std::string_view text, char separator, double value) {
  std::string plain;
  for (char c : text) {
    if (c == ' ' || c == '\t') continue;
    if (c == separator) {
      plain.push_back('.');
    } else if (c == 'd' || c == 'D') {
      plain.push_back('e');
    } else {
      plain.push_back(c);
    }
  }
  char* end = nullptr;
  double expected = std::strtod(plain.c_str(), &end);
  FUZZ_CHECK(end == plain.c_str() + plain.size());
  FUZZ_CHECK(expected == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (char separator : {',', '.'}) {
    std::optional<double> number = ParseNumber(text, separator);
    FUZZ_CHECK(fendrix::IsNumeric(text, separator) == number.has_value());
    if (!number) continue;
    FUZZ_CHECK(std::isfinite(*number));
    CheckAgainstStrtod(text, separator, *number);
    CheckRoundings(*number);
  }
  // Any double at all, NaN and the infinities included, may reach the rounding.
  if (size >= sizeof(double)) {
    double raw;
    std::memcpy(&raw, data, sizeof raw);
    CheckRoundings(raw);
  }
  return 0;
}
