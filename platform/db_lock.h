// The database lock ("SHGDB"): it serializes use of the shogi database between the windows, the worker
// threads and other processes (kzb). Inside the process it is a mutex; across processes an exclusive
// flock on the file "SHGDB.lock" in the database directory (when the directory exists).
//
// There is one lock for the whole process, as there was one named mutex for the whole system.
#pragma once
#include <mutex>
#include <string>

namespace platform {

class DatabaseLock {
 public:
  static DatabaseLock& Instance();

  // Takes the lock without waiting; false when another thread or process holds it.
  bool TryLock(const std::string& cp932_directory);
  // Waits until the lock is free.
  void Lock(const std::string& cp932_directory);
  // REQUIRES: the calling thread holds the lock.
  void Unlock();

 private:
  bool LockFile(const std::string& cp932_directory, bool wait);

  std::timed_mutex mutex_;
  int fd_ = -1;
};

}  // namespace platform
