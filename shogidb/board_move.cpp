#include "shogidb/board_move.h"

#include <cstdio>

#include "rules/notation.h"
#include "rules/piece_code.h"
#include "rules/position.h"

using namespace rules;

namespace shogidb {
namespace {

int SortKey(const BoardForm::Entry& e) { return e.promoted * 256 + e.location * 2 + e.owner; }

int GroupOf(int index) { return KindOfIndex(index); }
int GroupBegin(int kind) { return kFirstIndexOfKind[kind]; }
int GroupEnd(int kind) { return kFirstIndexOfKind[kind] + kPiecesPerKind[kind]; }

}  // namespace

bool IsSquareNumber(int n) { return n >= 11 && n <= 99 && n % 10 != 0; }

FormBoard::FormBoard() { Set(BoardForm()); }

void FormBoard::Set(const BoardForm& form) {
  entries_ = form.Decode();
  at_.fill(-1);
  for (int i = 0; i < kPieceCount; ++i) {
    if (IsSquareNumber(entries_[i].location)) at_[entries_[i].location] = static_cast<int8_t>(i);
  }
}

uint8_t FormBoard::CodeOf(int index) const {
  const BoardForm::Entry& e = entries_[index];
  return MakeCode(KindOfIndex(index), e.promoted != 0, SideOfBit(e.owner));
}

BoardMove FormBoard::Encode(const PlainMove& m) const {
  if (!IsSquareNumber(m.to) || (m.side != kSente && m.side != kGote)) return kNoMove;
  const int side = SideIndex(m.side);  // as the entries store owners and hands
  const int occupant = at_[m.to];
  if (occupant >= 0 && entries_[occupant].owner == side) return kNoMove;
  if (m.from == 0) {
    if (m.promotes || occupant >= 0 || m.drop_kind < 0 || m.drop_kind >= kKindCount) return kNoMove;
    for (int i = GroupBegin(m.drop_kind); i < GroupEnd(m.drop_kind); ++i) {
      if (entries_[i].location == side) return MakeBoardMove(i, m.to, false, m.side);
    }
    return kNoMove;
  }
  if (!IsSquareNumber(m.from) || m.from == m.to) return kNoMove;
  const int index = at_[m.from];
  if (index < 0 || entries_[index].owner != side) return kNoMove;
  return MakeBoardMove(index, m.to, m.promotes, m.side);
}

bool FormBoard::Decode(BoardMove bm, PlainMove& m) const {
  if (IsNoMove(bm)) return false;
  const int index = BoardMovePiece(bm);
  const int to = BoardMoveTo(bm);
  const Side side = BoardMoveSide(bm);
  const int stored_side = SideIndex(side);
  if (index >= kPieceCount || !IsSquareNumber(to)) return false;
  const BoardForm::Entry& e = entries_[index];
  const int occupant = at_[to];
  if (occupant >= 0 && entries_[occupant].owner == stored_side) return false;
  m = PlainMove{};
  m.side = side;
  m.to = to;
  m.promotes = BoardMovePromotes(bm);
  if (e.location <= 1) {
    if (e.location != stored_side || occupant >= 0 || m.promotes) return false;
    m.from = 0;
    m.drop_kind = KindOfIndex(index);
    return true;
  }
  if (!IsSquareNumber(e.location) || e.owner != stored_side) return false;
  m.from = e.location;
  return true;
}

bool FormBoard::Apply(BoardMove bm) {
  PlainMove m;
  if (!Decode(bm, m)) return false;
  const int index = BoardMovePiece(bm);
  const int captured = at_[m.to];
  if (captured >= 0) {
    BoardForm::Entry& c = entries_[captured];
    c.location = static_cast<uint8_t>(m.side);
    c.owner = static_cast<uint8_t>(m.side);
    c.promoted = 0;
    at_[m.to] = -1;
  }
  BoardForm::Entry& e = entries_[index];
  if (IsSquareNumber(e.location)) at_[e.location] = -1;
  e.location = static_cast<uint8_t>(m.to);
  if (m.promotes) e.promoted = 1;
  // Re-sort the captured piece's group first: the moving piece's index is still valid then only when
  // the two groups differ, so each resort finds its entry by place, not by the old index.
  const uint8_t moved_location = e.location;
  if (captured >= 0) Resort(captured);
  const int kind = GroupOf(index);
  for (int i = GroupBegin(kind); i < GroupEnd(kind); ++i) {
    if (entries_[i].location == moved_location) {
      Resort(i);
      break;
    }
  }
  return true;
}

void FormBoard::Resort(int index) {
  const int kind = GroupOf(index);
  const int begin = GroupBegin(kind), end = GroupEnd(kind);
  BoardForm::Entry moving = entries_[index];
  const int key = SortKey(moving);
  int i = index;
  while (i > begin && SortKey(entries_[i - 1]) > key) {
    entries_[i] = entries_[i - 1];
    --i;
  }
  while (i + 1 < end && SortKey(entries_[i + 1]) < key) {
    entries_[i] = entries_[i + 1];
    ++i;
  }
  entries_[i] = moving;
  for (int j = begin; j < end; ++j) {
    if (IsSquareNumber(entries_[j].location)) at_[entries_[j].location] = static_cast<int8_t>(j);
  }
}

void FormBoard::WriteBytes(uint8_t* out) const {
  static constexpr int kCountBits[kKindCount] = {2, 2, 2, 3, 3, 3, 3, 5};
  uint32_t counts = 0;
  int shift = 0;
  for (int kind = 0; kind < kKindCount; ++kind) {
    uint32_t unpromoted = 0;
    for (int i = GroupBegin(kind); i < GroupEnd(kind); ++i) {
      const BoardForm::Entry& e = entries_[i];
      out[i] = static_cast<uint8_t>(e.owner * 128 + e.location);
      if (!e.promoted && e.location < BoardForm::kBoxLocation) ++unpromoted;
    }
    counts |= unpromoted << shift;
    shift += kCountBits[kind];
  }
  for (int i = 0; i < 4; ++i) out[40 + i] = static_cast<uint8_t>(counts >> (8 * i));
}

BoardForm FormBoard::Form() const {
  BoardForm form;
  WriteBytes(form.data());
  return form;
}

std::string FormBoard::CsaText(BoardMove bm) const {
  PlainMove m;
  if (!Decode(bm, m)) return {};
  const int index = BoardMovePiece(bm);
  const int code = (KindOfIndex(index) | ((entries_[index].promoted || m.promotes) ? kPromotedBit : 0)) & 15;
  char text[16];
  std::snprintf(text, sizeof text, "%c%02d%02d%s", m.side == kSente ? '+' : '-', m.from, m.to, kCsaPieceCodes[code]);
  return text;
}

BoardMove BoardMoveOf(const Position& position, MoveWord w) {
  if (!w.To().IsSquare()) return kNoMove;  // an editing move into a hand or the box
  PlainMove m;
  m.side = w.SideBefore();
  m.to = ToSquareNumber(w.To().square()).value();
  m.promotes = w.IsPromotion();
  if (w.IsDrop()) {
    if (w.From() != Location::Hand(m.side)) return kNoMove;  // only drops from the mover's own hand
    m.from = 0;
    m.drop_kind = KindOfIndex(w.Piece());
  } else {
    m.from = ToSquareNumber(w.From().square()).value();
  }
  FormBoard board(position.CurrentBoardForm());
  return board.Encode(m);
}

bool MoveWordOf(const Position& position, BoardMove bm, MoveWord& w) {
  FormBoard board(position.CurrentBoardForm());
  PlainMove m;
  if (!board.Decode(bm, m)) return false;
  const Piece* piece = nullptr;
  if (m.from == 0) {
    for (int i = kFirstIndexOfKind[m.drop_kind]; i < kFirstIndexOfKind[m.drop_kind] + kPiecesPerKind[m.drop_kind]; ++i) {
      if (position.LocationOf(i) == Location::Hand(m.side)) {
        piece = &position.piece(i);
        break;
      }
    }
  } else {
    piece = position.PieceAt(ToBoardIndex(SquareNumber(m.from)));
  }
  if (!piece || piece->side() != m.side) return false;
  w = position.BuildMoveWord(*piece, ToBoardIndex(SquareNumber(m.to)), m.promotes ? Promotion::kPromote : Promotion::kKeep,
                             m.side);
  return true;
}

BoardMove ReverseBoardMove(const FormBoard& before, const FormBoard& reversed, BoardMove bm) {
  PlainMove m;
  if (!before.Decode(bm, m)) return kNoMove;
  PlainMove r = m;
  r.side = Opponent(m.side);
  r.to = 110 - m.to;
  r.from = m.from == 0 ? 0 : 110 - m.from;
  return reversed.Encode(r);
}

}  // namespace shogidb
