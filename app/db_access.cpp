#include "app/db_access.h"

#include <chrono>
#include <thread>

#include "app/application.h"
#include "app/core/db_forms.h"
#include "app/progress_window.h"
#include "app/qt_text.h"
#include "platform/db_lock.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"

namespace app {

std::string DatabaseDirectory() { return shogidb::NormalizeDirectory(ToCore(Application::instance()->database_dir())); }

std::unique_ptr<shogidb::ItemDatabase> ItemDatabaseOf(DbItemKind kind, const std::string& directory,
                                                      const shogidb::DbJob& job) {
  std::unique_ptr<shogidb::ItemDatabase> db;
  if (kind == DbItemKind::kGame) {
    db = std::make_unique<shogidb::GameDatabase>();
  } else {
    db = std::make_unique<shogidb::ProblemDatabase>();
  }
  db->SetDatabase(directory);
  db->SetJob(job);
  return db;
}

void RunOnItemDatabase(QWidget* parent, DbItemKind kind, const ItemDatabaseWork& work) {
  const std::string dir = DatabaseDirectory();
  RunInProgressWindow(parent, [&](const shogidb::DbJob& job) {
    JobDatabaseLock lock(dir, job);
    if (lock.held()) work(*ItemDatabaseOf(kind, dir, job), job);
  });
}

void RememberDatabaseFolder(const QString& folder) {
  constexpr size_t kRemembered = 10;
  QStringList& list = Application::instance()->database_dirs();
  std::vector<std::string> folders;
  for (const QString& f : list) folders.push_back(f.toStdString());
  list.clear();
  for (const std::string& f : RememberFolder(folders, folder.toStdString(), kRemembered)) list << QString::fromStdString(f);
}

UiDatabaseLock::UiDatabaseLock(const std::string& directory)
    : held_(platform::DatabaseLock::Instance().TryLock(directory)) {
  if (!held_) Application::instance()->messages().Show(platform::Utf8ToCp932("データベースが使用中です"));
}

UiDatabaseLock::~UiDatabaseLock() {
  if (held_) platform::DatabaseLock::Instance().Unlock();
}

JobDatabaseLock::JobDatabaseLock(const std::string& directory, const shogidb::DbJob& job) {
  platform::DatabaseLock& lock = platform::DatabaseLock::Instance();
  held_ = lock.TryLock(directory);
  if (held_) return;
  job.Line(platform::Utf8ToCp932("データベースが使用中です。使用の終了を待っています。"));
  // Polled rather than waited for, so that 実行中断 ends the wait too.
  while (!job.Stopped() && !(held_ = lock.TryLock(directory))) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

JobDatabaseLock::~JobDatabaseLock() {
  if (held_) platform::DatabaseLock::Instance().Unlock();
}

}  // namespace app
