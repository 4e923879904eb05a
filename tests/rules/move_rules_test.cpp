#include "rules/move_rules.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/reference_rules.h"
#include "tests/support/test_position.h"

using namespace rules;

namespace {

using enum Promotion;

int Validate(TestPosition& pos, int index, BoardIndex target, Promotion promotion) {
  const Piece& p = pos.piece(index);
  return ValidateMove(pos, pos.BuildMoveWord(p, target, promotion, p.side()));
}

class MoveRules : public testing::Test {
 protected:
  void SetUp() override {
    pos.Empty();
    pos.BeginRecord();
  }
  TestPosition pos;
};

TEST_F(MoveRules, TwoPawnsComesFirstAndTokinsDoNotCount) {
  pos.Place(22, kSenteHand, 0, kSente);
  pos.Place(23, Sq(5, 7), 1, kSente);  // a tokin on file 5
  EXPECT_EQ(Validate(pos, 22, Sq(5, 5), kKeep), kLegal);
  pos.Place(24, Sq(5, 8), 0, kSente);  // an unpromoted pawn on file 5
  EXPECT_EQ(Validate(pos, 22, Sq(5, 5), kKeep), kTwoPawns);
  EXPECT_EQ(Validate(pos, 22, Sq(5, 1), kKeep), kTwoPawns);  // also a dead square: two pawns first
  pos.Place(25, Sq(5, 3), 0, kGote);                     // gote's pawn on the file is no matter
  EXPECT_EQ(Validate(pos, 22, Sq(4, 5), kKeep), kLegal);
}

TEST_F(MoveRules, KnightsOnRankTwo) {
  pos.Place(14, kSenteHand, 0, kSente);
  EXPECT_EQ(Validate(pos, 14, Sq(5, 2), kKeep), kDropNowhereToGo);
  EXPECT_EQ(Validate(pos, 14, Sq(5, 3), kKeep), kLegal);
  pos.Place(15, Sq(4, 4), 0, kSente);
  EXPECT_EQ(Validate(pos, 15, Sq(5, 2), kDemote), kMustPromote);
  EXPECT_EQ(Validate(pos, 15, Sq(5, 2), kPromote), kLegal);
  pos.Place(16, Sq(5, 5), 0, kGote);  // occupied square: a drop there is code 2
  EXPECT_EQ(Validate(pos, 14, Sq(5, 5), kKeep), kDropNowhereToGo);
}

TEST_F(MoveRules, PromotionZoneCountsTheFromSquare) {
  pos.Place(10, Sq(5, 4), 0, kSente);
  EXPECT_EQ(Validate(pos, 10, Sq(5, 5), kPromote), kCannotPromote);  // the promotion test comes before reach
  EXPECT_EQ(Validate(pos, 10, Sq(4, 5), kPromote), kCannotPromote);
  pos.Place(11, Sq(5, 3), 0, kSente);
  EXPECT_EQ(Validate(pos, 11, Sq(4, 4), kPromote), kLegal);  // leaving the zone may promote
  pos.SetSideToMove(kSideUnset);
  pos.Place(19, Sq(1, 7), 0, kGote);  // gote lance sliding to rank 9
  EXPECT_EQ(Validate(pos, 19, Sq(1, 9), kDemote), kMustPromote);
  EXPECT_EQ(Validate(pos, 19, Sq(1, 8), kDemote), kLegal);
}

TEST_F(MoveRules, TurnsAndTheirSwitches) {
  pos.Place(6, Sq(5, 5), 0, kGote);
  pos.SetSideToMove(kSente);
  EXPECT_EQ(Validate(pos, 6, Sq(5, 6), kKeep), kNotYourTurn);
  pos.SetSideToMove(kSideUnset);
  EXPECT_EQ(Validate(pos, 6, Sq(5, 6), kKeep), kLegal);
  pos.SetSideToMove(kSente);
  pos.SetTurnOrder(0);
  EXPECT_EQ(Validate(pos, 6, Sq(5, 6), kKeep), kLegal);
  pos.SetTurnOrder(5);  // refused: still off
  EXPECT_FALSE(pos.turn_order());
}

TEST_F(MoveRules, BlockedSlidersJumpingKnightsAndOwnPieces) {
  pos.Place(2, Sq(2, 8), 0, kSente);
  pos.Place(22, Sq(2, 5), 0, kSente);
  EXPECT_EQ(Validate(pos, 2, Sq(2, 4), kKeep), kCannotMoveThere);
  EXPECT_EQ(Validate(pos, 2, Sq(2, 5), kKeep), kCannotMoveThere);  // own piece
  EXPECT_EQ(Validate(pos, 2, Sq(2, 6), kKeep), kLegal);
  pos.Place(14, Sq(8, 9), 0, kSente);
  pos.Place(23, Sq(8, 8), 0, kSente);
  pos.Place(24, Sq(7, 8), 0, kSente);
  EXPECT_EQ(Validate(pos, 14, Sq(7, 7), kKeep), kLegal);
  pos.Place(3, Sq(3, 3), 1, kSente);
  EXPECT_EQ(Validate(pos, 3, Sq(3, 4), kDemote), kCannotUnpromote);
}

TEST_F(MoveRules, LeavingOnesOwnKingInCheckIsAccepted) {
  pos.Place(0, Sq(5, 9), 0, kSente);
  pos.Place(6, Sq(5, 8), 0, kSente);
  pos.Place(3, Sq(5, 1), 0, kGote);
  EXPECT_EQ(Validate(pos, 6, Sq(4, 8), kKeep), kLegal);
}

TEST(Geometry, UnitStepsDirectionsAndAdjacency) {
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(5, 1)), -10);
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(1, 5)), -1);
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(9, 9)), +11);
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(1, 9)), +9);
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(4, 3)), -21);
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(6, 3)), -19);
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(3, 3)), -11);
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(4, 2)), 0);
  EXPECT_EQ(UnitStep(Sq(5, 5), Sq(6, 2)), 0);
  EXPECT_EQ(DirectionIndex(Sq(5, 5), Sq(4, 3)), 0);
  EXPECT_EQ(DirectionIndex(Sq(5, 5), Sq(6, 7)), 11);
  EXPECT_EQ(DirectionIndex(Sq(5, 5), Sq(4, 2)), -1);
  EXPECT_TRUE(Adjacent(Sq(5, 5), Sq(4, 4)));
  EXPECT_FALSE(Adjacent(Sq(5, 5), Sq(5, 3)));
  EXPECT_FALSE(Adjacent(Sq(1, 5), Sq(9, 4)));  // wrapping around the edge is not a neighbour
}

