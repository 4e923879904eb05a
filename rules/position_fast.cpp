// The mate search's direct move forms.

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
  // The map follows the board step by step: each line change reads the board as it stands then.
  const bool map = attack_valid_;
  if (map) {
    if (!w.IsDrop()) MarkAttacks(w.Piece(), w.From().code(), p.code_, false);
    if (w.IsCapture()) MarkAttacks(w.Captured(), to.value(), pieces_[w.Captured()]->code_, false);
  }
  if (w.IsDrop()) {
    store(w.From()).RemoveIndex(p.kind(), w.Piece());
  } else {
    board_->Clear(w.From().square());
    if (map) OpenLinesThrough(w.From().code());
  }
  if (w.IsCapture()) {
    Piece& taken = *pieces_[w.Captured()];
    taken.code_ = MakeCode(taken.kind(), false, mover_side);
    taken.location_ = static_cast<uint8_t>(Location::Hand(mover_side).code());
    store(Location::Hand(mover_side)).AddIndex(taken.kind(), w.Captured());
  } else if (map) {
    CloseLinesThrough(to.value());
  }
  p.location_ = static_cast<uint8_t>(to.value());
  board_->Place(to, w.Piece());
  if (w.PromotedAfter()) p.code_ |= kPromotedBit;
  if (map) MarkAttacks(w.Piece(), to.value(), p.code_, true);
  if (!keep_side) side_to_move_ = Opponent(mover_side);
  return 1;
}

int Position::RetractFast() {
  if (current_ == root_) return 0;
  MoveNode* node = current_;
  const MoveWord w = node->move;
  side_to_move_ = w.SideBefore();
  Piece& p = *pieces_[w.Piece()];
  const BoardIndex to = w.To().square();
  const bool map = attack_valid_;
  if (map) MarkAttacks(w.Piece(), to.value(), p.code_, false);
  if (w.IsCapture()) {
    Piece& taken = *pieces_[w.Captured()];
    store(taken.location()).RemoveIndex(taken.kind(), w.Captured());
    taken.code_ = MakeCode(taken.kind(), w.CapturedPromoted(), w.CapturedSide());
    taken.location_ = static_cast<uint8_t>(to.value());
    board_->Place(to, w.Captured());
  } else {
    board_->Clear(to);
    if (map) OpenLinesThrough(to.value());
  }
  p.location_ = static_cast<uint8_t>(w.From().code());
  p.code_ = MakeCode(p.kind(), w.PromotedBefore(), w.SideBefore());
  if (w.IsDrop()) {
    store(w.From()).AddIndex(p.kind(), w.Piece());
  } else {
    if (map) CloseLinesThrough(w.From().code());
    board_->Place(w.From().square(), w.Piece());
    if (map) MarkAttacks(w.Piece(), w.From().code(), p.code_, true);
  }
  if (map && w.IsCapture()) MarkAttacks(w.Captured(), to.value(), pieces_[w.Captured()]->code_, true);
  current_ = node->parent;
  --depth_;
  // Only this node goes; alternatives beside it stay in the record.
  current_->UnlinkChild(node);
  pool_->FreeSubtree(node);
  ++tree_revision_;
  return 1;
}

}  // namespace rules
