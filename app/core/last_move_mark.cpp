#include "app/core/last_move_mark.h"

namespace app {

namespace {

// A warm red that reads against the yellow wood and the pale pieces alike.
constexpr Rgb kTint{235, 70, 40};
// Percent of the tint mixed in: the destination clearly, the origin as a hint.
constexpr int kToStrength = 45;
constexpr int kFromStrength = 22;

Rect CellOf(rules::BoardIndex square, bool reversed) {
  int file = 0, rank = 0;
  PictureOfBoardIndex(square, reversed, &file, &rank);
  const Point at = SquareCell(file, rank);
  return {at.x, at.y, at.x + kPieceSize, at.y + kPieceSize};
}

uint8_t Mix(uint8_t base, uint8_t tint, int strength) {
  return static_cast<uint8_t>((base * (100 - strength) + tint * strength + 50) / 100);
}

Rgb Tinted(const Rgb& c, int strength) {
  return {Mix(c.r, kTint.r, strength), Mix(c.g, kTint.g, strength), Mix(c.b, kTint.b, strength)};
}

}  // namespace

MoveMarks LastMoveMarks(const rules::Position& board, bool reversed) {
  MoveMarks marks;
  const rules::MoveNode* now = board.current();
  if (!now || now == board.root()) return marks;
  const rules::MoveWord move = now->move;
  if (move.To().IsSquare()) marks.to = CellOf(move.To().square(), reversed);
  if (move.From().IsSquare()) marks.from = CellOf(move.From().square(), reversed);
  return marks;
}

std::vector<Rgb> PictureColours() {
  std::vector<Rgb> colours(kPalette, kPalette + kPaletteSize);
  for (int i = 0; i < kPaletteSize; ++i) colours.push_back(Tinted(kPalette[i], kToStrength));
  for (int i = 0; i < kPaletteSize; ++i) colours.push_back(Tinted(kPalette[i], kFromStrength));
  return colours;
}

}  // namespace app
