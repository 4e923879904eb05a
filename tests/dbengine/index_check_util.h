// The index check as the tests run it after each batch of insertions or removals.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "dbengine/check.h"
#include "dbengine/index_check.h"
#include "dbengine/table_internal.h"

namespace dbengine::testing {

// Fails the test with the first problem unless index `index` of an open table is a sound tree with its
// keys in order; hands back its entries in key order when asked. Call under ASSERT_NO_FATAL_FAILURE.
inline void CheckIndex(DbSchema* h, int index, std::vector<KeyedEntry>* entries = nullptr) {
  std::vector<CheckProblem> problems;
  std::vector<KeyedEntry> found = CheckIndexTree(&h->table->indexes[index].file, index, &problems);
  ASSERT_TRUE(problems.empty()) << DescribeProblem(problems[0]) << " (" << problems.size() << " in all)";
  if (entries) *entries = std::move(found);
}

}  // namespace dbengine::testing
