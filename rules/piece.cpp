#include "rules/piece.h"

#include "rules/move_rules.h"
#include "rules/notation.h"
#include "rules/position.h"

namespace rules {

int Piece::MoveTo(Location target, Promotion promotion, Side side) {
  Position& o = *owner_;
  if (!o.IsValidTarget(target)) return 0;
  MoveWord w = o.BuildMoveWord(*this, target, promotion, side);
  const bool top = o.nesting_ == 1;
  bool is_new = false;
  MoveNode* node = nullptr;
  if (top) {
    // Find the node before touching the board: when the pool has none, neither the record nor the
    // position changes, so the two never disagree.
    node = o.PrepareEntry(w, is_new);
    if (!node) return 0;
    o.move_text_ = target.IsSquare() ? StandardMoveText(o, *this, w) : std::string();
  }
  ++o.nesting_;
  const Side s = w.SideAfter();
  const Location from = location();
  if (target != from) {
    if (from.IsSquare()) {
      o.board_->Clear(from.square());
    } else {
      o.store(from).Remove(*this);
    }
    if (target.IsSquare()) {
      int taken = o.board_->cell(target.square());
      if (taken != kEmptyCell) o.pieces_[taken]->MoveTo(Location::Hand(s), Promotion::kDemote, s);
      o.board_->Place(target.square(), index());
    } else {
      o.store(target).Add(*this);
      SetSide(s);
    }
    SetLocation(target);
  }
  SetPromoted(w.PromotedAfter());
  SetSide(s);
  // Any relocation makes the attack map stale, whoever called.
  o.attack_valid_ = false;
  if (top) {
    o.CommitEntry(node, is_new);
    o.RefreshAttackMap();
  }
  --o.nesting_;
  return 1;
}

void Piece::SetPromoted(bool promoted) {
  code_ = static_cast<uint8_t>(promoted ? (code_ | kPromotedBit) : (code_ & ~kPromotedBit));
}

void Piece::SetSide(Side side) {
  code_ = static_cast<uint8_t>(side == kGote ? (code_ | kSideBit) : (code_ & ~kSideBit));
}

void Piece::TakeBackIfLast() {
  MoveNode* current = owner_->current();
  if (current != owner_->root() && current->move.Piece() == index()) owner_->UndoMove();
}

bool Piece::CanReach(BoardIndex target) const {
  if (!owner_ || !target.IsSquare()) return false;
  if (!on_board()) return owner_->cell(target) == kEmptyCell;
  const BoardIndex from = location().square();
  int d = UnitStep(from, target);
  int how = MovesInDirection(d);
  if (how == 0) return false;
  for (BoardIndex at = from + d;; at += d) {
    if (at == target) return true;
    if (how == 1 || owner_->cell(at) != kEmptyCell) return false;
  }
}

int Piece::MovesInDirection(int offset) const { return MovesAlong(code_, offset); }

}  // namespace rules
