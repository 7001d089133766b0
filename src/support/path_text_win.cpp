#include <windows.h>

#include "support/path_text.h"

namespace fendrix {

bool NamesEqualIgnoringCase(const std::filesystem::path& a, const std::filesystem::path& b) {
  const std::wstring& wa = a.native();
  const std::wstring& wb = b.native();
  return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                              static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace fendrix
