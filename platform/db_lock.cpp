#include "platform/db_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <condition_variable>  // the durations of sleep_for; <chrono> itself is kept out of CP932 code

#include "platform/files.h"

namespace platform {

DatabaseLock& DatabaseLock::Instance() {
  static DatabaseLock lock;
  return lock;
}

namespace {

// The lock file, made when missing. Where it cannot be made or written (a read-only medium, a directory
// of another user) an existing one is opened for reading: flock needs no write access, so readers there
// still keep out a writer on this machine. -1 when there is none to open: nobody on this machine can
// have made one, and the caller goes on without (HoldsFileLock tells).
int OpenLockFile(const std::string& native_directory) {
  const std::string path = native_directory + "/SHGDB.lock";
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd;
}

}  // namespace

bool DatabaseLock::LockFile(const std::string& directory, bool wait) {
  fd_ = -1;
  if (!IsDirectory(directory)) return true;  // nothing on disk to share yet
  const int fd = OpenLockFile(NativePath(directory));
  if (fd < 0) return true;
  while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    // Only another holder makes the lock busy; a file system without locks (ENOLCK) would otherwise
    // keep every try failing for ever.
    return errno != EWOULDBLOCK;
  }
  fd_ = fd;
  return true;
}

void DatabaseLock::Taken() {
  owner_.store(std::this_thread::get_id());
  depth_ = 1;
}

bool DatabaseLock::TryLock(const std::string& directory) {
  if (HeldByThisThread()) {
    ++depth_;
    return true;
  }
  if (!mutex_.try_lock()) return false;
  if (!LockFile(directory, false)) {
    mutex_.unlock();
    return false;
  }
  Taken();
  return true;
}

void DatabaseLock::Lock(const std::string& directory) {
  if (HeldByThisThread()) {
    ++depth_;
    return;
  }
  mutex_.lock();
  LockFile(directory, true);
  Taken();
}

bool DatabaseLock::LockPumping(const std::string& directory, const std::function<bool()>& pump) {
  for (;;) {
    if (TryLock(directory)) return true;
    if (pump && !pump()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void DatabaseLock::Unlock() {
  assert(HeldByThisThread());
  if (--depth_ > 0) return;
  owner_.store(std::thread::id());
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }
  mutex_.unlock();
}

DatabaseLockGuard::DatabaseLockGuard(const std::string& directory, Mode mode) {
  DatabaseLock& lock = DatabaseLock::Instance();
  if (mode == Mode::kTry) {
    held_ = lock.TryLock(directory);
  } else {
    lock.Lock(directory);
    held_ = true;
  }
}

DatabaseLockGuard::DatabaseLockGuard(const std::string& directory, const std::function<bool()>& pump)
    : held_(DatabaseLock::Instance().LockPumping(directory, pump)) {}

DatabaseLockGuard::~DatabaseLockGuard() {
  if (held_) DatabaseLock::Instance().Unlock();
}

}  // namespace platform
