#include "support/link_check.h"

#include <sys/stat.h>
#include <unistd.h>

namespace fendrix {

bool IsLinkOrJunction(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec));
}

bool IsMarkedReadOnly(const std::filesystem::path& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  // A folder nobody may write to is read-only by intent, even for root, who
  // could empty it all the same.
  return (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK | X_OK) != 0;
}

}  // namespace fendrix
