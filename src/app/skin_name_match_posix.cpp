#include "app/skin_name_match.h"

#include "support/path_text.h"

namespace fendrix {

bool SkinNameMatches(const std::filesystem::path& entry, const std::filesystem::path& wanted) {
  return NamesEqualIgnoringCase(entry, wanted);
}

}  // namespace fendrix
