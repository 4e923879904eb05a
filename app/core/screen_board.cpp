#include "app/core/screen_board.h"

#include <algorithm>

using namespace rules;
using namespace record;

namespace app {
namespace {

struct Cell {
  int x, y, width;
};

constexpr Cell kStandCells[kKindCount] = {
    {80, 132, 39}, {0, 0, 59}, {60, 0, 59}, {0, 44, 59}, {60, 44, 59}, {0, 88, 59}, {60, 88, 59}, {0, 132, 119},
};
constexpr Cell kBoxCells[kKindCount] = {
    {0, 0, 39}, {40, 0, 39}, {80, 0, 39}, {0, 44, 59}, {60, 44, 59}, {0, 88, 59}, {60, 88, 59}, {0, 132, 119},
};

int FanStep(int width, int count) {
  if (count < 2) return 0;
  return std::clamp((width - kPieceSize) / (count - 1), 2, 20);
}

}  // namespace

int PieceSprite::MoveTo(Location target, Promotion promotion, Side side) {
  int done = Piece::MoveTo(target, promotion, side);
  if (done && board_) board_->MarkStale();
  return done;
}

ScreenBoard::ScreenBoard(platform::MessageSink* messages, PoolSizes pool) {
  SetMessageSink(messages);
  Piece* pieces[kPieceCount];
  for (int i = 0; i < kPieceCount; ++i) {
    sprites_[i].SetBoard(this);
    pieces[i] = &sprites_[i];
  }
  PieceStore* boxes[3] = {&boxes_[0], &boxes_[1], &boxes_[2]};
  Init(pieces, &board_, boxes, pool);
}

void ScreenBoard::SetPositionFrom(const Position& source) {
  RecordBoard::SetPositionFrom(source);
  MarkStale();
}

int ScreenBoard::PlaceQuietly(int index, Location target, Promotion promotion, Side side) {
  int done;
  {
    Unrecorded quiet(*this);
    done = sprites_[index].PlaceTo(target, promotion, side);
  }
  RecomputeKingIndices();
  MarkStale();
  return done;
}

int ScreenBoard::SpriteIndex(const Sprite* s) const {
  for (int i = 0; i < kPieceCount; ++i) {
    if (&sprites_[i] == s) return i;
  }
  return -1;
}

Point ScreenBoard::PlaceOfPiece(int index, int* depth) const {
  const Piece& p = sprites_[index];
  const Location location = p.location();
  if (location.IsSquare()) {
    int pf, pr;
    PictureOfBoardIndex(location.square(), reversed_, &pf, &pr);
    if (depth) *depth = kBoardDepth;
    return SquareCell(pf, pr);
  }
  const PieceStore& box = store(location);
  const int kind = p.kind();
  int slot = 0;
  const int count = box.Count(kind);
  while (slot < count && box.PieceAt(kind, slot) != index) ++slot;
  if (depth) *depth = kBoardDepth - 1 - slot;
  Cell cell = location == kPieceBox ? kBoxCells[kind] : kStandCells[kind];
  if (location != kPieceBox && kind == FU && box.Count(OU) > 0) cell.width = 80;
  const int lx = cell.x + slot * FanStep(cell.width, count), ly = cell.y;
  if (location == kPieceBox) return {kBoxAnchor.x + lx, kBoxAnchor.y + ly};
  if (location == Location::Hand(bottom_side())) return {kLowerStandAnchor.x + lx, kLowerStandAnchor.y + ly};
  return {kUpperStandAnchor.x - kPieceSize - lx, kUpperStandAnchor.y - kPieceSize - ly};
}

const Dib8* ScreenBoard::ImageFor(Location location, Side side, int kind, bool promoted) const {
  if (!images_ || (location == kPieceBox && !box_pieces_shown_)) return nullptr;
  // Pieces in the box belong to nobody and stand upright; a display side 0 stands upright.
  const int display_side = location == kPieceBox ? 0 : SideIndex(side) ^ (reversed_ ? 1 : 0);
  return &images_->Piece(display_side, kind, promoted ? 1 : 0);
}

void ScreenBoard::SyncSprites(const std::bitset<kPieceCount>& skip) {
  stale_.store(false, std::memory_order_release);
  for (int i = 0; i < kPieceCount; ++i) {
    if (skip.test(i)) continue;
    PieceSprite& s = sprites_[i];
    int depth = kBoardDepth;
    Point at = PlaceOfPiece(i, &depth);
    const Dib8* image = ImageFor(s.location(), s.side(), s.kind(), s.promoted());
    if (s.image() != image) s.SetImage(image);
    if (s.x() != at.x || s.y() != at.y) s.SetPlace(at.x, at.y);
    if (s.z() != depth) s.SetDepth(depth);
  }
}

}  // namespace app
