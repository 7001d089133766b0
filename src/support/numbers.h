#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The locale-aware numeric test and conversion that the skin files, folder
// names and resolution boxes are read with. The decimal separator is always
// passed in, so the same text reads the same on every machine that passes the
// same separator.

namespace fendrix {

/// Reads `text` as a number: optional blanks, an optional sign, digits with at
/// most one `decimal_separator` (at least one digit in all), an optional
/// exponent (E or D, optional sign, digits), optional blanks. Nothing when the
/// text has another form or its value does not fit a double.
std::optional<double> ParseNumber(std::string_view text, char decimal_separator);

/// True when ParseNumber reads `text`.
bool IsNumeric(std::string_view text, char decimal_separator);

/// `value` as short as it reads back, with a decimal point: 1200, 8.25.
std::string ShortestText(double value);

/// Rounds to the nearest whole number, halves to even; nothing when the
/// result does not fit 16 bits (signed).
std::optional<std::int16_t> RoundToInt16(double value);

/// Rounds to the nearest whole number, halves to even; nothing when the
/// result does not fit 32 bits (signed).
std::optional<std::int32_t> RoundToInt32(double value);

}  // namespace fendrix
