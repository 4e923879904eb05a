#include "record/kakinoki_notation.h"

#include <cstdio>
#include <vector>

#include "rules/move_rules.h"
#include "rules/notation.h"
#include "rules/position.h"

using namespace rules;

namespace record {

namespace {

// Motion groups (上 寄 引) and place groups (左, the middle, 右) of a relative class.
enum Motion { kUp, kSideways, kBack };
enum Place { kLeftPlace, kMiddle, kRightPlace };

Motion MotionOf(int c) {
  if (c & Relative::kBehind) return kUp;
  if (c & Relative::kBeside) return kSideways;
  return kBack;
}

Place PlaceOf(int c) {
  if (c & Relative::kOnLeft) return kLeftPlace;
  if (c & Relative::kOnRight) return kRightPlace;
  return kMiddle;
}

const char* MotionWord(Motion m) { return m == kUp ? "上" : m == kSideways ? "寄" : "引"; }

// The classes (seen from the target) of the mover's other pieces of its code that could go there.
std::vector<int> RivalClasses(const Position& position, const Piece& mover, BoardIndex to) {
  std::vector<int> classes;
  for (int i = 0; i < kPieceCount; ++i) {
    const Piece& p = position.piece(i);
    if (&p == &mover || !p.on_board() || p.side() != mover.side() || p.kind() != mover.kind() ||
        p.promoted() != mover.promoted() || !p.CanReach(to)) {
      continue;
    }
    classes.push_back(RelativeClass(to, p.location().square(), mover.side()));
  }
  return classes;
}

const char* PromotionWord(const Piece& piece, MoveWord move) {
  if (move.IsDrop() || PromotionClass(piece, move.From(), move.To()) == 0) return "";
  return move.PromotedAfter() ? "成" : "不成";
}

bool SameSquareAsPrevious(const Position& before, MoveWord move) {
  const MoveNode* previous = before.current();
  return previous != before.root() && previous->move.To() == move.To();
}

}  // namespace

std::string RelativeWords(const Position& before, MoveWord move) {
  const Piece& mover = before.piece(move.Piece());
  const BoardIndex to = move.To().square();
  if (move.IsDrop()) {
    // Only an unpromoted board piece of the kind could be taken for the drop.
    for (int i = 0; i < kPieceCount; ++i) {
      const Piece& p = before.piece(i);
      if (p.on_board() && p.side() == mover.side() && p.kind() == mover.kind() && !p.promoted() &&
          p.CanReach(to)) {
        return "打";
      }
    }
    return "";
  }
  const std::vector<int> rivals = RivalClasses(before, mover, to);
  if (rivals.empty()) return "";
  const int mine = RelativeClass(to, move.From().square(), mover.side());
  const Motion motion = MotionOf(mine);
  bool motion_shared = false, place_shared = false;
  for (int c : rivals) {
    motion_shared |= MotionOf(c) == motion;
    place_shared |= PlaceOf(c) == PlaceOf(mine);
  }
  if (!motion_shared) return MotionWord(motion);
  const bool dragon_or_horse = mover.promoted() && (mover.kind() == HI || mover.kind() == KA);
  if (dragon_or_horse) {
    // Two at most: the one further left is 左, whichever moves straight.
    for (int c : rivals) {
      if (MotionOf(c) == motion) return PlaceOf(mine) < PlaceOf(c) ? "左" : "右";
    }
  }
  const Place place = PlaceOf(mine);
  const char* place_word = place == kLeftPlace ? "左" : place == kRightPlace ? "右" : "直";
  if (place == kMiddle) return mine == Relative::kBack ? place_word : MotionWord(motion);
  if (!place_shared) return place_word;
  return std::string(place_word) + MotionWord(motion);
}

std::string KifMoveText(const Position& before, MoveWord move) {
  const Piece& piece = before.piece(move.Piece());
  std::string text = SameSquareAsPrevious(before, move) ? "同　" : SquareText(move.To().square());
  text += kJapanesePieceNames[piece.code() & 15];
  if (move.IsDrop()) return text + "打";
  char origin[8];
  std::snprintf(origin, sizeof origin, "(%d)", ToSquareNumber(move.From().square()).value());
  return text + PromotionWord(piece, move) + origin;
}

std::string Ki2MoveText(const Position& before, MoveWord move) {
  const Piece& piece = before.piece(move.Piece());
  std::string text = SameSquareAsPrevious(before, move) ? "同　" : SquareText(move.To().square());
  text += kJapanesePieceNames[piece.code() & 15];
  return text + RelativeWords(before, move) + PromotionWord(piece, move);
}

}  // namespace record
