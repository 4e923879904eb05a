#include "rules/position.h"

#include "rules/start_position.h"

namespace rules {

Position::Position() : messages_(&platform::NullMessageSink::Instance()) {
  scratch_.SetKind(FU);
  scratch_.SetOwner(this);
}

Position::~Position() {
  if (pool_ && root_) pool_->FreeSubtree(root_);
}

void Position::SetMessageSink(platform::MessageSink* messages) {
  messages_ = messages ? messages : &platform::NullMessageSink::Instance();
  if (pool_) pool_->SetMessageSink(messages_);
}

void Position::Init(Piece* const* pieces, Board* board, PieceStore* const* boxes, PoolSizes sizes) {
  if (pool_ && root_) pool_->FreeSubtree(root_);
  pool_ = std::make_unique<NodePool>(sizes.first_chunk, sizes.growth, sizes.limit, messages_);
  root_ = current_ = pool_->Allocate();
  board_ = board;
  for (int b = 0; b < 3; ++b) boxes_[b] = boxes[b];
  for (int i = 0; i < kPieceCount; ++i) {
    pieces_[i] = pieces[i];
    pieces_[i]->SetOwner(this);
    pieces_[i]->SetIndex(i);
    pieces_[i]->SetKind(KindOfIndex(i));
    // A fresh piece lies in the box; make the box know it before anything moves.
    pieces_[i]->SetLocation(kPieceBox);
    pieces_[i]->SetSide(kSente);
    pieces_[i]->SetPromoted(false);
    store(kPieceBox).Add(*pieces_[i]);
  }
  {
    Unrecorded quiet(*this);
    for (int i = 0; i < kPieceCount; ++i) {
      const PlacedPiece& p = kStartPosition[i];
      pieces_[i]->PlaceTo(ToBoardIndex(SquareNumber(p.square)), Promotion::kDemote, SideOfBit(p.side));
    }
  }
  move_number_ = 0;
  side_to_move_ = kSente;
  turn_order_ = 1;
  attack_valid_ = false;
  RefreshAttackMap();
  nesting_ = 1;
  BeginRecord();
}

void Position::SetUp(int code) {
  if (code < 0 || code > 10) return;
  if (code <= 8) {
    BoardForm form;
    form.SetLayout(code);
    ApplyBoardForm(form);
  } else {
    PlacedPiece table[40];
    StartPositionWithout(code == 9 ? 3 : 5, 20, table);
    Unrecorded quiet(*this);
    PlaceAllInBox();
    for (int i = 0; i < kPieceCount; ++i) {
      if (table[i].square == 0) continue;
      pieces_[i]->PlaceTo(ToBoardIndex(SquareNumber(table[i].square)), Promotion::kDemote, SideOfBit(table[i].side));
    }
  }
  BeginRecord();
}

Piece* Position::PieceAt(BoardIndex at) const {
  if (at.value() < 0 || at.value() >= kBoardCells) return nullptr;
  uint8_t c = board_->cell(at);
  return c < kPieceCount ? pieces_[c] : nullptr;
}

bool Position::IsValidTarget(Location target) const {
  if (target.IsStore()) return true;
  return target.IsSquare() && target.code() < 110 && board_->cell(target.square()) != kOutsideCell;
}

int Position::FirstInBoxFrom(int kind) const {
  for (int i = kFirstIndexOfKind[kind]; i < kPieceCount; ++i) {
    if (pieces_[i]->location() == kPieceBox) return i;
  }
  return -1;
}

BoardForm Position::CurrentBoardForm() const {
  BoardForm form;
  form.FromPosition(*this);
  return form;
}

void Position::PlaceAllInBox() {
  Unrecorded quiet(*this);
  for (int i = 0; i < kPieceCount; ++i) pieces_[i]->PlaceTo(kPieceBox, Promotion::kDemote, kSente);
}

void Position::ApplyBoardForm(const BoardForm& form) { PlacePieces(form.Decode()); }

void Position::PlacePieces(const BoardForm::Expanded& entries) {
  Unrecorded quiet(*this);
  // Emptying the board first means no placement ever lands on a piece still standing there.
  PlaceAllInBox();
  for (int i = 0; i < kPieceCount; ++i) {
    const BoardForm::Entry& e = entries[i];
    if (e.location == BoardForm::kBoxLocation) continue;
    if (e.location <= 1) {
      const Side side = SideOfBit(e.location);
      pieces_[i]->PlaceTo(Location::Hand(side), Promotion::kDemote, side);
    } else {
      pieces_[i]->PlaceTo(ToBoardIndex(SquareNumber(e.location)), PromotionTo(e.promoted), SideOfBit(e.owner));
    }
  }
  RecomputeKingIndices();
}

void Position::RecomputeKingIndices() {
  king_index_[0] = king_index_[1] = -1;
  for (int i = 0; i < 2; ++i) {
    if (pieces_[i]->on_board()) king_index_[SideIndex(pieces_[i]->side())] = i;
  }
}

void Position::SetTurnOrder(int flag) {
  if (flag == 0 || flag == 1) turn_order_ = static_cast<uint32_t>(flag);
}

void Position::BeginRecord() {
  recording_ = 1;
  ++tree_revision_;
  if (root_) {
    while (MoveNode* c = root_->child) {
      root_->UnlinkChild(c);
      pool_->FreeSubtree(c);
    }
  }
  current_ = root_;
  initial_form_.FromPosition(*this);
  move_number_ = 0;
  depth_ = 0;
  RecomputeKingIndices();
}

}  // namespace rules
