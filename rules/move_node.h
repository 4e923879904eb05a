// The nodes of a record tree. One MoveNode per move; the root carries no move. Children of a node are its
// alternatives at the next ply, in insertion order; the first child is the main continuation.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "rules/move_word.h"

namespace rules {

// Text and annotations of a move, created the first time either is stored.
struct MoveNote {
  static constexpr int kTextCapacity = 24;  // the move text cache: up to 23 bytes and a NUL
  char text[kTextCapacity] = {};
  std::vector<std::string> lines;  // annotation lines, CP932, without line ends

  void SetText(const char* s);
};

struct MoveNode {
  MoveWord move;
  MoveNode* parent = nullptr;
  MoveNode* next = nullptr;   // next sibling
  MoveNode* child = nullptr;  // first child
  MoveNote* note = nullptr;
  int32_t key = 0;  // used only by the mate search to order children

  int ChildCount() const;
  MoveNode* ChildAt(int index) const;       // nullptr when there is no such child
  int IndexOfChild(const MoveNode* c) const;  // -1 when c is not a child
  MoveNode* LastChild() const;
  void AppendChild(MoveNode* c);
  void UnlinkChild(MoveNode* c);  // c stays intact; its parent and sibling links are cleared
};

}  // namespace rules
