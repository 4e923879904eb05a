// The database lock held by one kzb command. Every kzb command that reads or changes the tables of a
// directory takes it, so that a rebuild, a load or a statement never meets an import half done (nor
// breaks one): at once when no other program holds it, else after saying so, waiting.
#pragma once
#include <string>

namespace kzb {

// Takes the database lock of `directory` for the command `who` ("kzb db", "kzb table"; it begins the
// messages): waits while another program holds it, saying so on standard error, and notes there when
// other programs are not kept out (a directory without a lock file that cannot be written, a file
// system without locks). A directory that does not exist has nothing to keep safe. The caller releases it with platform::DatabaseLock::Instance().Unlock().
void TakeDatabaseLock(const std::string& who, const std::string& directory);

// The lock held for a scope.
class ScopedDatabaseLock {
 public:
  ScopedDatabaseLock(const std::string& who, const std::string& directory);
  ~ScopedDatabaseLock();
  ScopedDatabaseLock(const ScopedDatabaseLock&) = delete;
  ScopedDatabaseLock& operator=(const ScopedDatabaseLock&) = delete;
};

}  // namespace kzb
