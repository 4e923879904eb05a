// Entering moves into the record tree, replaying and taking them back, and copying a record.
#include <cassert>
#include <vector>

#include "rules/notation.h"
#include "rules/position.h"

namespace rules {

MoveWord Position::BuildMoveWord(const Piece& piece, Location target, Promotion promotion, Side side) const {
  const bool promoted_before = piece.promoted();
  const bool promoted_after = PromotedAfter(promoted_before, promotion);
  Side side_after;
  if (target == kSenteHand || target == kPieceBox) {
    side_after = kSente;
  } else if (target == kGoteHand) {
    side_after = kGote;
  } else {
    side_after = side;
  }
  int captured = kNoCapture;
  bool captured_promoted = false;
  Side captured_side = kSente;
  if (target.IsSquare() && target != piece.location()) {
    int c = board_->cell(target.square());
    if (c < kPieceCount) {
      captured = c;
      captured_promoted = pieces_[c]->promoted();
      captured_side = pieces_[c]->side();
    }
  }
  return MoveWord::Make(piece.index(), piece.location(), target, promoted_before, promoted_after,
                        piece.side(), side_after, captured, captured_promoted, captured_side);
}

MoveNode* Position::PrepareEntry(MoveWord w, bool& is_new) {
  for (MoveNode* c = current_->child; c; c = c->next) {
    if (MovesEqual(c->move, w)) {
      is_new = false;
      return c;
    }
  }
  MoveNode* node = pool_->Allocate();
  is_new = node != nullptr;
  if (node) node->move = w;
  return node;
}

void Position::CommitEntry(MoveNode* node, bool is_new) {
  if (is_new) {
    current_->AppendChild(node);
    ++tree_revision_;
  }
  current_ = node;
  ++depth_;
  if (!node->note) node->note = new MoveNote;
  if (is_new || node->note->text[0] == '\0') node->note->SetText(move_text_.c_str());
  if (turn_order_ && side_to_move_ != kSideUnset) {
    side_to_move_ = Opponent(node->move.SideBefore());
    ++move_number_;
  }
}

void Position::DoMove(const MoveNode& node) {
  attack_valid_ = false;
  MoveWord w = node.move;
  pieces_[w.Piece()]->MoveTo(w.To(), PromotionTo(w.PromotedAfter()), w.SideAfter());
  assert(CheckStep().empty());
}

void Position::DoMoveQuiet(const MoveNode& node) {
  attack_valid_ = false;
  MoveWord w = node.move;
  pieces_[w.Piece()]->PlaceTo(w.To(), PromotionTo(w.PromotedAfter()), w.SideAfter());
  assert(CheckStep().empty());
}

int Position::ForwardToChild(int n) {
  MoveNode* c = current_->ChildAt(n);
  if (!c) return 0;
  DoMove(*c);
  return 1;
}

int Position::ForwardToChildQuiet(int n) {
  MoveNode* c = current_->ChildAt(n);
  if (!c) return 0;
  DoMoveQuiet(*c);
  return 1;
}

int Position::TakeBack(bool quiet) {
  if (!recording_ || current_ == root_) return -1;
  const MoveWord w = current_->move;
  ++nesting_;
  Piece& mover = *pieces_[w.Piece()];
  if (quiet) {
    mover.PlaceTo(w.From(), PromotionTo(w.PromotedBefore()), w.SideBefore());
  } else {
    mover.MoveTo(w.From(), PromotionTo(w.PromotedBefore()), w.SideBefore());
  }
  if (w.IsCapture()) {
    Piece& taken = *pieces_[w.Captured()];
    if (quiet) {
      taken.PlaceTo(w.To(), PromotionTo(w.CapturedPromoted()), w.CapturedSide());
    } else {
      taken.MoveTo(w.To(), PromotionTo(w.CapturedPromoted()), w.CapturedSide());
    }
  }
  --nesting_;
  attack_valid_ = false;
  if (turn_order_ && side_to_move_ != kSideUnset) {
    side_to_move_ = w.SideBefore();
    --move_number_;
  }
  current_ = current_->parent;
  --depth_;
  assert(CheckStep().empty());
  return current_ != root_ ? 1 : 0;
}

int Position::UndoMove() { return TakeBack(false); }
int Position::UndoMoveQuiet() { return TakeBack(true); }

void Position::DeleteNode(MoveNode* node) {
  if (!node || node == root_ || !node->parent) return;
  for (MoveNode* n = current_; n; n = n->parent) {
    if (n == node) return;  // the board stands inside it; step back first
  }
  node->parent->UnlinkChild(node);
  pool_->FreeSubtree(node);
  ++tree_revision_;
}

void Position::AddAnnotation(MoveNode* node, std::string_view line) {
  if (!node->note) node->note = new MoveNote;
  node->note->lines.emplace_back(line);
}

const std::string* Position::Annotation(const MoveNode* node, int i) const {
  if (!node->note || i < 0 || i >= static_cast<int>(node->note->lines.size())) return nullptr;
  return &node->note->lines[i];
}

void Position::CopySubtree(Position& dest, const MoveNode& from, int depth, bool selected_only) {
  // Depth first with a stack of its own, as a record may be far deeper than the call stack allows. Level
  // k holds the next source node to copy among the children of a node `depth + k` plies down; the copy
  // stands on that node's copy. A node's subtree is copied before its next sibling.
  auto first_child = [&](const MoveNode& n, int at_depth) -> const MoveNode* {
    if (!selected_only) return n.child;
    const MoveNode* only = n.ChildAt(SelectedChildIndex(at_depth));
    return only ? only : n.child;
  };
  std::vector<const MoveNode*> pending{first_child(from, depth)};
  while (!pending.empty()) {
    const MoveNode* c = pending.back();
    if (!c) {
      pending.pop_back();
      if (!pending.empty()) dest.UndoMove();  // this level's parent is done
      continue;
    }
    pending.back() = selected_only ? nullptr : c->next;
    MoveNode* before = dest.current();
    dest.DoMove(*c);
    if (dest.current() == before) continue;  // the copy could not take the move (its pool is exhausted)
    if (c->note) {
      for (const std::string& line : c->note->lines) dest.AddAnnotation(dest.current(), line);
    }
    pending.push_back(first_child(*c, depth + static_cast<int>(pending.size())));
  }
}

void Position::CopyRecordTo(Position& dest, bool keep_place, bool selected_only) {
  std::vector<int> place;
  if (keep_place) {
    for (MoveNode* n = current_; n != root_; n = n->parent) place.push_back(n->parent->IndexOfChild(n));
    while (UndoMove() > 0) {
    }
  }
  dest.SetPositionFrom(*this);
  CopySubtree(dest, *current_, depth_, selected_only);
  if (keep_place) {
    for (auto it = place.rbegin(); it != place.rend(); ++it) {
      ForwardToChild(*it);
      dest.ForwardToChild(selected_only ? 0 : *it);
    }
  }
}

void Position::SetPositionFrom(const Position& source) {
  {
    Unrecorded quiet(*this);
    PlaceAllInBox();
    for (int i = 0; i < kPieceCount; ++i) {
      const Piece& p = source.piece(i);
      if (p.location() != kPieceBox) pieces_[i]->PlaceTo(p.location(), PromotionTo(p.promoted()), p.side());
    }
  }
  side_to_move_ = source.side_to_move_;
  BeginRecord();
}

}  // namespace rules
