#include "platform/large_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
}

LargeMemory::LargeMemory(size_t bytes) {
  size_ = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  // One huge page more, so that the block can start on a huge page's boundary.
  mapped_size_ = size_ + kHugePage;
  void* p = mmap(nullptr, mapped_size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) {
    size_ = mapped_size_ = 0;
    return;
  }
  mapped_ = p;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(p) + kHugePage - 1) / kHugePage * kHugePage;
  data_ = reinterpret_cast<void*>(start);
#ifdef MADV_HUGEPAGE
  madvise(data_, size_, MADV_HUGEPAGE);  // a hint: without huge pages the block works as well
#endif
}

LargeMemory::~LargeMemory() {
  if (mapped_) munmap(mapped_, mapped_size_);
}

}  // namespace platform
