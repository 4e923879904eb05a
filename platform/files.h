// Files named by CP932 paths. The core names files in its own text; the name on disk is UTF-8.
#pragma once
#include <compare>
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
// Replaces the file's content whole or not at all (see ReplacementFile). On failure errno tells why.
bool WriteWholeFile(std::string_view cp932_path, std::string_view bytes);
// What names one file on this machine, whatever path leads to it ("a.csa", "./a.csa", a link to it).
struct FileId {
  uint64_t device = 0;
  uint64_t inode = 0;
  auto operator<=>(const FileId&) const = default;
};
// The file a path names (links followed), or nothing when there is none.
std::optional<FileId> FileIdOf(std::string_view cp932_path);
// True when both paths name one existing file.
bool SameFile(std::string_view cp932_a, std::string_view cp932_b);
bool FileExists(std::string_view cp932_path);
bool IsDirectory(std::string_view cp932_path);
bool RemoveFile(std::string_view cp932_path);
bool MakeDirectory(std::string_view cp932_path);
bool RemoveDirectory(std::string_view cp932_path);
// Bytes free for an unprivileged writer on the file system holding the path, or nothing when unknown.
std::optional<uint64_t> FreeDiskBytes(std::string_view cp932_path);
std::string CurrentDirectory();  // CP932

// A file written whole or not at all. The bytes go to a temporary file in the target's folder; Commit
// flushes it to the disk and renames it over the target, so a reader, a crash or a full disk never leaves
// half a file there. Destroyed or discarded uncommitted, it removes the temporary file and leaves the
// target as it was. A new file gets the usual mode (0666 less the umask); a replaced file keeps its mode.
// A link is followed: the file it names is replaced. A target that exists and is no regular file (a
// device such as /dev/null, a pipe) is written directly, as nothing can be renamed over it.
// REQUIRES: no other writer of the target meanwhile (the last commit wins).
class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile() { Discard(); }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Makes the temporary file; with `keep_existing` it starts as a copy of the target (a file that does
  // not exist yet counts as empty), so that appending is safe too. False (errno set) when it cannot.
  bool Open(std::string_view cp932_path, bool keep_existing = false);
  bool is_open() const { return stream_ != nullptr; }
  // Appends bytes; false (errno set) when they could not be written, and every later call fails too.
  bool Write(std::string_view bytes);
  // Flushes, syncs and renames over the target; false (errno set, temporary file removed) on failure.
  bool Commit();
  // Removes the temporary file; the target stays as it was.
  void Discard();

 private:
  bool Fail();  // discards, keeping the errno of the failure

  std::string target_;  // native names
  std::string temp_;    // empty when writing the target directly
  std::FILE* stream_ = nullptr;
  bool failed_ = false;
};

// Closes a FILE* when it goes out of scope.
struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

}  // namespace platform
