// The mate search's move generators: every check of the attacker, and every answer of the defender to a
// check. Both work from the king's square outward along the twelve directions, read the position's attack
// map (refreshing it first where they need it fresh), and return MoveNodes of the search pool linked in
// a fixed order that the search uses as its move order.
//
// Orders (each list is the concatenation of the parts in the order given):
//  - GenerateChecks: per direction index (0..9 for a sente attacker, 2..11 for gote), the adjacent square
//    S = K - offset: discovered checks or captures on S when it holds a piece; otherwise drops on S,
//    moves to S, then for each empty square farther out along the line drops and line-piece moves, and
//    at the first piece discovered checks or captures.
//  - ChecksToSquare: attackers of the square by ascending piece index; per piece the promoted move first.
//  - DropChecks: rook, bishop, gold, silver, knight, lance, pawn.
//  - GenerateEvasions: captures of the checker (defender pieces by descending index), then king moves
//    (captures first by value), with interpositions between them for a distant check (see the .cpp).
//  - InterpositionDrops: pawn, lance, knight, silver, gold, bishop, rook.
//
// Documented gaps, which the search makes up for:
//  - checks may leave the attacker's own king attacked (the defence node refuses them);
//  - pawn drops that mate are listed (the defence node refuses the mate).
#pragma once
#include "rules/piece.h"
#include "rules/position.h"
#include "solver/line_table.h"
#include "solver/move_list.h"

namespace solver {

class MoveGenerator {
 public:
  MoveGenerator(rules::Position& position, rules::NodePool& pool);
  MoveGenerator(const MoveGenerator&) = delete;
  MoveGenerator& operator=(const MoveGenerator&) = delete;

  // True once the pool could not give a node: the lists produced since then may be incomplete.
  bool failed() const { return failed_; }

  // How many moves a generator would list, without listing them (the search's first estimates need the
  // number only, for many more positions than it expands).
  struct MoveCount {
    int board = 0;
    int drops = 0;
    int total() const { return board + drops; }
  };
  MoveCount CountChecks(rules::Side a, rules::BoardIndex K);
  MoveCount CountEvasions(rules::BoardIndex K);

  // --- attacker side -------------------------------------------------------------------------------
  // Every move of side `a` that gives check to the king on K (see the gaps above).
  MoveList GenerateChecks(rules::Side a, rules::BoardIndex K);
  // Every move of an a-piece to S after which the moved piece attacks K. The guarded form skips pieces
  // that already attack K. REQUIRES: fresh attack map.
  MoveList ChecksToSquare(rules::BoardIndex S, rules::BoardIndex K, rules::Side a, bool guarded = false);
  // The attacker's pieces in hand, one of each kind in the order of DropChecks.
  struct HandKinds {
    int kind[7];
    int piece[7];
    int count = 0;
  };
  HandKinds KindsInHand(rules::Side a) const;
  // Drops of a (holding `hand`) on the empty square S that attack K.
  MoveList DropChecks(rules::BoardIndex S, rules::BoardIndex K, rules::Side a, const HandKinds& hand);
  // Moves of the given pieces (each in its side's attacker list of S) to S that attack K.
  MoveList LineMovesToSquare(const int* pieces, int count, rules::BoardIndex S, rules::BoardIndex K);
  // Moves of a's piece on S that uncover a check by an a-slider behind it on direction i, keeping only
  // those after which the moved piece does not itself attack K. REQUIRES: fresh attack map.
  MoveList DiscoveredChecks(rules::BoardIndex S, rules::BoardIndex K, int i, rules::Side a);

  // --- defender side -------------------------------------------------------------------------------
  // Every answer to the check on the king standing on K; none when the king is not in check.
  MoveList GenerateEvasions(rules::BoardIndex K);
  LineTable BuildLineTable(rules::BoardIndex K, rules::Side a);
  // King moves to squares the attacker does not attack, captures first by value.
  MoveList KingMoves(const LineTable& table, int king);
  // Whether the king on K has such a move (no list built).
  bool KingCanStep(rules::BoardIndex K);
  // Moves of d-pieces other than the king to S, pinned pieces only along their pin line.
  MoveList CapturesOnSquare(const LineTable& table, rules::BoardIndex S, int king, rules::Side d);
  MoveList InterpositionDrops(rules::BoardIndex S, rules::Side d);
  MoveList Interpositions(const LineTable& table, int king);

  // The number of the eight squares around K that are on the board and attacked by a.
  int AdjacentAttackCount(rules::BoardIndex K, rules::Side a) const;

 private:
  // Builds the move of `piece` to `target` and keeps it when the moved piece attacks K afterwards exactly
  // when `want_attack` says so.
  void KeepTest(MoveList& out, int piece, rules::BoardIndex target, rules::Promotion promotion, bool want_attack,
                rules::BoardIndex K);
  void AttackerExpansion(MoveList& out, int piece, rules::BoardIndex target, bool want_attack, rules::BoardIndex K);
  void DefenderExpansion(MoveList& out, int piece, rules::BoardIndex target);
  // Appends a node carrying the move word, unless the pool is exhausted.
  rules::MoveNode* NewNode(rules::MoveWord w);
  // Lists the move of p to target (a drop when p is in hand), or in counting mode only counts it.
  void Emit(MoveList& out, const rules::Piece& p, rules::BoardIndex target, rules::Promotion promotion);
  // Whether the piece, after the move w, attacks K (the path judged on the board after the move).
  bool AttacksAfter(rules::MoveWord w, rules::BoardIndex K) const;
  // The same for a piece of `code` moved from `from` (a square or a hand) to `to`.
  bool AttacksFrom(uint8_t code, rules::Location from, rules::BoardIndex to, rules::BoardIndex K) const;
  bool Pinned(const LineTable& table, int piece, rules::BoardIndex target) const;
  bool KingMayStep(const LineTable& table, const rules::Piece& k, int offset) const;
  // Whether any kind can check from a distance along direction i for attacker a.
  bool IsLine(int i, rules::Side a) const { return line_kinds_[rules::SideIndex(a)][i] != 0; }

  rules::Position& pos_;
  rules::NodePool& pool_;
  rules::Piece scratch_;  // hypothetical drops: a piece of the wanted kind standing on the drop square
  uint8_t line_kinds_[2][12] = {};  // IsLineChecker as bits (1 << kind), asked at every direction
  bool failed_ = false;
  bool counting_ = false;
  MoveCount counted_;
};

}  // namespace solver
