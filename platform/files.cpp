#include "platform/files.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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
  std::unique_ptr<std::FILE, FileCloser> f(OpenFile(cp932_path, "wb"));
  if (!f) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
  return std::fclose(f.release()) == 0;
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
