#include "support/decimal_separator.h"

#include <locale.h>
#include <clocale>

namespace fendrix {

char SystemDecimalSeparator() {
  // A private locale object, so the process's own locale is never switched.
  locale_t user = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return '.';
  locale_t previous = uselocale(user);
  const lconv* conventions = std::localeconv();
  char separator = '.';
  // The C locale's monetary point is empty; fall back rather than yield a blank.
  if (conventions->mon_decimal_point && conventions->mon_decimal_point[0]) {
    separator = conventions->mon_decimal_point[0];
  } else if (conventions->decimal_point && conventions->decimal_point[0]) {
    separator = conventions->decimal_point[0];
  }
  uselocale(previous);
  freelocale(user);
  return separator;
}

}  // namespace fendrix
