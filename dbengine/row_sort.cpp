#include "dbengine/row_sort.h"

#include <cstring>
#include <memory>
#include <new>

#include "dbengine/result_codes.h"

namespace dbengine {
namespace {

// The rows' keys side by side, each made comparable with a single memcmp: text after its NUL zeroed,
// descending keys' bytes inverted.
class KeyTable {
 public:
  int Build(ResultStore& store, const std::vector<SortKey>& keys) {
    for (const SortKey& k : keys) width_ += static_cast<size_t>(k.width);
    size_t rows = static_cast<size_t>(store.Rows());
    bytes_.reset(new (std::nothrow) uint8_t[rows * width_ + 1]);
    if (!bytes_) return kNoMemory;
    std::vector<uint8_t> row(static_cast<size_t>(store.RowSize()));
    for (size_t r = 0; r < rows; ++r) {
      if (int rc = store.Read(static_cast<int64_t>(r), row.data()); rc != kOk) return rc;
      uint8_t* out = bytes_.get() + r * width_;
      for (const SortKey& k : keys) {
        std::memcpy(out, row.data() + k.offset, static_cast<size_t>(k.width));
        if (k.text) {
          auto* nul = static_cast<uint8_t*>(std::memchr(out, 0, static_cast<size_t>(k.width)));
          if (nul) std::memset(nul, 0, static_cast<size_t>(out + k.width - nul));
        }
        if (k.descending) {
          for (int i = 0; i < k.width; ++i) out[i] = static_cast<uint8_t>(~out[i]);
        }
        out += k.width;
      }
    }
    return kOk;
  }

  // Row a before row b: smaller key, or equal keys and collected earlier.
  bool Before(uint32_t a, uint32_t b) const {
    int c = std::memcmp(bytes_.get() + a * width_, bytes_.get() + b * width_, width_);
    return c != 0 ? c < 0 : a < b;
  }

 private:
  std::unique_ptr<uint8_t[]> bytes_;
  size_t width_ = 0;
};

// A heap whose top is the row that comes first.
void SiftDown(const KeyTable& keys, std::vector<uint32_t>& heap, size_t i, size_t n) {
  while (true) {
    size_t first = i, l = 2 * i + 1, r = l + 1;
    if (l < n && keys.Before(heap[l], heap[first])) first = l;
    if (r < n && keys.Before(heap[r], heap[first])) first = r;
    if (first == i) return;
    std::swap(heap[i], heap[first]);
    i = first;
  }
}

bool Stopped(std::atomic<bool>& stop) {
  if (!stop.load(std::memory_order_relaxed)) return false;
  stop.store(false);
  return true;
}

}  // namespace

int SortRows(ResultStore& store, const std::vector<SortKey>& keys, std::atomic<bool>& stop,
             std::vector<uint32_t>* order, bool* stopped) {
  size_t n = static_cast<size_t>(store.Rows());
  order->clear();
  *stopped = false;
  KeyTable table;
  if (int rc = table.Build(store, keys); rc != kOk) return rc;
  std::vector<uint32_t> heap(n);
  for (size_t i = 0; i < n; ++i) heap[i] = static_cast<uint32_t>(i);
  for (size_t i = n / 2; i-- > 0;) {
    if (i % 1024 == 0 && Stopped(stop)) {
      *stopped = true;
      return kOk;
    }
    SiftDown(table, heap, i, n);
  }
  order->reserve(n);
  for (size_t left = n; left > 0; --left) {
    if (Stopped(stop)) {
      *stopped = true;
      return kOk;
    }
    order->push_back(heap[0]);
    heap[0] = heap[left - 1];
    SiftDown(table, heap, 0, left - 1);
  }
  return kOk;
}

}  // namespace dbengine
