#include "support/durable_io.h"

#include <io.h>
#include <windows.h>

namespace fendrix {

bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
}

bool SyncFolderToDisk(const std::filesystem::path&, std::string*) { return true; }

void RenameWrittenThrough(const std::filesystem::path& from, const std::filesystem::path& to,
                          std::error_code& ec) {
  ec.clear();
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
    ec.assign(static_cast<int>(GetLastError()), std::system_category());
  }
}

}  // namespace fendrix
