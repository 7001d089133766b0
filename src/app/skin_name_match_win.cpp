#include "app/skin_name_match.h"

#include <windows.h>

namespace fendrix {

bool SkinNameMatches(const std::filesystem::path& entry, const std::filesystem::path& wanted) {
  const std::wstring& a = entry.native();
  const std::wstring& b = wanted.native();
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace fendrix
