#include "support/file_lock.h"

#include <windows.h>

#include <system_error>

#include "support/system_error_text.h"

namespace fendrix {
namespace {

class HandleLock : public FileLock {
 public:
  explicit HandleLock(HANDLE handle) : handle_(handle) {}
  ~HandleLock() override { CloseHandle(handle_); }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::filesystem::path& path, bool* held_elsewhere,
                                      std::string* err) {
  *held_elsewhere = false;
  DWORD error = 0;
  // A file its last holder just closed is "delete pending" for a moment and
  // refuses to open with access denied; a few short waits see it gone.
  for (int round = 0; round < 20; ++round) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return std::make_unique<HandleLock>(handle);
    error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) {
      *held_elsewhere = true;
      return nullptr;
    }
    if (error != ERROR_ACCESS_DENIED) break;
    Sleep(10);
  }
  *err = "Sperrdatei kann nicht angelegt werden: " + DisplayPath(path) + " (" +
         SystemErrorText(std::error_code(static_cast<int>(error), std::system_category())) + ")";
  return nullptr;
}

}  // namespace fendrix
