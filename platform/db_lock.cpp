#include "platform/db_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/files.h"

namespace platform {

DatabaseLock& DatabaseLock::Instance() {
  static DatabaseLock lock;
  return lock;
}

bool DatabaseLock::LockFile(const std::string& directory, bool wait) {
  fd_ = -1;
  if (!IsDirectory(directory)) return true;  // nothing on disk to share yet
  const std::string path = NativePath(directory) + "/SHGDB.lock";
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return true;  // a read-only directory: nobody else can write it either
  while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool DatabaseLock::TryLock(const std::string& directory) {
  if (!mutex_.try_lock()) return false;
  if (LockFile(directory, false)) return true;
  mutex_.unlock();
  return false;
}

void DatabaseLock::Lock(const std::string& directory) {
  mutex_.lock();
  LockFile(directory, true);
}

void DatabaseLock::Unlock() {
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }
  mutex_.unlock();
}

}  // namespace platform