TEST(Geometry, MessagesOfTheCodes) {
  EXPECT_STREQ(ValidationMessage(1), "二歩です");
  EXPECT_STREQ(ValidationMessage(8), "手番が違います");
  EXPECT_STREQ(ValidationMessage(0), "");
  EXPECT_STREQ(ValidationMessage(11), "");
}

// Every piece to every square with both promotion choices, on many random positions, turn settings
// included: the code's validation equals the reference's.
TEST(MoveRulesReference, ValidationAgreesOnRandomPositions) {
  std::mt19937 rng(42);
  long checked = 0;
  for (int n = 0; n < 300; ++n) {
    TestPosition pos;
    SetRandomPosition(pos, rng, n % 4 != 0);
    pos.SetSideToMove(static_cast<Side>(rng() % 3));
    pos.SetTurnOrder(static_cast<int>(rng() % 2));
    const RefPosition ref = Snapshot(pos);
    for (int i = 0; i < kPieceCount; ++i) {
      const Piece& p = pos.piece(i);
      for (int sq = 11; sq <= 99; ++sq) {
        if (sq % 10 == 0) continue;
        for (int promote = 0; promote <= 1; ++promote) {
          MoveWord w = pos.BuildMoveWord(p, ToBoardIndex(SquareNumber(sq)), PromotionTo(promote == 1), p.side());
          RefMove m{p.kind(), p.promoted(), SideIndex(p.side()), 0, 0, sq / 10, sq % 10, promote == 1};
          if (p.on_board()) {
            const SquareNumber from = ToSquareNumber(p.location().square());
            m.from_file = from.file();
            m.from_rank = from.rank();
            if (m.from_file == m.to_file && m.from_rank == m.to_rank) continue;
          }
          ASSERT_EQ(ValidateMove(pos, w), RefValidate(ref, m))
              << "position " << n << " piece " << i << " to " << sq << " promote " << promote;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 1000000);
}

}  // namespace
