// The consistency check of a position: every piece somewhere exactly once, and the record in shape.
#include <cstdio>

#include "rules/position.h"

namespace rules {

namespace {
std::string Fail(const char* what, int a, int b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, "%s (%d, %d)", what, a, b);
  return text;
}
}  // namespace

std::string Position::CheckConsistency() const {
  std::string fault = CheckStep();
  if (!fault.empty()) return fault;
  int steps = 0;
  const MoveNode* n = current_;
  while (n && n != root_) {
    if (!n->parent || n->parent->IndexOfChild(n) < 0) return Fail("record node is not its parent's child", steps);
    n = n->parent;
    ++steps;
  }
  if (n != root_ || steps != depth_) return Fail("current node is not depth nodes below the root", steps, depth_);
  return CheckAttackMap();
}

std::string Position::CheckStep() const {
  // One step changes only the current node's link; the path above it was whole before the step. Walking
  // the whole path after every step would make replaying a long record quadratic.
  std::string fault = CheckPieces();
  if (!fault.empty()) return fault;
  if (depth_ < 0 || (depth_ == 0) != (current_ == root_)) return Fail("current node and depth disagree", depth_);
  if (current_ != root_ && (!current_->parent || current_->parent->IndexOfChild(current_) < 0)) {
    return Fail("record node is not its parent's child", depth_);
  }
  if (nesting_ != 1) return Fail("move nesting level is not at rest", nesting_);
  return "";
}

std::string Position::CheckPieces() const {
  int seen_in_boxes[kPieceCount] = {};
  for (int b = 0; b < 3; ++b) {
    int sum = 0;
    for (int kind = 0; kind < kKindCount; ++kind) {
      sum += boxes_[b]->Count(kind);
      for (int s = 0; s < boxes_[b]->Count(kind); ++s) {
        int i = boxes_[b]->PieceAt(kind, s);
        if (i < 0 || i >= kPieceCount) return Fail("box holds a bad index", b, i);
        if (pieces_[i]->kind() != kind) return Fail("box group holds a piece of another kind", b, i);
        const Location held = Location::FromCode(b);
        if (pieces_[i]->location() != held) return Fail("box holds a piece that is elsewhere", b, i);
        if (held.IsHand() && pieces_[i]->side() != held.hand_side()) {
          return Fail("hand holds a piece of the other side", b, i);
        }
        ++seen_in_boxes[i];
      }
    }
    if (sum != boxes_[b]->total()) return Fail("box total disagrees with its groups", b, boxes_[b]->total());
  }
  for (int i = 0; i < kPieceCount; ++i) {
    const Location loc = pieces_[i]->location();
    if (pieces_[i]->index() != i) return Fail("piece index is wrong", i);
    if (pieces_[i]->kind() != KindOfIndex(i)) return Fail("piece kind is wrong", i);
    if (!loc.IsSquare()) {
      if (!loc.IsStore()) return Fail("piece has an invalid location", i, loc.code());
      if (seen_in_boxes[i] != 1) return Fail("piece in a box is held there not exactly once", i, seen_in_boxes[i]);
    } else {
      if (!loc.square().IsSquare() || board_->cell(loc.square()) != i) {
        return Fail("board cell does not hold its piece", i, loc.code());
      }
      if (seen_in_boxes[i] != 0) return Fail("piece on the board is also held in a box", i);
    }
  }
  for (int i = 0; i < kBoardCells; ++i) {
    const BoardIndex at(i);
    const uint8_t c = board_->cell(at);
    if (!at.IsSquare()) {
      if (c != kOutsideCell) return Fail("outside cell is not marked outside", i, c);
    } else if (c != kEmptyCell && (c >= kPieceCount || pieces_[c]->location() != at)) {
      return Fail("board cell names a piece that is elsewhere", i, c);
    }
  }
  return "";
}

}  // namespace rules
