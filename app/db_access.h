// How the database dialogs reach the database: its directory as the core names it, the lock taken on the
// window's thread without waiting (a refusal says "データベースが使用中です"), and the lock a job in the
// progress window waits for, saying so in its list and giving up when the user stops it.
#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "app/core/db_forms.h"
#include "shogidb/db_job.h"
#include "shogidb/item_database.h"

class QWidget;

namespace app {

// The application's database directory (CP932, ending in "/").
std::string DatabaseDirectory();

// The game or tsume database of `directory`, reporting to `job`.
std::unique_ptr<shogidb::ItemDatabase> ItemDatabaseOf(DbItemKind kind, const std::string& directory,
                                                      const shogidb::DbJob& job);

// Runs `work` on the game or tsume database of the program in the progress window (modal), under the
// lock; `work` does not run when the job is stopped while it waits for the lock.
using ItemDatabaseWork = std::function<void(shogidb::ItemDatabase& db, const shogidb::DbJob& job)>;
void RunOnItemDatabase(QWidget* parent, DbItemKind kind, const ItemDatabaseWork& work);

// Puts a folder first in the remembered database folders (Application::database_dirs).
void RememberDatabaseFolder(const QString& folder);

// Holds the lock on the window's thread when it was free.
class UiDatabaseLock {
 public:
  // Shows "データベースが使用中です" when another thread or program holds the lock.
  explicit UiDatabaseLock(const std::string& directory);
  ~UiDatabaseLock();
  UiDatabaseLock(const UiDatabaseLock&) = delete;
  UiDatabaseLock& operator=(const UiDatabaseLock&) = delete;
  bool held() const { return held_; }

 private:
  bool held_ = false;
};

// Holds the lock in a job: waits for it (with a line in the job's list) until it is free or the job is
// stopped.
class JobDatabaseLock {
 public:
  JobDatabaseLock(const std::string& directory, const shogidb::DbJob& job);
  ~JobDatabaseLock();
  JobDatabaseLock(const JobDatabaseLock&) = delete;
  JobDatabaseLock& operator=(const JobDatabaseLock&) = delete;
  bool held() const { return held_; }

 private:
  bool held_ = false;
};

}  // namespace app
