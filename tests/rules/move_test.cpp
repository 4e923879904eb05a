#include <gtest/gtest.h>

#include <random>

#include "rules/move_rules.h"
#include "rules/position.h"
#include "tests/support/test_position.h"

using namespace rules;

namespace {

// Every move ValidateMove accepts in the position (leaving one's own king attacked included).
std::vector<MoveWord> AcceptedMoves(const Position& pos) {
  std::vector<MoveWord> moves;
  for (int i = 0; i < kPieceCount; ++i) {
    const Piece& p = pos.piece(i);
    if (p.location() == kPieceBox) continue;
    // One drop per kind and hand is enough: the other pieces of the group are interchangeable.
    if (!p.on_board() && pos.LastPieceOfKind(p.location(), p.kind()) != i) continue;
    for (int i_to = kFirstSquare; i_to <= kLastSquare; ++i_to) {
      const BoardIndex to(i_to);
      if (!to.IsSquare()) continue;
      for (int promote = 0; promote <= 1; ++promote) {
        MoveWord w = pos.BuildMoveWord(p, to, PromotionTo(promote == 1), p.side());
        if (ValidateMove(pos, w) == kLegal) moves.push_back(w);
      }
    }
  }
  return moves;
}

TEST(MoveWord, FieldsOfADropAndACapture) {
  TestPosition pos;
  pos.Empty();
  pos.Place(22, kSenteHand, 0, kSente);
  MoveWord drop = pos.BuildMoveWord(pos.piece(22), Sq(5, 5), Promotion::kKeep, pos.piece(22).side());
  EXPECT_EQ(drop.From(), kSenteHand);
  EXPECT_EQ(drop.To(), Location(Sq(5, 5)));
  EXPECT_EQ(drop.SideBefore(), kSente);
  EXPECT_EQ(drop.SideAfter(), kSente);
  EXPECT_EQ(drop.Captured(), kNoCapture);
  EXPECT_TRUE(drop.IsDrop());
  EXPECT_FALSE(drop.IsCapture());

  pos.Place(4, Sq(5, 3), 1, kGote);
  pos.Place(6, Sq(5, 4), 0, kSente);
  MoveWord take = pos.BuildMoveWord(pos.piece(6), Sq(5, 3), Promotion::kKeep, pos.piece(6).side());
  EXPECT_EQ(take.Piece(), 6);
  EXPECT_EQ(take.Captured(), 4);
  EXPECT_TRUE(take.CapturedPromoted());
  EXPECT_EQ(take.CapturedSide(), kGote);
  EXPECT_FALSE(take.PromotedAfter());

  // Into a hand or the box the side is decided by the place.
  EXPECT_EQ(pos.BuildMoveWord(pos.piece(4), kGoteHand, Promotion::kKeep, kSente).SideAfter(), kGote);
  EXPECT_EQ(pos.BuildMoveWord(pos.piece(4), kPieceBox, Promotion::kKeep, kGote).SideAfter(), kSente);
  EXPECT_EQ(pos.BuildMoveWord(pos.piece(4), Sq(1, 1), Promotion::kDemote, kSente).SideAfter(), kSente);
  EXPECT_EQ(pos.BuildMoveWord(pos.piece(4), Sq(1, 1), Promotion::kKeep, pos.piece(4).side()).PromotedAfter(), true);
}

TEST(MoveWord, EqualityIgnoresNothingThatMatters) {
  const BoardIndex from(45), to(35);
  MoveWord a = MoveWord::Make(6, from, to, false, false, kSente, kSente);
  EXPECT_TRUE(MovesEqual(a, a));
  EXPECT_FALSE(MovesEqual(a, MoveWord::Make(6, from, to, false, true, kSente, kSente)));
  MoveWord cap = MoveWord::Make(6, from, to, false, false, kSente, kSente, 30, false, kGote);
  EXPECT_FALSE(MovesEqual(a, cap));
  EXPECT_FALSE(MovesEqual(cap, MoveWord::Make(6, from, to, false, false, kSente, kSente, 31, false, kGote)));
  EXPECT_FALSE(MovesEqual(cap, MoveWord::Make(6, from, to, false, false, kSente, kSente, 30, true, kGote)));
  EXPECT_TRUE(MovesEqual(cap, MoveWord::Make(6, from, to, false, false, kSente, kSente, 30, false, kGote)));
}

TEST(MoveWord, UndoAtTheRootIsRefused) {
  TestPosition pos;
  EXPECT_EQ(pos.UndoMove(), -1);
  EXPECT_EQ(pos.ForwardToChild(0), 0);
  EXPECT_EQ(pos.RetractFast(), 0);
}

// Random play: DoMove/UndoMove and ApplyFast/RetractFast restore the exact board form and side, keep
// the position consistent, and agree with each other.
TEST(MoveWord, RandomPlayRoundTrips) {
  std::mt19937 rng(20261206);
  for (int game = 0; game < 60; ++game) {
    TestPosition pos;
    if (game % 3 != 0) SetRandomPosition(pos, rng);
    pos.SetSideToMove(game % 5 == 4 ? kSideUnset : SideOfBit(static_cast<int>(rng() % 2)));
    for (int ply = 0; ply < 40; ++ply) {
      std::vector<MoveWord> moves = AcceptedMoves(pos);
      if (moves.empty()) break;
      MoveWord w = moves[rng() % moves.size()];
      const BoardForm before = pos.CurrentBoardForm();
      const Side side_before = pos.side_to_move();

      MoveNode node;
      node.move = w;
      ASSERT_EQ(pos.ApplyFast(node, false), 1);
      const BoardForm fast_after = pos.CurrentBoardForm();
      ASSERT_EQ(pos.CheckConsistency(), "") << "after ApplyFast " << ply;
      ASSERT_EQ(pos.RetractFast(), 1);
      ASSERT_EQ(pos.CurrentBoardForm(), before);
      // The fast forms hand the turn over and back; an unset side comes back as the mover's.
      ASSERT_EQ(pos.side_to_move(), side_before == kSideUnset ? w.SideBefore() : side_before);
      pos.SetSideToMove(side_before);
      ASSERT_EQ(pos.CheckConsistency(), "") << "after RetractFast " << ply;

      pos.DoMove(node);
      ASSERT_EQ(pos.CheckConsistency(), "") << "after DoMove " << ply;
      ASSERT_EQ(pos.CurrentBoardForm(), fast_after);
      ASSERT_TRUE(MovesEqual(pos.current()->move, w));
      if (rng() % 4 == 0) {
        ASSERT_GE(pos.UndoMove(), 0);
        ASSERT_EQ(pos.CurrentBoardForm(), before);
        ASSERT_EQ(pos.side_to_move(), side_before);
        pos.DoMove(node);
      }
    }
    // Back to the start: the start form again.
    while (pos.UndoMove() > 0) {
    }
    EXPECT_EQ(pos.CurrentBoardForm(), pos.initial_form());
    EXPECT_EQ(pos.CheckConsistency(), "");
  }
}

TEST(MoveWord, ApplyFastSideHandling) {
  TestPosition pos;
  MoveNode node;
  node.move = pos.BuildMoveWord(pos.piece(28), Sq(7, 6), Promotion::kKeep, pos.piece(28).side());
  pos.ApplyFast(node, true);
  EXPECT_EQ(pos.side_to_move(), kSente);
  pos.RetractFast();
  pos.ApplyFast(node, false);
  EXPECT_EQ(pos.side_to_move(), kGote);
  EXPECT_TRUE(pos.attack_map_valid());  // fresh before, kept fresh
  pos.RetractFast();
  EXPECT_EQ(pos.side_to_move(), kSente);
  EXPECT_EQ(pos.pool().in_use(), 1);
}

}  // namespace
