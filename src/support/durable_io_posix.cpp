#include "support/durable_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "support/file_system.h"
#include "support/system_error_text.h"

namespace fendrix {

bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  return ::fsync(::fileno(file)) == 0;
}

bool SyncFolderToDisk(const std::filesystem::path& folder, std::string* err) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // Some file systems cannot sync a folder (EINVAL); they have nothing to do.
  bool synced = fd >= 0 && (::fsync(fd) == 0 || errno == EINVAL);
  const int sync_errno = errno;
  if (fd >= 0) ::close(fd);
  if (!synced) {
    *err = "Ordner kann nicht auf den Datenträger geschrieben werden: " + DisplayPath(folder) +
           " (" + SystemErrorText(sync_errno) + ")";
  }
  return synced;
}

void RenameWrittenThrough(const std::filesystem::path& from, const std::filesystem::path& to,
                          std::error_code& ec) {
  std::filesystem::rename(from, to, ec);
}

}  // namespace fendrix
