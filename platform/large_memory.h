// A large zeroed block for a search table. Pages are mapped on first touch, and the system is asked to
// back the block with huge pages: a table of hundreds of megabytes probed at random otherwise misses the
// TLB on nearly every probe.
#pragma once
#include <cstddef>

namespace platform {

class LargeMemory {
 public:
  // Maps `bytes` (rounded up to whole pages); data() is null when the system refuses.
  explicit LargeMemory(size_t bytes);
  ~LargeMemory();
  LargeMemory(const LargeMemory&) = delete;
  LargeMemory& operator=(const LargeMemory&) = delete;

  void* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
  void* mapped_ = nullptr;  // data_ lies within, on a huge page's boundary
  size_t mapped_size_ = 0;
};

}  // namespace platform
