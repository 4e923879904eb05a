#include "solver/move_list.h"

#include <cassert>
#include <utility>

#include "solver/piece_values.h"

using namespace rules;

namespace solver {

namespace {

// Copies the list into an array of at most kMaxListedMoves nodes; returns the count.
int ToArray(const MoveList& list, MoveNode** items) {
  int n = 0;
  for (MoveNode* m = list.head; m; m = m->next) {
    assert(n < kMaxListedMoves);
    items[n++] = m;
  }
  return n;
}

MoveList FromArray(MoveNode** items, int n) {
  MoveList list;
  for (int i = 0; i < n; ++i) list.Append(items[i]);
  return list;
}

// Insertion sort, largest key first, stable. Lists are short (tens of moves), so this beats anything
// that would need a buffer.
void SortDescending(MoveNode** items, int* keys, int n) {
  for (int i = 1; i < n; ++i) {
    MoveNode* item = items[i];
    const int key = keys[i];
    int j = i;
    for (; j > 0 && keys[j - 1] < key; --j) {
      items[j] = items[j - 1];
      keys[j] = keys[j - 1];
    }
    items[j] = item;
    keys[j] = key;
  }
}

}  // namespace

int MoveList::Count() const {
  int n = 0;
  for (MoveNode* m = head; m; m = m->next) ++n;
  return n;
}

void MoveList::Append(MoveNode* node) {
  node->next = nullptr;
  if (tail) {
    tail->next = node;
  } else {
    head = node;
  }
  tail = node;
}

void MoveList::Append(MoveList other) {
  if (other.empty()) return;
  if (tail) {
    tail->next = other.head;
  } else {
    head = other.head;
  }
  tail = other.tail;
}

MoveList MoveList::TakeFront(int n) {
  MoveList front;
  while (n-- > 0 && head) {
    MoveNode* m = head;
    head = m->next;
    front.Append(m);
  }
  if (!head) tail = nullptr;
  return front;
}

void MoveList::FreeAll(NodePool& pool) {
  MoveNode* m = head;
  while (m) {
    MoveNode* next = m->next;
    m->next = nullptr;
    pool.FreeSubtree(m);
    m = next;
  }
  head = tail = nullptr;
}

void SortByKeyDescending(MoveList& list) {
  MoveNode* items[kMaxListedMoves];
  int keys[kMaxListedMoves];
  const int n = ToArray(list, items);
  for (int i = 0; i < n; ++i) keys[i] = items[i]->key;
  SortDescending(items, keys, n);
  list = FromArray(items, n);
}

void CapturesFirst(MoveList& list) {
  MoveNode* captures[kMaxListedMoves];
  int keys[kMaxListedMoves];
  MoveList quiet;
  int n = 0;
  for (MoveNode* m = list.head; m;) {
    MoveNode* next = m->next;
    if (m->move.IsCapture()) {
      captures[n++] = m;
    } else {
      quiet.Append(m);
    }
    m = next;
  }
  // Reversed before the stable sort, so that among equal values the later-generated capture leads.
  for (int i = 0; i < n / 2; ++i) std::swap(captures[i], captures[n - 1 - i]);
  for (int i = 0; i < n; ++i) {
    const MoveWord w = captures[i]->move;
    keys[i] = PieceValue(KindOfIndex(w.Captured()), w.CapturedPromoted());
  }
  SortDescending(captures, keys, n);
  list = FromArray(captures, n);
  list.Append(quiet);
}

void AttachChildren(MoveNode* parent, MoveList list) {
  assert(!parent->child);
  parent->child = list.head;
  for (MoveNode* m = list.head; m; m = m->next) m->parent = parent;
}

}  // namespace solver
