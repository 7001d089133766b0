#include "support/decimal_separator.h"

#include <windows.h>

#include <string>

namespace fendrix {
namespace {

constexpr LCID kLocaleId = 0;
constexpr LCTYPE kMonetaryDecimalSeparator = 22;  // LOCALE_SMONDECIMALSEP

// The locale string in two calls: the first asks for the size, the second fills it.
std::string LocaleString(LCID locale, LCTYPE item) {
  int size = GetLocaleInfoA(locale, item, nullptr, 0);
  if (size == 0) return "";
  std::string buffer(static_cast<std::size_t>(size), '\0');
  if (GetLocaleInfoA(locale, item, buffer.data(), size) == 0) return "";
  return buffer.substr(0, buffer.find('\0'));
}

}  // namespace

char SystemDecimalSeparator() {
  std::string separator = LocaleString(kLocaleId, kMonetaryDecimalSeparator);
  return separator.empty() ? ' ' : separator[0];
}

}  // namespace fendrix
