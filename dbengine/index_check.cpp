// The structural check of one index tree: an in-order walk with the bounds each node inherits.
#include "dbengine/index_check.h"

#include <unordered_set>

#include "dbengine/btree_internal.h"
#include "dbengine/result_codes.h"

namespace dbengine {
namespace {

// In-order walk of one index tree, checking its structure and collecting its entries.
class TreeWalk {
 public:
  TreeWalk(IndexFile* ix, int number, std::vector<CheckProblem>* problems)
      : ix_(ix), number_(number), problems_(problems) {}

  std::vector<KeyedEntry> Run() {
    Walk(0, 0, nullptr, nullptr);
    CheckFreeList();
    return std::move(entries_);
  }

 private:
  void Problem(CheckProblem::Kind kind, int64_t where) { problems_->push_back({kind, number_, where}); }

  bool InOrder(const std::string& a, const std::string& b) const { return ix_->duplicates ? a <= b : a < b; }

  void Walk(uint32_t address, int level, const std::string* lower, const std::string* upper) {
    if (!seen_.insert(address).second) return Problem(CheckProblem::kIndexNode, address);
    Node n;
    if (ReadTreeNodeCopy(ix_, address, level, &n) != kOk) return Problem(CheckProblem::kIndexNode, address);
    std::string previous;
    const std::string* low = lower;
    int32_t child = n.Leftmost();
    bool order_reported = false;
    for (int o = 0; o < n.Used(); o = NextEntry(n, o)) {
      const uint8_t* e = n.Entries() + o;
      std::string key(reinterpret_cast<const char*>(EntryKey(e)), static_cast<size_t>(EntryKeyLength(e)));
      bool ordered = (!low || InOrder(*low, key)) && (!upper || InOrder(key, *upper));
      if (!ordered && !order_reported) {
        Problem(CheckProblem::kIndexOrder, address);
        order_reported = true;
      }
      if (!n.IsLeaf()) Walk(static_cast<uint32_t>(child), level + 1, low, &key);
      entries_.push_back({key, EntryRecord(e)});
      previous = std::move(key);
      low = &previous;
      child = EntryChild(e);
    }
    if (!n.IsLeaf()) Walk(static_cast<uint32_t>(child), level + 1, low, upper);
  }

  void CheckFreeList() {
    int64_t nodes = static_cast<int64_t>((ix_->end - kIndexHeaderBytes) / kNodeBytes);
    int64_t free_nodes = 0;
    for (int32_t a = ix_->free_head; a != kNoNode; ++free_nodes) {
      Node n;
      if (free_nodes >= nodes || !IsNodeAddress(a, ix_->end) || seen_.count(static_cast<uint32_t>(a)) ||
          ReadRawNode(ix_, static_cast<uint32_t>(a), &n) != kOk || n.Leftmost() != kFreedNode) {
        return Problem(CheckProblem::kFreeList, a);
      }
      seen_.insert(static_cast<uint32_t>(a));
      a = static_cast<int32_t>(n.Address());
    }
    int64_t in_tree = static_cast<int64_t>(seen_.size()) - 1 - free_nodes;  // the root is not in the count
    int64_t lost = nodes - in_tree - free_nodes;
    if (lost > 0) Problem(CheckProblem::kLostNodes, lost);
  }

  IndexFile* ix_;
  int number_;
  std::vector<CheckProblem>* problems_;
  std::unordered_set<uint32_t> seen_;
  std::vector<KeyedEntry> entries_;
};

}  // namespace

std::vector<KeyedEntry> CheckIndexTree(IndexFile* ix, int number, std::vector<CheckProblem>* problems) {
  return TreeWalk(ix, number, problems).Run();
}

}  // namespace dbengine
