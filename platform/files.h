// Files named by CP932 paths. The core names files in its own text; the name on disk is UTF-8.
#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The name the operating system sees (UTF-8) for a CP932 path.
std::string NativePath(std::string_view cp932_path);
// The CP932 form of a name read from the operating system.
std::string CorePath(std::string_view native_path);

// fopen by CP932 path; mode as for fopen ("rb", "wb", "r+b", ...).
std::FILE* OpenFile(std::string_view cp932_path, const char* mode);

bool ReadWholeFile(std::string_view cp932_path, std::string& bytes);
bool WriteWholeFile(std::string_view cp932_path, std::string_view bytes);
bool FileExists(std::string_view cp932_path);
bool IsDirectory(std::string_view cp932_path);
bool RemoveFile(std::string_view cp932_path);
bool MakeDirectory(std::string_view cp932_path);
bool RemoveDirectory(std::string_view cp932_path);
// Bytes free for an unprivileged writer on the file system holding the path, or nothing when unknown.
std::optional<uint64_t> FreeDiskBytes(std::string_view cp932_path);
std::string CurrentDirectory();  // CP932

// Closes a FILE* when it goes out of scope.
struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

}  // namespace platform
