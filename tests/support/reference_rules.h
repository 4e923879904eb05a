// An independent statement of the rules the tests check the code against. It reads a position through
// its piece accessors only and works in files and ranks, with movement written out per kind, so a fault
// in the board-index geometry, the vector tables or the validation order of the code does not hide
// itself here.
#pragma once
#include <string>
#include <vector>

#include "rules/position.h"

// Sides as the reference numbers them (as files do): 0 sente, 1 gote, 2 no side to move.
constexpr int kRefSente = 0, kRefGote = 1, kRefNoSide = 2;

struct RefPiece {
  int kind = -1;  // -1: empty
  bool promoted = false;
  int side = 0;
  int index = -1;
};

struct RefPosition {
  RefPiece at[10][10];  // [file][rank], 1..9
  int hand[2][rules::kKindCount] = {};
  int side_to_move = 0;
  bool turn_order = true;
};

RefPosition Snapshot(const rules::Position& position);

// Whether the piece on (ff, fr) can move to (tf, tr) by its movement, ignoring what stands on the target.
bool RefCanReach(const RefPosition& p, int ff, int fr, int tf, int tr);
// 0 may not, 1 may, 2 must promote; from_rank 0 for a drop.
int RefPromotionClass(int kind, bool promoted, int side, int from_rank, int to_rank);
bool RefDropAllowed(const RefPosition& p, int kind, int side, int tf, int tr);
bool RefTwoPawns(const RefPosition& p, int side, int tf, int tr);

struct RefMove {
  int kind = 0;
  bool promoted_before = false;
  int side = 0;
  int from_file = 0, from_rank = 0;  // 0, 0 for a drop
  int to_file = 0, to_rank = 0;
  bool promote = false;  // promoted after

  bool is_drop() const { return from_file == 0; }
};
int RefValidate(const RefPosition& p, const RefMove& m);

// Standard Japanese move text; `previous_to_square` is the square number of the previous move's target
// (0 when none).
std::string RefMoveText(const RefPosition& p, const RefMove& m, int previous_to_square);

// Every move of play for `side` by the rules of shogi: board moves with each allowed promotion choice
// and drops, excluding moves that leave the mover's own king attacked; `allow_self_check` keeps those.
std::vector<RefMove> RefLegalMoves(const RefPosition& p, int side, bool allow_self_check = false);
bool RefKingAttacked(const RefPosition& p, int side);
RefPosition RefApply(const RefPosition& p, const RefMove& m);

// --- for the mate solver's tests ---------------------------------------------------------------------
// The move a move word describes, read against the position it is played in (kind from the board, or
// from the piece's index group for a drop).
RefMove RefMoveOfWord(const RefPosition& p, rules::MoveWord w);
bool RefSameMove(const RefMove& a, const RefMove& b);
// "+7776FU"-like key of a move (drops "+0055KA"), unique per move of play.
std::string RefMoveKey(const RefMove& m);
// Whether the move leaves the opponent's king attacked.
bool RefGivesCheck(const RefPosition& p, const RefMove& m);
// Every move of `side` that gives check, leaving its own king attacked or not.
std::vector<RefMove> RefCheckingMoves(const RefPosition& p, int side);
// Whether `side`'s king stands on the board.
bool RefHasKing(const RefPosition& p, int side);
