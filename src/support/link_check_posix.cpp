#include "support/link_check.h"

namespace fendrix {

bool IsLinkOrJunction(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec));
}

}  // namespace fendrix
