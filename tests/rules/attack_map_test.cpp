// The attack map carried through ApplyFast and RetractFast equals a full build at every step
// (CheckConsistency rebuilds it and compares), in random positions with promoted pieces, drops and
// captures, down long lines and back.
#include <gtest/gtest.h>

#include <random>

#include "rules/move_rules.h"
#include "rules/position.h"
#include "tests/support/test_position.h"

using namespace rules;

namespace {

// A random move ValidateMove accepts for a piece of the side to move, or an empty word when it finds none
// in a few tries.
MoveWord RandomMove(const Position& pos, std::mt19937& rng) {
  for (int attempt = 0; attempt < 400; ++attempt) {
    const Piece& p = pos.piece(static_cast<int>(rng() % kPieceCount));
    if (p.location() == kPieceBox || p.side() != pos.side_to_move()) continue;
    const BoardIndex to(kFirstSquare + static_cast<int>(rng() % (kLastSquare - kFirstSquare + 1)));
    if (!to.IsSquare()) continue;
    const MoveWord w = pos.BuildMoveWord(p, to, PromotionTo(rng() % 2 == 0), p.side());
    if (ValidateMove(pos, w) == kLegal) return w;
  }
  return MoveWord();
}

TEST(AttackMap, KeptFreshThroughFastMovesAndTakeBacks) {
  std::mt19937 rng(20261207);
  for (int game = 0; game < 80; ++game) {
    TestPosition pos;
    if (game % 4 != 0) SetRandomPosition(pos, rng);
    pos.SetSideToMove(SideOfBit(static_cast<int>(rng() % 2)));
    pos.RefreshAttackMap();
    int depth = 0;
    for (int step = 0; step < 120; ++step) {
      // Mostly forward, sometimes back, so that lines open and close in both directions.
      if (depth > 0 && rng() % 4 == 0) {
        ASSERT_EQ(pos.RetractFast(), 1);
        --depth;
        ASSERT_TRUE(pos.attack_map_valid());
        ASSERT_EQ(pos.CheckConsistency(), "") << "game " << game << " back at step " << step;
        continue;
      }
      const MoveWord w = RandomMove(pos, rng);
      if (w.bits == 0) break;
      MoveNode node;
      node.move = w;
      ASSERT_EQ(pos.ApplyFast(node, false), 1);
      ++depth;
      ASSERT_TRUE(pos.attack_map_valid());
      ASSERT_EQ(pos.CheckConsistency(), "") << "game " << game << " forward at step " << step;
    }
    while (depth-- > 0) {
      ASSERT_EQ(pos.RetractFast(), 1);
      ASSERT_EQ(pos.CheckConsistency(), "") << "game " << game << " unwinding";
    }
  }
}

TEST(AttackMap, CountsAndListsOfTheStartPosition) {
  TestPosition pos;
  pos.RefreshAttackMap();
  // ７八 is guarded by the silver of ７九, the gold of ６九 and the rook along the eighth rank.
  const BoardIndex at = Sq(7, 8);
  ASSERT_EQ(pos.AttackCount(kSente, at), 3);
  EXPECT_EQ(pos.AttackCount(kGote, at), 0);
  const uint8_t* list = pos.Attackers(kSente, at);
  EXPECT_GT(list[0], list[1]);  // the highest piece index first
  EXPECT_GT(list[1], list[2]);
  // The rook's line closes when a pawn drops in its way and opens again when the drop is taken back.
  TestPosition lined;
  lined.Place(22, kSenteHand, false, kSente);
  lined.RefreshAttackMap();
  MoveNode drop;
  drop.move = lined.BuildMoveWord(lined.piece(22), Sq(5, 8), Promotion::kKeep, kSente);
  ASSERT_EQ(lined.ApplyFast(drop, false), 1);
  EXPECT_EQ(lined.AttackCount(kSente, at), 2);
  EXPECT_EQ(lined.CheckConsistency(), "");
  ASSERT_EQ(lined.RetractFast(), 1);
  EXPECT_EQ(lined.AttackCount(kSente, at), 3);
}

}  // namespace
