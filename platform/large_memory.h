// A large zeroed block for a search table, mapped from the system rather than allocated and cleared: its
// pages are zeroed by the system as they are first touched, so a big table costs nothing up front and a
// short search touches only the pages it uses.
#pragma once
#include <cstddef>

namespace platform {

class LargeMemory {
 public:
  // Maps `bytes` (page-aligned); data() is null when the system refuses.
  explicit LargeMemory(size_t bytes);
  ~LargeMemory();
  LargeMemory(const LargeMemory&) = delete;
  LargeMemory& operator=(const LargeMemory&) = delete;

  void* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace platform
