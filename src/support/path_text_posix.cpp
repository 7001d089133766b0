#include <locale.h>
#include <wctype.h>

#include "support/code_page.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

// The capital the system's ordinal comparison gives, from the locale's
// tables rather than the process locale, which another part may change.
wchar_t Capital(wchar_t c) {
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  if (c > 0xFFFF) return c;
  if (!unicode) return c >= L'a' && c <= L'z' ? c - (L'a' - L'A') : c;
  return static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), unicode));
}

}  // namespace

bool NamesEqualIgnoringCase(const std::filesystem::path& a, const std::filesystem::path& b) {
  const std::wstring wa = Utf8ToWide(PathToUtf8(a)), wb = Utf8ToWide(PathToUtf8(b));
  if (wa.size() != wb.size()) return false;
  for (std::size_t i = 0; i < wa.size(); ++i) {
    if (Capital(wa[i]) != Capital(wb[i])) return false;
  }
  return true;
}

}  // namespace fendrix
