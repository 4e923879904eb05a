#include "tests/support/small_fs.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace test_support {
namespace {

const char kFiller[] = "/filler";

}  // namespace

SmallFileSystem::SmallFileSystem(std::string folder, size_t bytes) : folder_(std::move(folder)) {
  if (::geteuid() != 0) {
    why_not_ = "mounting a tmpfs needs root";
    return;
  }
  std::string native = platform::NativePath(folder_);
  if (::mkdir(native.c_str(), 0777) != 0 && errno != EEXIST) {
    why_not_ = "cannot make " + native + ": " + std::strerror(errno);
    return;
  }
  std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
  if (::mount("tmpfs", native.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    why_not_ = "cannot mount a tmpfs on " + native + ": " + std::strerror(errno);
    ::rmdir(native.c_str());
    return;
  }
  mounted_ = true;
  options_ = options;
}

SmallFileSystem::~SmallFileSystem() {
  std::string native = platform::NativePath(folder_);
  // Lazy unmount: a file a failed test left open must not keep the mount alive.
  if (mounted_) ::umount2(native.c_str(), MNT_DETACH);
  ::rmdir(native.c_str());
}

bool SmallFileSystem::Fill() {
  std::string native = platform::NativePath(folder_) + kFiller;
  int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd < 0) return false;
  // Large blocks first, then single bytes, so not even the tail of a page stays free.
  static const char zeros[4096] = {};
  bool full = false;
  for (size_t block : {sizeof zeros, size_t{1}}) {
    while (true) {
      ssize_t n = ::write(fd, zeros, block);
      if (n > 0) continue;
      full = n < 0 && errno == ENOSPC;
      break;
    }
  }
  ::close(fd);
  return full;
}

bool SmallFileSystem::SetReadOnly(bool read_only) {
  const unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (read_only ? MS_RDONLY : 0);
  return ::mount("tmpfs", platform::NativePath(folder_).c_str(), "tmpfs", flags, options_.c_str()) == 0;
}

void SmallFileSystem::Unfill() { ::unlink((platform::NativePath(folder_) + kFiller).c_str()); }

}  // namespace test_support
