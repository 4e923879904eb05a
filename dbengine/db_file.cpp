#include "dbengine/db_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "dbengine/engine_state.h"
#include "platform/files.h"

namespace dbengine {

DbFile& DbFile::operator=(DbFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    writable_ = other.writable_;
    other.fd_ = -1;
  }
  return *this;
}

namespace {

int OpenDescriptor(const std::string& native, int flags) {
  int fd;
  do {
    fd = ::open(native.c_str(), flags | O_CLOEXEC, S_IRUSR | S_IWUSR);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Writing is refused, but reading may still be allowed.
bool WritingRefused(int error) { return error == EROFS || error == EACCES || error == EPERM; }

}  // namespace

bool DbFile::Open(std::string_view cp932_path, Mode mode) {
  Close();
  std::string native = platform::NativePath(cp932_path);
  writable_ = mode != Mode::kReadOnly;
  int flags = mode == Mode::kReadOnly ? O_RDONLY : O_RDWR;
  if (mode == Mode::kCreateTruncate) flags |= O_CREAT | O_TRUNC;
  fd_ = OpenDescriptor(native, flags);
  if (fd_ < 0 && mode == Mode::kReadWriteOrRead && WritingRefused(errno)) {
    writable_ = false;
    fd_ = OpenDescriptor(native, O_RDONLY);
  }
  if (fd_ < 0) return false;
  struct stat st;
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return false;
  }
  return true;
}

void DbFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

long DbFile::ReadUpTo(uint64_t offset, void* buffer, size_t n) const {
  if (fd_ < 0 || Engine().faults.FailRead()) return -1;
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < n) {
    ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<long>(done);
}

bool DbFile::ReadAt(uint64_t offset, void* buffer, size_t n) const {
  return ReadUpTo(offset, buffer, n) == static_cast<long>(n);
}

bool DbFile::WriteAt(uint64_t offset, const void* buffer, size_t n) {
  if (!Writable() || Engine().faults.FailWrite()) return false;
  size_t done = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (done < n) {
    ssize_t put = ::pwrite(fd_, in + done, n - done, static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

int64_t DbFile::Size() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool DbFile::Truncate(uint64_t size) {
  return Writable() && !Engine().faults.FailWrite() && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

}  // namespace dbengine
