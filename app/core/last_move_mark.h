// The mark of the last move on the board picture: the cell of the square the move went to, tinted, and
// the cell it came from, tinted more lightly (a drop has no origin). The tint is part of the composed
// picture, so everything that shows the picture (the window, a grab of it) shows the mark too.
//
// The picture stays 8-bit: a tinted pixel uses the palette index of its colour plus an offset, into two
// bands of tinted copies of the palette that follow it (PictureColours).
#pragma once
#include <vector>

#include "app/core/dib.h"
#include "app/core/geometry.h"
#include "rules/position.h"

namespace app {

struct MoveMarks {
  Rect to;    // the destination cell; empty for none
  Rect from;  // the origin cell; empty for a drop or none
  bool operator==(const MoveMarks&) const = default;
};

// The cells of the move that led to the board's current position, as shown in the given orientation;
// none at the start.
MoveMarks LastMoveMarks(const rules::Position& board, bool reversed);

enum class MarkTint { kTo, kFrom };
constexpr int kTintBandTo = kPaletteSize;        // first index of the destination band
constexpr int kTintBandFrom = 2 * kPaletteSize;  // first index of the origin band
constexpr int kPictureColourCount = 3 * kPaletteSize;

// The index showing palette colour `index` under a tint (indices outside the palette stay as they are).
inline uint8_t TintedIndex(uint8_t index, MarkTint tint) {
  if (index >= kPaletteSize) return index;
  return static_cast<uint8_t>(index + (tint == MarkTint::kTo ? kTintBandTo : kTintBandFrom));
}

// The colours of the picture's indices: the palette, then its destination band, then its origin band.
std::vector<Rgb> PictureColours();

}  // namespace app
