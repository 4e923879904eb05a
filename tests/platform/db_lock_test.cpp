#include "platform/db_lock.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <cstdlib>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/small_fs.h"

namespace platform {
namespace {

// A directory of its own: CTest runs these tests as parallel processes.
std::string FreshDirectory() {
  std::string pattern = testing::TempDir() + "dblockXXXXXX";
  return CorePath(::mkdtemp(pattern.data()));
}

TEST(DatabaseLock, ExcludesOtherThreadsUntilUnlocked) {
  const std::string dir = FreshDirectory();
  DatabaseLock& lock = DatabaseLock::Instance();
  ASSERT_TRUE(lock.TryLock(dir));
  std::atomic<bool> other_got_it{true};
  std::thread([&] { other_got_it = lock.TryLock(dir); }).join();
  EXPECT_FALSE(other_got_it);
  lock.Unlock();
  std::thread([&] {
    other_got_it = lock.TryLock(dir);
    if (other_got_it) lock.Unlock();
  }).join();
  EXPECT_TRUE(other_got_it);
}

// What another process sees: the lock file, held or free.
bool FileLockFree(const std::string& dir) {
  const int fd = ::open((NativePath(dir) + "/SHGDB.lock").c_str(), O_RDWR | O_CREAT, 0666);
  if (fd < 0) return false;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

TEST(DatabaseLock, ExcludesAnotherProcess) {
  const std::string dir = FreshDirectory();
  DatabaseLock& lock = DatabaseLock::Instance();
  ASSERT_TRUE(lock.TryLock(dir));
  pid_t child = fork();
  if (child == 0) _exit(FileLockFree(dir) ? 1 : 0);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "another process could take the lock while this one held it";
  lock.Unlock();
  child = fork();
  if (child == 0) _exit(FileLockFree(dir) ? 0 : 1);
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(DatabaseLock, TheHolderMayTakeItAgain) {
  const std::string dir = FreshDirectory();
  DatabaseLock& lock = DatabaseLock::Instance();
  {
    DatabaseLockGuard outer(dir, DatabaseLockGuard::Mode::kWait);
    ASSERT_TRUE(outer.held());
    {
      DatabaseLockGuard inner(dir, DatabaseLockGuard::Mode::kTry);
      EXPECT_TRUE(inner.held());
    }
    EXPECT_TRUE(lock.HeldByThisThread());
    EXPECT_FALSE(FileLockFree(dir));
  }
  EXPECT_FALSE(lock.HeldByThisThread());
  EXPECT_TRUE(FileLockFree(dir));
}

TEST(DatabaseLock, PumpsWhileAnotherProcessHoldsIt) {
  const std::string dir = FreshDirectory();
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = fork();
  if (child == 0) {
    const int fd = ::open((NativePath(dir) + "/SHGDB.lock").c_str(), O_RDWR | O_CREAT, 0666);
    ::flock(fd, LOCK_EX);
    (void)!::write(ready[1], "x", 1);
    ::usleep(300 * 1000);
    _exit(0);
  }
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  int pumped = 0;
  // Given up by the pump: no lock.
  EXPECT_FALSE(DatabaseLock::Instance().LockPumping(dir, [&] { return ++pumped < 3; }));
  EXPECT_EQ(pumped, 3);
  // Waited for while pumping: taken once the other process lets go.
  pumped = 0;
  DatabaseLockGuard guard(dir, [&] { return ++pumped > 0; });
  EXPECT_TRUE(guard.held());
  EXPECT_GT(pumped, 1);
  int status = 0;
  waitpid(child, &status, 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

#ifndef NDEBUG
// Letting go of a lock this thread does not hold would free it under another thread's feet.
TEST(DatabaseLockDeathTest, UnlockWithoutHoldingItIsCaught) {
  EXPECT_DEATH(DatabaseLock::Instance().Unlock(), "HeldByThisThread");
}
#endif

// A database on a read-only medium stays usable for readers: its lock file, when it has one, is still
// locked against other processes; without one the lock is taken without a file.
TEST(DatabaseLock, ReadOnlyMedium) {
  test_support::SmallFileSystem medium(test_support::ScratchPath("dblock", "read_only"));
  SKIP_UNLESS_MOUNTED(medium);
  const std::string dir = medium.path();
  ASSERT_TRUE(FileLockFree(dir));  // makes the lock file
  ASSERT_TRUE(medium.SetReadOnly(true));
  DatabaseLock& lock = DatabaseLock::Instance();
  ASSERT_TRUE(lock.TryLock(dir));
  EXPECT_TRUE(lock.HoldsFileLock());
  pid_t child = fork();
  if (child == 0) {
    const int fd = ::open((NativePath(dir) + "/SHGDB.lock").c_str(), O_RDONLY);
    _exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "another process could take the lock on the read-only medium";
  lock.Unlock();
  ASSERT_TRUE(medium.SetReadOnly(false));
  ASSERT_TRUE(RemoveFile(dir + "/SHGDB.lock"));
  ASSERT_TRUE(medium.SetReadOnly(true));
  ASSERT_TRUE(lock.TryLock(dir));
  EXPECT_FALSE(lock.HoldsFileLock());
  lock.Unlock();
}

TEST(DatabaseLock, WorksWithoutTheDirectory) {
  DatabaseLock& lock = DatabaseLock::Instance();
  ASSERT_TRUE(lock.TryLock(CorePath(testing::TempDir()) + "no-such-database"));
  lock.Unlock();
}

}  // namespace
}  // namespace platform
