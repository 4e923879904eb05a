#include "rules/notation.h"

#include <gtest/gtest.h>

#include <random>

#include "rules/move_rules.h"
#include "tests/support/reference_rules.h"
#include "tests/support/test_position.h"

using namespace rules;

namespace {

std::string TextOf(TestPosition& pos, int index, int target, int promote = -1) {
  const Piece& p = pos.piece(index);
  return StandardMoveText(pos, p, pos.BuildMoveWord(p, target, promote, -1));
}

TEST(Notation, StandardTextsOfTheExamples) {
  TestPosition pos;
  EXPECT_EQ(TextOf(pos, 28, Sq(7, 6)), "先手７六歩");
  pos.piece(28).MoveTo(Sq(7, 6), -1, -1);
  pos.piece(33).MoveTo(Sq(3, 4), -1, -1);
  EXPECT_EQ(TextOf(pos, 4, Sq(2, 2), 1), "先手２二角成");
  pos.piece(4).MoveTo(Sq(2, 2), 1, -1);
  EXPECT_EQ(pos.current()->note->text, std::string("先手２二角成"));
  // Recapture on the same square: 同.
  EXPECT_EQ(TextOf(pos, 12, Sq(2, 2)), "後手同銀");
}

TEST(Notation, TwoGoldsToOneSquareAreToldApartByLeftAndRight) {
  TestPosition pos;
  pos.Empty();
  pos.Place(6, Sq(6, 3), 0, kSente);
  pos.Place(7, Sq(4, 3), 0, kSente);
  EXPECT_EQ(RelativeClass(Sq(5, 2), Sq(6, 3), kSente), 0x01);
  EXPECT_EQ(RelativeClass(Sq(5, 2), Sq(4, 3), kSente), 0x04);
  EXPECT_EQ(TextOf(pos, 6, Sq(5, 2)), "先手５二金左");
  EXPECT_EQ(TextOf(pos, 7, Sq(5, 2)), "先手５二金右");
}

TEST(Notation, DropWordAndPromotionWords) {
  TestPosition pos;
  pos.Empty();
  pos.Place(5, Sq(9, 9), 0, kGote);  // a gote bishop that reaches 5五
  pos.Place(4, kGoteHand, 0, kGote);
  EXPECT_EQ(TextOf(pos, 4, Sq(5, 5)), "後手５五角打");
  pos.Place(14, Sq(4, 5), 0, kSente);
  EXPECT_EQ(TextOf(pos, 14, Sq(3, 3), 0), "先手３三桂不成");
  EXPECT_EQ(TextOf(pos, 14, Sq(3, 3), 1), "先手３三桂成");
  pos.Place(22, Sq(1, 2), 0, kSente);
  EXPECT_EQ(TextOf(pos, 22, Sq(1, 1), 0), "先手１一歩不成");  // the validation refuses it, the text does not
  EXPECT_EQ(TextOf(pos, 22, kSenteHand), "");
}

TEST(Notation, ListAndCsaTexts) {
  EXPECT_EQ(ListMoveText(MoveWord::Make(4, Sq(8, 8), Sq(2, 2), false, true, 0, 0, 5, false, 1)),
            "先手２二角成(88)");
  EXPECT_EQ(ListMoveText(MoveWord::Make(5, kGoteHand, Sq(5, 5), false, false, 1, 1)), "後手５五角打");
  EXPECT_EQ(ListMoveText(MoveWord::Make(12, Sq(3, 3), Sq(2, 2), true, false, 1, 1)), "後手２二成銀生(33)");
  EXPECT_EQ(ListMoveText(MoveWord::Make(22, Sq(7, 7), kPieceBox, false, false, 0, 0)),
            "先手歩(77)を駒台/駒箱へ");
  EXPECT_EQ(CsaMoveText(MoveWord::Make(2, Sq(2, 8), Sq(2, 2), false, false, 0, 0)), "+2822HI");
  EXPECT_EQ(CsaMoveText(MoveWord::Make(33, Sq(3, 3), Sq(3, 4), false, false, 1, 1)), "-3334FU");
  EXPECT_EQ(CsaMoveText(MoveWord::Make(4, Sq(8, 8), Sq(2, 2), false, true, 0, 0)), "+8822UM");
  EXPECT_EQ(CsaMoveText(MoveWord::Make(4, kSenteHand, Sq(5, 5), false, false, 0, 0)), "+0055KA");
  int promoted = -1;
  EXPECT_EQ(ParseCsaPieceCode("FU", &promoted), FU);
  EXPECT_EQ(promoted, 0);
  EXPECT_EQ(ParseCsaPieceCode("RY", &promoted), HI);
  EXPECT_EQ(promoted, 1);
  EXPECT_EQ(ParseCsaPieceCode("TO", &promoted), FU);
  EXPECT_EQ(ParseCsaPieceCode("??", &promoted), -1);
  EXPECT_EQ(ParseCsaPieceCode("ou", &promoted), -1);
}

// Every accepted move of many random positions: the standard text equals the reference's.
TEST(Notation, StandardTextAgreesWithTheReferenceOnRandomPositions) {
  std::mt19937 rng(7);
  int checked = 0;
  for (int n = 0; n < 150; ++n) {
    TestPosition pos;
    SetRandomPosition(pos, rng);
    pos.SetTurnOrder(0);
    int previous_square = 0;
    if (n % 2 == 1) {
      // Make one move first, so that 同 comes into play.
      for (int tries = 0; tries < 200; ++tries) {
        int i = static_cast<int>(rng() % kPieceCount);
        int to = Sq(1 + rng() % 9, 1 + rng() % 9);
        MoveWord w = pos.BuildMoveWord(pos.piece(i), to, -1, -1);
        if (pos.piece(i).on_board() && ValidateMove(pos, w) == kLegal) {
          pos.piece(i).MoveTo(to, -1, -1);
          previous_square = ToSquareNumber(to);
          break;
        }
      }
    }
    RefPosition ref = Snapshot(pos);
    for (int i = 0; i < kPieceCount; ++i) {
      const Piece& p = pos.piece(i);
      if (p.location() == kPieceBox) continue;
      for (int to = kFirstSquare; to <= kLastSquare; ++to) {
        if (!IsBoardIndex(to)) continue;
        for (int promote = 0; promote <= 1; ++promote) {
          MoveWord w = pos.BuildMoveWord(p, to, promote, -1);
          if (ValidateMove(pos, w) != kLegal) continue;
          RefMove m{p.kind(), p.promoted(), p.side(), 0, 0, ToSquareNumber(to) / 10, ToSquareNumber(to) % 10,
                    promote == 1};
          if (p.on_board()) {
            m.from_file = ToSquareNumber(p.location()) / 10;
            m.from_rank = ToSquareNumber(p.location()) % 10;
          }
          ASSERT_EQ(StandardMoveText(pos, p, w), RefMoveText(ref, m, previous_square))
              << "piece " << i << " to " << ToSquareNumber(to) << " promote " << promote;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 5000);
}

}  // namespace
