#include "rules/position.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "rules/start_position.h"
#include "tests/support/test_position.h"

using namespace rules;

namespace {

// The numberings and places are distinct types: none stands in for another without a conversion.
static_assert(!std::is_convertible_v<int, BoardIndex> && !std::is_convertible_v<int, SquareNumber>);
static_assert(!std::is_convertible_v<SquareNumber, BoardIndex> && !std::is_convertible_v<BoardIndex, SquareNumber>);
static_assert(!std::is_convertible_v<Side, Location> && !std::is_convertible_v<int, Location>);
static_assert(!std::is_convertible_v<Side, int> && !std::is_convertible_v<int, Side>);
static_assert(!std::is_convertible_v<int, Promotion> && !std::is_convertible_v<bool, Promotion>);
static_assert(std::is_convertible_v<BoardIndex, Location>);  // every square is a place

TEST(Squares, ConversionsAndPlaces) {
  EXPECT_EQ(ToBoardIndex(SquareNumber(76)), BoardIndex(77));
  EXPECT_EQ(ToSquareNumber(BoardIndex(77)), SquareNumber(76));
  int squares = 0;
  for (int i = 0; i < kBoardCells; ++i) squares += BoardIndex(i).IsSquare();
  EXPECT_EQ(squares, 81);
  for (int f = 1; f <= 9; ++f) {
    for (int r = 1; r <= 9; ++r) {
      const BoardIndex at = BoardIndex::At(f, r);
      EXPECT_TRUE(at.IsSquare());
      EXPECT_EQ(at.file(), f);
      EXPECT_EQ(at.rank(), r);
      EXPECT_EQ(ToSquareNumber(at), SquareNumber(f * 10 + r));
      EXPECT_EQ(ToBoardIndex(SquareNumber(f * 10 + r)), at);
      EXPECT_EQ(Location(at).square(), at);
    }
  }
  EXPECT_FALSE(SquareNumber(70).IsSquare());
  EXPECT_FALSE(SquareNumber(7).IsSquare());
  EXPECT_EQ(Location::Hand(kGote).hand_side(), kGote);
  EXPECT_TRUE(kSenteHand.IsHand() && kGoteHand.IsHand() && kPieceBox.IsBox());
  EXPECT_FALSE(kPieceBox.IsSquare() || Location(BoardIndex::At(5, 5)).IsStore());
  EXPECT_FALSE(Location::FromCode(110).IsValid());
  EXPECT_TRUE(Location::FromCode(109).IsValid());
}

TEST(StartPosition, PiecesStandWhereTheTableSays) {
  TestPosition pos;
  EXPECT_EQ(pos.CheckConsistency(), "");
  for (int i = 0; i < kPieceCount; ++i) {
    EXPECT_EQ(pos.LocationOf(i), Location(ToBoardIndex(SquareNumber(kStartPosition[i].square)))) << i;
    EXPECT_EQ(pos.SideOf(i), SideOfBit(kStartPosition[i].side)) << i;
    EXPECT_EQ(pos.KindOf(i), kStartPosition[i].kind) << i;
  }
  EXPECT_EQ(pos.KingIndex(kSente), 0);
  EXPECT_EQ(pos.KingIndex(kGote), 1);
  EXPECT_EQ(pos.side_to_move(), kSente);
  EXPECT_TRUE(pos.turn_order());
  EXPECT_EQ(pos.root(), pos.current());
}

TEST(StartPosition, AttackMapCountsAndListsInDescendingIndexOrder) {
  TestPosition pos;
  pos.RefreshAttackMap();
  // 7八 is reached by the silver on 7九 (piece 11), the gold on 6九 (7) and the rook on 2八 (2).
  const BoardIndex sq78 = Sq(7, 8);
  ASSERT_EQ(pos.AttackCount(kSente, sq78), 3);
  EXPECT_EQ(pos.Attackers(kSente, sq78)[0], 11);
  EXPECT_EQ(pos.Attackers(kSente, sq78)[1], 7);
  EXPECT_EQ(pos.Attackers(kSente, sq78)[2], 2);
  // The rook on 2八 sees along rank 8 up to the bishop on 8八, which is counted (as by the silver on
  // 7九), and no further.
  EXPECT_EQ(pos.AttackCount(kSente, Sq(8, 8)), 2);
  EXPECT_EQ(pos.AttackCount(kSente, Sq(9, 8)), 1);  // the lance on 9九 only
  EXPECT_EQ(pos.AttackCount(kGote, Sq(7, 6)), 0);
  EXPECT_EQ(pos.AttackCount(kSente, Sq(7, 6)), 1);  // the pawn on 7七
}

TEST(AttackMap, TenAttackersOfOneSquareAllFitTheList) {
  // Ten is the most one side can aim at a square: its eight neighbours and two knight squares (any
  // slider further out is blocked by a neighbour).
  TestPosition pos;
  pos.Empty();
  pos.Place(6, Sq(5, 4), 0, kSente);  // golds in front, beside and behind
  pos.Place(7, Sq(4, 5), 0, kSente);
  pos.Place(8, Sq(6, 5), 0, kSente);
  pos.Place(9, Sq(5, 6), 0, kSente);
  pos.Place(10, Sq(4, 6), 0, kSente);  // silvers on the back diagonals
  pos.Place(11, Sq(6, 6), 0, kSente);
  pos.Place(2, Sq(4, 4), 1, kSente);  // dragons step diagonally back
  pos.Place(3, Sq(6, 4), 1, kSente);
  pos.Place(14, Sq(4, 7), 0, kSente);  // knights
  pos.Place(15, Sq(6, 7), 0, kSente);
  pos.Place(18, Sq(5, 9), 0, kSente);  // a lance behind the gold on 5六 is blocked
  pos.RefreshAttackMap();
  const BoardIndex target = Sq(5, 5);
  ASSERT_EQ(pos.AttackCount(kSente, target), 10);
  const int expected[10] = {15, 14, 11, 10, 9, 8, 7, 6, 3, 2};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(pos.Attackers(kSente, target)[i], expected[i]);
  EXPECT_EQ(pos.AttackCount(kGote, target), 0);
  EXPECT_EQ(pos.CheckConsistency(), "");
}

TEST(Captures, APromotedPieceGoesToTheCapturersHandUnpromoted) {
  TestPosition pos;
  pos.Empty();
  pos.SetTurnOrder(0);
  pos.Place(4, Sq(5, 3), 1, kGote);    // gote's horse on 5三
  pos.Place(6, Sq(5, 4), 0, kSente);   // sente's gold on 5四
  pos.BeginRecord();
  ASSERT_EQ(pos.piece(6).MoveTo(Sq(5, 3), Promotion::kKeep), 1);
  EXPECT_EQ(pos.LocationOf(4), kSenteHand);
  EXPECT_FALSE(pos.PromotedOf(4));
  EXPECT_EQ(pos.SideOf(4), kSente);
  EXPECT_EQ(pos.HandCount(kSente, KA), 1);
  EXPECT_EQ(pos.CheckConsistency(), "");
  MoveWord w = pos.current()->move;
  EXPECT_TRUE(w.CapturedPromoted());
  EXPECT_EQ(w.CapturedSide(), kGote);
  EXPECT_EQ(w.Captured(), 4);
  ASSERT_EQ(pos.UndoMove(), 0);
  EXPECT_EQ(pos.LocationOf(4), Sq(5, 3));
  EXPECT_TRUE(pos.PromotedOf(4));
  EXPECT_EQ(pos.SideOf(4), kGote);
  EXPECT_EQ(pos.CheckConsistency(), "");
}

TEST(SetUp, LayoutsRemoveGotesPiecesToTheBox) {
  TestPosition pos;
  pos.SetUp(8);
  for (int at = kFirstSquare; at <= kLastSquare; ++at) EXPECT_EQ(pos.PieceAt(BoardIndex(at)), nullptr);
  EXPECT_EQ(pos.CountIn(kPieceBox, FU), 18);
  EXPECT_EQ(pos.store(kPieceBox).total(), 40);
  EXPECT_EQ(pos.CheckConsistency(), "");

  pos.SetUp(9);
  EXPECT_EQ(pos.LocationOf(20), kPieceBox);
  EXPECT_EQ(pos.LocationOf(3), kPieceBox);
  EXPECT_EQ(pos.PieceAt(Sq(1, 1)), nullptr);
  EXPECT_EQ(pos.PiecesInPlay(HI), 1);
  EXPECT_NE(pos.PieceAt(Sq(9, 1)), nullptr);

  pos.SetUp(10);
  EXPECT_EQ(pos.LocationOf(5), kPieceBox);
  EXPECT_EQ(pos.PiecesInPlay(KA), 1);
  EXPECT_EQ(pos.PieceAt(Sq(1, 1)), nullptr);

  struct Case {
    int code;
    std::vector<int> empty_squares;  // gote's squares left empty
  };
  const Case cases[] = {{1, {91}}, {2, {11}}, {3, {82}}, {4, {22}}, {5, {82, 22}},
                        {6, {82, 22, 11, 91}}, {7, {82, 22, 11, 91, 21, 81}}};
  for (const Case& c : cases) {
    pos.SetUp(c.code);
    int on_board = 0;
    for (int at = kFirstSquare; at <= kLastSquare; ++at) on_board += pos.PieceAt(BoardIndex(at)) != nullptr;
    EXPECT_EQ(on_board, 40 - static_cast<int>(c.empty_squares.size())) << c.code;
    for (int sq : c.empty_squares) {
      EXPECT_EQ(pos.PieceAt(ToBoardIndex(SquareNumber(sq))), nullptr) << c.code << " " << sq;
    }
    EXPECT_EQ(pos.store(kPieceBox).total(), static_cast<int>(c.empty_squares.size()));
    EXPECT_EQ(pos.CheckConsistency(), "");
  }
  pos.SetUp(11);  // does nothing
  EXPECT_EQ(pos.store(kPieceBox).total(), 6);
}

TEST(SetUp, NothingIsRecordedAndTheSideToMoveStays) {
  TestPosition pos;
  pos.SetSideToMove(kGote);
  pos.SetUp(3);
  EXPECT_EQ(pos.side_to_move(), kGote);
  EXPECT_EQ(pos.root()->child, nullptr);
  EXPECT_EQ(pos.move_number(), 0);
  EXPECT_EQ(pos.pool().in_use(), 1);  // the root only
}

TEST(Recording, MovesInsideMovesAndTakeBacksNeverMakeNodes) {
  TestPosition pos;
  pos.piece(22 + 6).MoveTo(Sq(7, 6), Promotion::kKeep);       // ７六歩
  pos.piece(31 + 2).MoveTo(Sq(3, 4), Promotion::kKeep);       // ３四歩
  pos.piece(4).MoveTo(Sq(2, 2), Promotion::kPromote);             // ２二角成, capturing
  EXPECT_EQ(pos.pool().in_use(), 4);
  EXPECT_EQ(pos.move_number(), 3);
  EXPECT_EQ(pos.side_to_move(), kGote);
  pos.UndoMove();
  pos.UndoMove();
  EXPECT_EQ(pos.pool().in_use(), 4);
  EXPECT_EQ(pos.move_number(), 1);
  EXPECT_EQ(pos.side_to_move(), kGote);
  EXPECT_EQ(pos.CheckConsistency(), "");
}

TEST(Recording, ReplayingAnExistingAlternativeReusesIt) {
  TestPosition pos;
  pos.piece(22 + 6).MoveTo(Sq(7, 6), Promotion::kKeep);  // first line
  pos.UndoMove();
  pos.piece(22 + 1).MoveTo(Sq(2, 6), Promotion::kKeep);  // second alternative
  pos.UndoMove();
  const int nodes = pos.pool().in_use();
  pos.piece(22 + 1).MoveTo(Sq(2, 6), Promotion::kKeep);
  EXPECT_EQ(pos.pool().in_use(), nodes);
  EXPECT_EQ(pos.root()->ChildCount(), 2);
  EXPECT_EQ(pos.current(), pos.root()->ChildAt(1));
}

TEST(Recording, InvalidTargetsChangeNothing) {
  TestPosition pos;
  const BoardForm before = pos.CurrentBoardForm();
  for (int bad : {3, 10, 20, 30, 110, 120, -1}) {
    EXPECT_EQ(pos.piece(28).MoveTo(Location::FromCode(bad), Promotion::kKeep), 0) << bad;
  }
  EXPECT_EQ(pos.CurrentBoardForm(), before);
  EXPECT_EQ(pos.root()->child, nullptr);
}

TEST(NodePool, ExhaustionShowsTheMessageOnceAndRefusesTheMove) {
  platform::RecordingMessageSink messages;
  TestPosition pos;
  pos.SetMessageSink(&messages);
  pos.pool().LimitChunksForTesting(0);  // the first chunk of 150 is all there is
  int played = 0;
  for (int i = 0; i < 400; ++i) {
    // Shuffle a rook back and forth: a new node each time, since moves go deeper.
    const BoardIndex target = (i % 2 == 0) ? Sq(3, 8) : Sq(2, 8);
    MoveNode* before = pos.current();
    const Location location = pos.LocationOf(2);
    pos.SetTurnOrder(0);
    if (pos.piece(2).MoveTo(target, Promotion::kKeep) == 0) {
      EXPECT_EQ(pos.current(), before);
      EXPECT_EQ(pos.LocationOf(2), location);  // the board did not move either
      continue;
    }
    ++played;
  }
  EXPECT_EQ(played, 149);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0],
            "メモリが一杯で指し手領域を取得できないため、正しく動作しない可能性があります");
  EXPECT_TRUE(pos.pool().IsLow());
  EXPECT_EQ(pos.CheckConsistency(), "");
}

TEST(NodePool, ChunksAndTheLowTest) {
  NodePool pool(150, 200, 150000, nullptr);
  EXPECT_EQ(pool.total(), 0);
  MoveNode* a = pool.Allocate();
  EXPECT_EQ(pool.total(), 150);
  EXPECT_EQ(pool.free_count(), 149);
  EXPECT_TRUE(pool.IsLow());  // fewer than 3000 free
  std::vector<MoveNode*> taken;
  for (int i = 0; i < 149; ++i) taken.push_back(pool.Allocate());
  pool.Allocate();
  EXPECT_EQ(pool.total(), 350);
  NodePool big(20000, 5000, 50000, nullptr);
  big.Allocate();
  EXPECT_FALSE(big.IsLow());
  pool.Free(a);
  EXPECT_EQ(pool.free_count(), 200);
}

}  // namespace
