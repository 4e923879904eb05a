// A table or index file opened for one table's lifetime: positioned reads and writes on a descriptor, so
// nothing sits in a user-space buffer (a process that dies between operations loses no written bytes),
// and a read never moves a shared file position. Paths are CP932, as everywhere in the core.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dbengine {

class DbFile {
 public:
  enum class Mode {
    kReadWrite,       // an existing file
    kCreateTruncate,  // created or emptied, owner read/write
    kReadOnly,        // an existing file, only read
    // An existing file, read-write where it can be written, else only read (a read-only medium, a file
    // without write permission): Writable() tells which.
    kReadWriteOrRead,
  };

  DbFile() = default;
  ~DbFile() { Close(); }
  DbFile(const DbFile&) = delete;
  DbFile& operator=(const DbFile&) = delete;
  DbFile(DbFile&& other) noexcept : fd_(other.fd_), writable_(other.writable_) { other.fd_ = -1; }
  DbFile& operator=(DbFile&& other) noexcept;

  bool Open(std::string_view cp932_path, Mode mode);
  // Takes over an open descriptor (a temporary file made elsewhere).
  void Adopt(int fd) {
    Close();
    fd_ = fd;
    writable_ = true;
  }
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  // Open for writing; writes to a file opened only for reading fail.
  bool Writable() const { return fd_ >= 0 && writable_; }

  // Exactly n bytes at the offset, or false (failure, or the file ends before).
  bool ReadAt(uint64_t offset, void* buffer, size_t n) const;
  // As many bytes as there are, up to n; -1 on failure.
  long ReadUpTo(uint64_t offset, void* buffer, size_t n) const;
  bool WriteAt(uint64_t offset, const void* buffer, size_t n);
  int64_t Size() const;  // -1 on failure
  bool Truncate(uint64_t size);
  int Descriptor() const { return fd_; }

 private:
  int fd_ = -1;
  bool writable_ = false;
};

}  // namespace dbengine
