#include "cli/db_lock_guard.h"

#include "cli/console.h"
#include "dbengine/read_only.h"
#include "platform/db_lock.h"
#include "platform/files.h"

namespace kzb {

void TakeDatabaseLock(const std::string& who, const std::string& directory) {
  platform::DatabaseLock& lock = platform::DatabaseLock::Instance();
  if (!lock.TryLock(directory)) {
    Err(who + ": waiting for the database, which another program is using ...");
    lock.Lock(directory);
  }
  if (lock.HoldsFileLock() || !platform::IsDirectory(directory)) return;
  if (dbengine::DirectoryReadOnly(directory)) {
    Err(who + ": " + directory + " is read-only; it is read without a lock file");
  } else {
    Err(who + ": no lock file can be held in " + directory + "; other programs are not kept out");
  }
}

ScopedDatabaseLock::ScopedDatabaseLock(const std::string& who, const std::string& directory) {
  TakeDatabaseLock(who, directory);
}

ScopedDatabaseLock::~ScopedDatabaseLock() { platform::DatabaseLock::Instance().Unlock(); }

}  // namespace kzb
