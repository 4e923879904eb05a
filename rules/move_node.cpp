#include "rules/move_node.h"

#include <cstring>

namespace rules {

void MoveNote::SetText(const char* s) {
  std::strncpy(text, s, kTextCapacity - 1);
  text[kTextCapacity - 1] = '\0';
}

int MoveNode::ChildCount() const {
  int n = 0;
  for (MoveNode* c = child; c; c = c->next) ++n;
  return n;
}

MoveNode* MoveNode::ChildAt(int index) const {
  if (index < 0) return nullptr;
  MoveNode* c = child;
  while (c && index-- > 0) c = c->next;
  return c;
}

int MoveNode::IndexOfChild(const MoveNode* target) const {
  int i = 0;
  for (MoveNode* c = child; c; c = c->next, ++i) {
    if (c == target) return i;
  }
  return -1;
}

MoveNode* MoveNode::LastChild() const {
  MoveNode* c = child;
  while (c && c->next) c = c->next;
  return c;
}

void MoveNode::AppendChild(MoveNode* c) {
  c->parent = this;
  c->next = nullptr;
  if (MoveNode* last = LastChild()) {
    last->next = c;
  } else {
    child = c;
  }
}

void MoveNode::UnlinkChild(MoveNode* c) {
  if (child == c) {
    child = c->next;
  } else {
    MoveNode* prev = child;
    while (prev && prev->next != c) prev = prev->next;
    if (!prev) return;
    prev->next = c->next;
  }
  c->parent = nullptr;
  c->next = nullptr;
}

}  // namespace rules
