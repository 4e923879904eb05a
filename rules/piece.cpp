#include "rules/piece.h"

#include "rules/move_rules.h"
#include "rules/notation.h"
#include "rules/position.h"

namespace rules {

int Piece::MoveTo(int target, int promote, int side) {
  Position& o = *owner_;
  if (!o.IsValidTarget(target)) return 0;
  MoveWord w = o.BuildMoveWord(*this, target, promote, side);
  const bool top = o.nesting_ == 1;
  bool is_new = false;
  MoveNode* node = nullptr;
  if (top) {
    // Find the node before touching the board: when the pool has none, neither the record nor the
    // position changes, so the two never disagree.
    node = o.PrepareEntry(w, is_new);
    if (!node) return 0;
    o.move_text_ = target >= kFirstSquare ? StandardMoveText(o, *this, w) : std::string();
  }
  ++o.nesting_;
  const int s = w.SideAfter();
  if (target != location_) {
    if (location_ < kFirstSquare) {
      o.boxes_[location_]->Remove(*this);
    } else {
      o.board_->Clear(location_);
    }
    if (target >= kFirstSquare) {
      int taken = o.board_->cell(target);
      if (taken != kEmptyCell) o.pieces_[taken]->MoveTo(s, 0, s);
      o.board_->Place(target, index());
    } else {
      o.boxes_[target]->Add(*this);
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

void Piece::SetPromoted(int flag) {
  code_ = static_cast<uint8_t>(flag ? (code_ | kPromotedBit) : (code_ & ~kPromotedBit));
}

void Piece::SetSide(int side) {
  code_ = static_cast<uint8_t>(side == 1 ? (code_ | kSideBit) : (code_ & ~kSideBit));
}

void Piece::TakeBackIfLast() {
  MoveNode* current = owner_->current();
  if (current != owner_->root() && current->move.Piece() == index()) owner_->UndoMove();
}

bool Piece::CanReach(int target) const {
  if (!owner_ || !IsBoardIndex(target)) return false;
  if (location_ < kFirstSquare) return owner_->cell(target) == kEmptyCell;
  int d = UnitStep(location_, target);
  int how = MovesInDirection(d);
  if (how == 0) return false;
  for (int at = location_ + d;; at += d) {
    if (at == target) return true;
    if (how == 1 || owner_->cell(at) != kEmptyCell) return false;
  }
}

int Piece::MovesInDirection(int offset) const {
  if (offset == 0) return 0;
  for (const MoveVector* v = Vectors(); v->offset; ++v) {
    if (v->offset == offset) return v->slides ? 2 : 1;
  }
  return 0;
}

}  // namespace rules
