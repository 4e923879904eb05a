#include "platform/large_memory.h"

#include <sys/mman.h>

namespace platform {

LargeMemory::LargeMemory(size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return;
  data_ = p;
  size_ = bytes;
}

LargeMemory::~LargeMemory() {
  if (data_) munmap(data_, size_);
}

}  // namespace platform
