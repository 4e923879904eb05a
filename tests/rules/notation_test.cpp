#include "rules/notation.h"

#include <gtest/gtest.h>

#include <random>

#include "rules/move_rules.h"
#include "tests/support/reference_rules.h"
#include "tests/support/test_position.h"

using namespace rules;

namespace {

using enum Promotion;

std::string TextOf(TestPosition& pos, int index, Location target, Promotion promotion = kKeep) {
  const Piece& p = pos.piece(index);
  return StandardMoveText(pos, p, pos.BuildMoveWord(p, target, promotion, p.side()));
}

TEST(Notation, StandardTextsOfTheExamples) {
  TestPosition pos;
  EXPECT_EQ(TextOf(pos, 28, Sq(7, 6)), "先手７六歩");
  pos.piece(28).MoveTo(Sq(7, 6), Promotion::kKeep);
  pos.piece(33).MoveTo(Sq(3, 4), Promotion::kKeep);
  EXPECT_EQ(TextOf(pos, 4, Sq(2, 2), kPromote), "先手２二角成");
  pos.piece(4).MoveTo(Sq(2, 2), Promotion::kPromote);
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

// Worked examples of the words that tell apart two pieces of one kind able to go to the same square.
TEST(Notation, RelativeWordsOfWorkedExamples) {
  struct Example {
    Side side;
    int kind;
    bool promoted;
    int a, b;    // the squares (numbers) of the two pieces; the one on `a` moves
    int target;  // square number
    const char* text;
  };
  const Example examples[] = {
      {kSente, KI, false, 63, 43, 52, "先手５二金左"},    // both behind: left and right tell them apart
      {kSente, KI, false, 43, 63, 52, "先手５二金右"},
      {kSente, GI, false, 44, 66, 55, "先手５五銀右引"},  // one ahead on the right, one behind on the left
      {kSente, GI, false, 66, 44, 55, "先手５五銀左上"},
      {kSente, KI, false, 53, 42, 52, "先手５二金直"},    // straight up the file
      {kSente, KI, false, 42, 53, 52, "先手５二金右寄"},  // along the rank, from the right
      {kSente, HI, false, 59, 15, 55, "先手５五飛行"},    // an unpromoted rook goes 行, not 直
      {kSente, HI, true, 59, 15, 55, "先手５五龍直"},
      {kSente, HI, false, 15, 59, 55, "先手５五飛右寄"},
      {kGote, KI, false, 67, 47, 58, "後手５八金右"},     // gote's right hand is toward file 9
      {kGote, KI, false, 47, 67, 58, "後手５八金左"},
  };
  for (const Example& e : examples) {
    TestPosition pos;
    pos.Empty();
    const int first = kFirstIndexOfKind[e.kind];
    pos.Place(first, ToBoardIndex(SquareNumber(e.a)), e.promoted, e.side);
    pos.Place(first + 1, ToBoardIndex(SquareNumber(e.b)), e.promoted, e.side);
    EXPECT_EQ(TextOf(pos, first, ToBoardIndex(SquareNumber(e.target))), e.text) << e.a << " to " << e.target;
  }
}

TEST(Notation, DropWordAndPromotionWords) {
  TestPosition pos;
  pos.Empty();
  pos.Place(5, Sq(9, 9), 0, kGote);  // a gote bishop that reaches 5五
  pos.Place(4, kGoteHand, 0, kGote);
  EXPECT_EQ(TextOf(pos, 4, Sq(5, 5)), "後手５五角打");
  pos.Place(14, Sq(4, 5), 0, kSente);
  EXPECT_EQ(TextOf(pos, 14, Sq(3, 3), kDemote), "先手３三桂不成");
  EXPECT_EQ(TextOf(pos, 14, Sq(3, 3), kPromote), "先手３三桂成");
  pos.Place(22, Sq(1, 2), 0, kSente);
  EXPECT_EQ(TextOf(pos, 22, Sq(1, 1), kDemote), "先手１一歩不成");  // the validation refuses it, the text does not
  EXPECT_EQ(TextOf(pos, 22, kSenteHand), "");
}

TEST(Notation, ListAndCsaTexts) {
  EXPECT_EQ(ListMoveText(MoveWord::Make(4, Sq(8, 8), Sq(2, 2), false, true, kSente, kSente, 5, false, kGote)),
            "先手２二角成(88)");
  EXPECT_EQ(ListMoveText(MoveWord::Make(5, kGoteHand, Sq(5, 5), false, false, kGote, kGote)), "後手５五角打");
  EXPECT_EQ(ListMoveText(MoveWord::Make(12, Sq(3, 3), Sq(2, 2), true, false, kGote, kGote)), "後手２二成銀生(33)");
  EXPECT_EQ(ListMoveText(MoveWord::Make(22, Sq(7, 7), kPieceBox, false, false, kSente, kSente)),
            "先手歩(77)を駒台/駒箱へ");
  EXPECT_EQ(CsaMoveText(MoveWord::Make(2, Sq(2, 8), Sq(2, 2), false, false, kSente, kSente)), "+2822HI");
  EXPECT_EQ(CsaMoveText(MoveWord::Make(33, Sq(3, 3), Sq(3, 4), false, false, kGote, kGote)), "-3334FU");
  EXPECT_EQ(CsaMoveText(MoveWord::Make(4, Sq(8, 8), Sq(2, 2), false, true, kSente, kSente)), "+8822UM");
  EXPECT_EQ(CsaMoveText(MoveWord::Make(4, kSenteHand, Sq(5, 5), false, false, kSente, kSente)), "+0055KA");
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
        BoardIndex to = Sq(1 + static_cast<int>(rng() % 9), 1 + static_cast<int>(rng() % 9));
        MoveWord w = pos.BuildMoveWord(pos.piece(i), to, Promotion::kKeep, pos.piece(i).side());
        if (pos.piece(i).on_board() && ValidateMove(pos, w) == kLegal) {
          pos.piece(i).MoveTo(to, Promotion::kKeep);
          previous_square = ToSquareNumber(to).value();
          break;
        }
      }
    }
    RefPosition ref = Snapshot(pos);
    for (int i = 0; i < kPieceCount; ++i) {
      const Piece& p = pos.piece(i);
      if (p.location() == kPieceBox) continue;
      for (int i_to = kFirstSquare; i_to <= kLastSquare; ++i_to) {
        const BoardIndex to(i_to);
        if (!to.IsSquare()) continue;
        for (int promote = 0; promote <= 1; ++promote) {
          MoveWord w = pos.BuildMoveWord(p, to, PromotionTo(promote == 1), p.side());
          if (ValidateMove(pos, w) != kLegal) continue;
          const SquareNumber target = ToSquareNumber(to);
          RefMove m{p.kind(), p.promoted(), SideIndex(p.side()), 0, 0, target.file(), target.rank(), promote == 1};
          if (p.on_board()) {
            const SquareNumber from = ToSquareNumber(p.location().square());
            m.from_file = from.file();
            m.from_rank = from.rank();
          }
          ASSERT_EQ(StandardMoveText(pos, p, w), RefMoveText(ref, m, previous_square))
              << "piece " << i << " to " << target.value() << " promote " << promote;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 5000);
}

}  // namespace
