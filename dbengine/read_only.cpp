#include "dbengine/read_only.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "dbengine/index_file.h"
#include "dbengine/schema.h"
#include "platform/files.h"

namespace dbengine {
namespace {

// access() answers for the file system as well as the permissions: a read-only mount gives EROFS even
// to root, who is otherwise allowed to write anything.
bool NotWritable(std::string_view cp932_path) {
  std::string native = platform::NativePath(cp932_path);
  if (::access(native.c_str(), W_OK) == 0) return false;
  return errno == EROFS || errno == EACCES || errno == EPERM;
}

std::string DirectoryOf(std::string_view path) {
  size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

}  // namespace

bool DirectoryReadOnly(std::string_view cp932_directory) {
  return platform::IsDirectory(cp932_directory) && NotWritable(cp932_directory);
}

bool TableFilesReadOnly(std::string_view path) {
  if (DirectoryReadOnly(DirectoryOf(path))) return true;
  std::string p(path);
  for (const char* extension : {".scm", ".bmp", ".dat"}) {
    if (platform::FileExists(p + extension) && NotWritable(p + extension)) return true;
  }
  for (int k = 0; k < kMaxIndexes; ++k) {
    std::string ix = IndexFilePath(p, k);
    if (platform::FileExists(ix) && NotWritable(ix)) return true;
  }
  return false;
}

}  // namespace dbengine
