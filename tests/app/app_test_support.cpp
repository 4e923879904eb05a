#include "tests/app/app_test_support.h"

#include "rules/piece_code.h"

using namespace rules;
using namespace app;

namespace app {

BoardImages TestImages() {
  BoardImages images;
  images.backgrounds = BlankDib(kBackgroundWidth, 2 * kBackgroundHeight, 15);
  for (int y = kBackgroundHeight; y < 2 * kBackgroundHeight; ++y) {
    for (int x = 0; x < kBackgroundWidth; ++x) images.backgrounds.At(x, y) = 14;
  }
  for (int i = 0; i < kPieceImageCount; ++i) {
    Dib8 piece = BlankDib(kPieceSize, kPieceSize, 13);
    for (int y = 4; y < kPieceSize - 4; ++y) {
      for (int x = 4; x < kPieceSize - 4; ++x) piece.At(x, y) = static_cast<uint8_t>(i % 12);
    }
    images.pieces[i] = piece;
  }
  images.box = BlankDib(kBoxWidth, kBoxHeight, 8);
  return images;
}

void PlacePosition(Position& board, std::initializer_list<Placed> pieces, Side side) {
  BoardForm::Expanded e;
  for (auto& x : e) x = {BoardForm::kBoxLocation, 0, 0};
  int next[kKindCount];
  for (int k = 0; k < kKindCount; ++k) next[k] = kFirstIndexOfKind[k];
  for (const Placed& p : pieces) {
    const int i = next[p.kind]++;
    const auto side = static_cast<uint8_t>(SideIndex(p.side));  // a hand's location is its side's number
    e[i] = {static_cast<uint8_t>(p.square == 0 ? side : p.square), side, 0};
  }
  BoardForm form;
  form.Encode(e);
  board.ApplyBoardForm(form);
  board.SetSideToMove(side);
  board.BeginRecord();
}

Point SquareCenter(int square, bool reversed) {
  int pf = square / 10, pr = square % 10;
  if (reversed) {
    pf = 10 - pf;
    pr = 10 - pr;
  }
  Point cell = SquareCell(pf, pr);
  return {cell.x + kPieceSize / 2, cell.y + kPieceSize / 2};
}

}  // namespace app
