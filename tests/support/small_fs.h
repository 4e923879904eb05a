// A small file system for full-disk tests: a tmpfs of a few pages mounted in a scratch folder while the
// object lives. Mounting needs root; elsewhere the object says why it could not, and the test skips:
//
//   test_support::SmallFileSystem fs(test_support::ScratchPath("files", "full"));
//   SKIP_UNLESS_MOUNTED(fs);
//   ... write the old file in fs.path(), fs.Fill(), try to replace it ...
#pragma once
#include <cstddef>
#include <string>

namespace test_support {

class SmallFileSystem {
 public:
  // REQUIRES: `folder` (CP932) is a scratch path of the test; it is created, and removed on destruction.
  explicit SmallFileSystem(std::string folder, size_t bytes = 64 * 1024);
  ~SmallFileSystem();
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted() const { return mounted_; }
  // Why nothing was mounted, for the skip message.
  const std::string& why_not() const { return why_not_; }
  const std::string& path() const { return folder_; }  // CP932, no trailing '/'

  // Takes every free byte with a filler file, so the next write of data fails with ENOSPC (a new empty
  // file can still be made). Returns false when the disk could not be filled.
  bool Fill();
  // Removes the filler file.
  void Unfill();
  // Remounts the file system read-only (or writable again), as a write-protected medium.
  bool SetReadOnly(bool read_only);

 private:
  std::string folder_;
  std::string why_not_;
  std::string options_;
  bool mounted_ = false;
};

}  // namespace test_support

#define SKIP_UNLESS_MOUNTED(fs) \
  if (!(fs).mounted()) GTEST_SKIP() << "no small file system: " << (fs).why_not()
