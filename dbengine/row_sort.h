// Sorting the rows of a sorted run by the order-by keys.
//
// Each key is a selected column's bytes at its place in the row, compared byte by byte unsigned over the
// column's width ("char" columns only up to their first NUL, as they compare everywhere else); the first
// key decides first, a descending key in reverse. Rows with equal keys keep the order in which they were
// collected. The sort is a heap sort over row numbers with those as the final tie-break: O(n log n), and
// rows come out smallest first, so a stop in the middle leaves a correct prefix of the sorted result.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "dbengine/result_store.h"

namespace dbengine {

struct SortKey {
  int offset = 0;   // in the row
  int width = 0;
  bool text = false;  // "char": bytes after the first NUL do not count
  bool descending = false;
};

// The rows' order into *order. When `stop` is raised on the way, it is lowered, *stopped is set and
// *order holds the rows placed so far (the first ones of the sorted result). kOk, kNoMemory, or the
// store's read failure.
int SortRows(ResultStore& store, const std::vector<SortKey>& keys, std::atomic<bool>& stop,
             std::vector<uint32_t>* order, bool* stopped);

}  // namespace dbengine
