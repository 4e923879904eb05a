// Which words a record uses for its two sides, read from the piece box of its position: an even game
// leaves the box empty, a handicap game keeps 上手's missing pieces there, a problem keeps the king (and
// every piece not in play) there.
#pragma once

namespace rules {
class Position;
}

namespace record {

// 0 先手/後手, 1 下手/上手 (a handicap game), 2 攻方/受方 (a problem).
enum SideLabelKind : int { kEvenGameLabels = 0, kHandicapLabels = 1, kProblemLabels = 2 };
int SideLabelKindOf(const rules::Position& position);

}  // namespace record
