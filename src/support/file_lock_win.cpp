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
  void SetNote(std::string_view note) override {
    DWORD written = 0;
    SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
    WriteFile(handle_, note.data(), static_cast<DWORD>(note.size()), &written, nullptr);
    SetEndOfFile(handle_);
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::filesystem::path& path, bool* held_elsewhere,
                                      std::string* err) {
  *held_elsewhere = false;
  DWORD error = 0;
  // Others may read the holder's note, never write: a second taker, which
  // asks to write, is refused with a sharing violation. A file its last
  // holder just closed is "delete pending" for a moment and refuses to open
  // with access denied; a few short waits see it gone.
  for (int round = 0; round < 20; ++round) {
    HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      // Only a machine that went down with the lock held leaves the file, and
      // its holder's note in it.
      SetEndOfFile(handle);
      return std::make_unique<HandleLock>(handle);
    }
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

std::string ReadLockNote(const std::filesystem::path& path) {
  // Shared every way, as the holder's handle asks.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return "";
  char note[kMaxLockNote];
  DWORD got = 0;
  const bool read = ReadFile(handle, note, sizeof note, &got, nullptr) != FALSE;
  CloseHandle(handle);
  return read ? std::string(note, got) : "";
}

}  // namespace fendrix
