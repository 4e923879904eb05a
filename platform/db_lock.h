// The database lock ("SHGDB"): it serializes use of the shogi database between the windows, the worker
// threads and other processes (kzb). Inside the process it is a mutex; across processes an exclusive
// flock on the file "SHGDB.lock" in the database directory (when the directory exists). In a directory
// that cannot be written (a read-only medium) an existing lock file is locked through a read-only
// descriptor, and without one the lock is taken without a file: a read-only database stays readable.
//
// There is one lock for the whole process rather than one per directory: the process works on one
// database at a time, and two locks could be taken in opposite orders and deadlock. The thread holding it
// may take it again (an operation that holds it while one of its steps takes it); each take needs its
// Unlock, and the directory of the first take is the one locked.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

class DatabaseLock {
 public:
  static DatabaseLock& Instance();

  // Takes the lock without waiting; false when another thread or process holds it.
  bool TryLock(const std::string& cp932_directory);
  // Waits until the lock is free.
  void Lock(const std::string& cp932_directory);
  // Waits while calling `pump` between tries (the user interface dispatches its messages there, about
  // every 20 ms); false, without the lock, when `pump` returns false.
  bool LockPumping(const std::string& cp932_directory, const std::function<bool()>& pump);
  // REQUIRES: the calling thread holds the lock.
  void Unlock();
  bool HeldByThisThread() const { return owner_.load() == std::this_thread::get_id(); }
  // Whether the lock held also keeps other processes out (false where the directory does not exist yet,
  // cannot be written and holds no lock file, or its file system has no locks).
  bool HoldsFileLock() const { return fd_ >= 0; }

 private:
  bool LockFile(const std::string& cp932_directory, bool wait);
  void Taken();

  std::timed_mutex mutex_;
  std::atomic<std::thread::id> owner_{};
  int depth_ = 0;
  int fd_ = -1;
};

// Holds the lock for a scope.
class DatabaseLockGuard {
 public:
  enum class Mode { kTry, kWait };
  DatabaseLockGuard(const std::string& cp932_directory, Mode mode);
  DatabaseLockGuard(const std::string& cp932_directory, const std::function<bool()>& pump);
  ~DatabaseLockGuard();
  DatabaseLockGuard(const DatabaseLockGuard&) = delete;
  DatabaseLockGuard& operator=(const DatabaseLockGuard&) = delete;
  bool held() const { return held_; }

 private:
  bool held_ = false;
};

}  // namespace platform
