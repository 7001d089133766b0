#include "support/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/system_error_text.h"

namespace fendrix {
namespace {

class FlockLock : public FileLock {
 public:
  FlockLock(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  // Removed while still locked: whoever opened it meanwhile finds, once it
  // has the lock, that the name no longer leads to its file, and starts over.
  ~FlockLock() override {
    ::unlink(path_.c_str());
    ::close(fd_);
  }
  // Emptied first: a reader meanwhile finds no note, or a part of this one,
  // never a part of the last one.
  void SetNote(std::string_view note) override {
    if (::ftruncate(fd_, 0) == 0) {
      [[maybe_unused]] ssize_t written = ::pwrite(fd_, note.data(), note.size(), 0);
    }
  }

 private:
  int fd_;
  std::filesystem::path path_;
};

std::string LockFailure(const std::filesystem::path& path, int error) {
  return "Sperrdatei kann nicht angelegt werden: " + DisplayPath(path) + " (" +
         SystemErrorText(error) + ")";
}

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::filesystem::path& path, bool* held_elsewhere,
                                      std::string* err) {
  *held_elsewhere = false;
  // Each round loses only to a holder that let go and removed the file in
  // between; a few rounds are plenty.
  for (int round = 0; round < 100; ++round) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      *err = LockFailure(path, errno);
      return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EINTR) continue;
      if (error == EWOULDBLOCK) {
        *held_elsewhere = true;
      } else {
        *err = LockFailure(path, error);
      }
      return nullptr;
    }
    struct stat locked, named;
    if (::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      // A holder that was killed left its file, and its note in it.
      if (::ftruncate(fd, 0) != 0) {
        *err = LockFailure(path, errno);
        ::close(fd);
        return nullptr;
      }
      return std::make_unique<FlockLock>(fd, path);
    }
    ::close(fd);
  }
  *err = LockFailure(path, EAGAIN);
  return nullptr;
}

std::string ReadLockNote(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "";
  char note[kMaxLockNote];
  ssize_t got = ::read(fd, note, sizeof note);
  ::close(fd);
  return got > 0 ? std::string(note, static_cast<std::size_t>(got)) : "";
}

}  // namespace fendrix
