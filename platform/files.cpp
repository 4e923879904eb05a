#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/text_codec.h"

namespace platform {

std::string NativePath(std::string_view cp932_path) { return Cp932ToUtf8(cp932_path); }

std::string CorePath(std::string_view native_path) { return Utf8ToCp932(native_path); }

std::FILE* OpenFile(std::string_view cp932_path, const char* mode) {
  return std::fopen(NativePath(cp932_path).c_str(), mode);
}

bool ReadWholeFile(std::string_view cp932_path, std::string& bytes) {
  std::unique_ptr<std::FILE, FileCloser> f(OpenFile(cp932_path, "rb"));
  if (!f) return false;
  bytes.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) bytes.append(buffer, n);
  return !std::ferror(f.get());
}

bool WriteWholeFile(std::string_view cp932_path, std::string_view bytes) {
  ReplacementFile file;
  return file.Open(cp932_path) && file.Write(bytes) && file.Commit();
}

std::optional<FileId> FileIdOf(std::string_view cp932_path) {
  struct stat st;
  if (::stat(NativePath(cp932_path).c_str(), &st) != 0) return std::nullopt;
  return FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

bool SameFile(std::string_view cp932_a, std::string_view cp932_b) {
  const std::optional<FileId> a = FileIdOf(cp932_a);
  return a && a == FileIdOf(cp932_b);
}

// --- ReplacementFile ----------------------------------------------------------------------------------

namespace {

// The file a path ends at, links followed; the path itself when that cannot be told (a dangling link).
std::string ResolvedTarget(const std::string& native) {
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return native;
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(native.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : native;
}

// A new file beside `target`, made exclusively (so two writers never share one), mode 0666 less umask.
int CreateTemporaryBeside(const std::string& target, std::string& temp) {
  const size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  const std::string tag = "." + std::to_string(::getpid()) + "-";
  for (int n = 0; n < 1000; ++n) {
    temp = folder + name + tag + std::to_string(n) + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == ENAMETOOLONG) {
      // A name near the limit: the temporary file goes by a short one.
      temp = folder + "komaraku" + tag + std::to_string(n) + ".tmp";
      fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool CopyInto(const std::string& source, std::FILE* out) {
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(source.c_str(), "rb"));
  if (!in) return errno == ENOENT;  // nothing yet to keep
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
    if (std::fwrite(buffer, 1, n, out) != n) return false;
  }
  return !std::ferror(in.get());
}

// Makes a rename lasting. Only a few file systems refuse it, and by then the content is in place.
void SyncFolderOf(const std::string& target) {
  const size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool ReplacementFile::Open(std::string_view cp932_path, bool keep_existing) {
  Discard();
  failed_ = false;
  target_ = ResolvedTarget(NativePath(cp932_path));
  struct stat st;
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    stream_ = std::fopen(target_.c_str(), keep_existing ? "ab" : "wb");
    return stream_ != nullptr;
  }
  const int fd = CreateTemporaryBeside(target_, temp_);
  if (fd < 0) {
    temp_.clear();
    return false;
  }
  if (exists) {
    // The replacement looks like the file it replaces. The owner can be kept only by a privileged
    // writer; anyone else makes the file their own, as any new file.
    ::fchmod(fd, st.st_mode & 07777);
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) (void)::fchown(fd, st.st_uid, st.st_gid);
  }
  stream_ = ::fdopen(fd, "wb");
  if (!stream_) {
    const int error = errno;
    ::close(fd);
    ::unlink(temp_.c_str());
    temp_.clear();
    errno = error;
    return false;
  }
  if (keep_existing && !CopyInto(target_, stream_)) return Fail();
  return true;
}

bool ReplacementFile::Write(std::string_view bytes) {
  if (!stream_ || failed_) {
    if (!stream_) errno = EBADF;
    return false;
  }
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
    failed_ = true;
    return false;
  }
  return true;
}

bool ReplacementFile::Commit() {
  if (!stream_) {
    errno = EBADF;
    return false;
  }
  if (failed_ || std::fflush(stream_) != 0 || std::ferror(stream_)) return Fail();
  if (temp_.empty()) {  // written directly
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    return closed;
  }
  if (::fsync(::fileno(stream_)) != 0) return Fail();
  const int closed = std::fclose(stream_);
  stream_ = nullptr;
  if (closed != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) return Fail();
  temp_.clear();
  SyncFolderOf(target_);
  return true;
}

void ReplacementFile::Discard() {
  if (stream_) std::fclose(stream_);
  stream_ = nullptr;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool ReplacementFile::Fail() {
  const int error = errno;
  Discard();
  errno = error;
  return false;
}

bool FileExists(std::string_view cp932_path) {
  struct stat st;
  return ::stat(NativePath(cp932_path).c_str(), &st) == 0;
}

bool IsDirectory(std::string_view cp932_path) {
  struct stat st;
  return ::stat(NativePath(cp932_path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(std::string_view cp932_path) { return ::unlink(NativePath(cp932_path).c_str()) == 0; }

bool MakeDirectory(std::string_view cp932_path) {
  return ::mkdir(NativePath(cp932_path).c_str(), 0777) == 0;
}

bool RemoveDirectory(std::string_view cp932_path) {
  return ::rmdir(NativePath(cp932_path).c_str()) == 0;
}

std::optional<uint64_t> FreeDiskBytes(std::string_view cp932_path) {
  struct statvfs st;
  std::string path = cp932_path.empty() ? std::string(".") : NativePath(cp932_path);
  if (::statvfs(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
}

std::string CurrentDirectory() {
  char buffer[4096];
  if (!::getcwd(buffer, sizeof buffer)) return ".";
  return CorePath(buffer);
}

}  // namespace platform
