// The mate search's direct move forms and the attack map.
#include <cstring>

#include "rules/position.h"

namespace rules {

int Position::ApplyFast(const MoveNode& node, bool keep_side) {
  const MoveWord w = node.move;
  bool is_new = false;
  MoveNode* entered = PrepareEntry(w, is_new);
  if (!entered) return 0;
  if (is_new) {
    current_->AppendChild(entered);
    ++tree_revision_;
  }
  current_ = entered;
  ++depth_;

  const Side mover_side = w.SideBefore();
  Piece& p = *pieces_[w.Piece()];
  const BoardIndex to = w.To().square();
  p.location_ = static_cast<uint8_t>(to.value());
  board_->Place(to, w.Piece());
  if (w.PromotedAfter()) p.code_ |= kPromotedBit;
  if (w.IsDrop()) {
    store(w.From()).RemoveIndex(p.kind(), w.Piece());
  } else {
    board_->Clear(w.From().square());
  }
  if (w.IsCapture()) {
    Piece& taken = *pieces_[w.Captured()];
    taken.code_ = MakeCode(taken.kind(), false, mover_side);
    taken.location_ = static_cast<uint8_t>(Location::Hand(mover_side).code());
    store(Location::Hand(mover_side)).AddIndex(taken.kind(), w.Captured());
  }
  attack_valid_ = false;
  if (!keep_side) side_to_move_ = Opponent(mover_side);
  return 1;
}

int Position::RetractFast() {
  if (current_ == root_) return 0;
  MoveNode* node = current_;
  const MoveWord w = node->move;
  side_to_move_ = w.SideBefore();
  Piece& p = *pieces_[w.Piece()];
  p.location_ = static_cast<uint8_t>(w.From().code());
  p.code_ = MakeCode(p.kind(), w.PromotedBefore(), w.SideBefore());
  if (w.IsDrop()) {
    store(w.From()).AddIndex(p.kind(), w.Piece());
  } else {
    board_->Place(w.From().square(), w.Piece());
  }
  const BoardIndex to = w.To().square();
  if (w.IsCapture()) {
    Piece& taken = *pieces_[w.Captured()];
    store(taken.location()).RemoveIndex(taken.kind(), w.Captured());
    taken.code_ = MakeCode(taken.kind(), w.CapturedPromoted(), w.CapturedSide());
    taken.location_ = static_cast<uint8_t>(to.value());
    board_->Place(to, w.Captured());
  } else {
    board_->Clear(to);
  }
  current_ = node->parent;
  --depth_;
  // Only this node goes; alternatives beside it stay in the record.
  current_->UnlinkChild(node);
  pool_->FreeSubtree(node);
  ++tree_revision_;
  attack_valid_ = false;
  return 1;
}

void Position::ComputeAttackMap() const {
  std::memset(attack_count_, 0, sizeof attack_count_);
  const uint8_t* cells = board_->cells();
  for (int i = kPieceCount - 1; i >= 0; --i) {
    const Piece& p = *pieces_[i];
    const int from = p.location_;
    if (from < kFirstSquare) continue;
    const int side = SideIndex(CodeSide(p.code_));
    uint8_t* counts = attack_count_[side];
    uint8_t (*lists)[kAttackListSize] = attackers_[side];
    const uint8_t index = static_cast<uint8_t>(i);
    for (const MoveVector* v = MovementVectors(p.code_); v->offset; ++v) {
      // Held in locals: the stores below are byte stores the compiler must otherwise assume alias them.
      const int offset = v->offset;
      const bool slides = v->slides;
      for (int at = from + offset;; at += offset) {
        const uint8_t c = cells[at];
        if (c == kOutsideCell) break;
        uint8_t& n = counts[at];
        if (n < kAttackListSize) lists[at][n] = index;
        ++n;
        if (c != kEmptyCell || !slides) break;
      }
    }
  }
  attack_valid_ = true;
}

}  // namespace rules
