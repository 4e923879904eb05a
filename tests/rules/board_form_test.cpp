#include "rules/board_form.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/test_position.h"

using namespace rules;

namespace {

uint32_t Counts(const BoardForm& f) {
  return f.data()[40] | f.data()[41] << 8 | f.data()[42] << 16 | static_cast<uint32_t>(f.data()[43]) << 24;
}

TEST(BoardForm, EvenGameCounts) {
  BoardForm even;
  // 2 kings, 2 rooks, 2 bishops, 4 golds, 4 silvers, 4 knights, 4 lances, 18 pawns.
  const uint32_t expected = 2 | 2 << 2 | 2 << 4 | 4 << 6 | 4 << 9 | 4 << 12 | 4 << 15 | 18u << 18;
  EXPECT_EQ(Counts(even), expected);
  for (int i = 0; i < 40; ++i) EXPECT_LT(even.data()[i] & 127, 127) << i;
  TestPosition pos;
  EXPECT_EQ(pos.CurrentBoardForm(), even);
  EXPECT_TRUE(even.IsValid());
}

TEST(BoardForm, LayoutEightIsAllInTheBox) {
  BoardForm f;
  f.SetLayout(8);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(f.data()[i], 127);
  EXPECT_EQ(Counts(f), 0u);
}

TEST(BoardForm, WhichPieceObjectStandsWhereDoesNotMatter) {
  TestPosition a, b;
  // Swap the two sente golds of b (pieces 6 and 7) through the box.
  b.Place(6, kPieceBox, 0, kSente);
  b.Place(7, Sq(4, 9), 0, kSente);
  b.Place(6, Sq(6, 9), 0, kSente);
  EXPECT_NE(a.LocationOf(6), b.LocationOf(6));
  EXPECT_EQ(a.CurrentBoardForm(), b.CurrentBoardForm());
}

TEST(BoardForm, APromotedPawnSortsLastAndLeavesTheCount) {
  TestPosition a, b;
  a.Empty();
  b.Empty();
  a.Place(22, Sq(5, 3), 1, kSente);
  b.Place(22, Sq(5, 3), 0, kSente);
  BoardForm fa = a.CurrentBoardForm(), fb = b.CurrentBoardForm();
  EXPECT_NE(fa, fb);
  EXPECT_EQ(Counts(fb) >> 18, 1u);
  EXPECT_EQ(Counts(fa) >> 18, 0u);
  EXPECT_EQ(fa.data()[39], 53);  // after the 17 pawns in the box
  EXPECT_EQ(fb.data()[22], 53);
}

TEST(BoardForm, RoundTripsAndReversal) {
  std::mt19937 rng(99);
  for (int n = 0; n < 500; ++n) {
    TestPosition a, b;
    SetRandomPosition(a, rng, n % 3 != 0);
    const BoardForm form = a.CurrentBoardForm();
    ASSERT_TRUE(form.IsValid());
    b.ApplyBoardForm(form);
    ASSERT_EQ(b.CheckConsistency(), "");
    ASSERT_EQ(b.CurrentBoardForm(), form);
    // Every square holds the same kind, side and promotion in both.
    for (int i = kFirstSquare; i <= kLastSquare; ++i) {
      Piece* pa = a.PieceAt(BoardIndex(i));
      Piece* pb = b.PieceAt(BoardIndex(i));
      ASSERT_EQ(pa == nullptr, pb == nullptr);
      if (pa) {
        ASSERT_EQ(pa->code(), pb->code());
      }
    }
    BoardForm reversed = form;
    reversed.Reverse();
    ASSERT_TRUE(reversed.IsValid());
    BoardForm twice = reversed;
    twice.Reverse();
    ASSERT_EQ(twice, form);
    // The reversed form puts gote's pieces where sente's were, turned round.
    b.ApplyBoardForm(reversed);
    for (int i = kFirstSquare; i <= kLastSquare; ++i) {
      const BoardIndex at(i);
      if (!at.IsSquare()) continue;
      Piece* pa = a.PieceAt(at);
      Piece* pb = b.PieceAt(ToBoardIndex(SquareNumber(110 - ToSquareNumber(at).value())));
      ASSERT_EQ(pa == nullptr, pb == nullptr);
      if (pa) {
        ASSERT_EQ(pa->code() ^ kSideBit, pb->code());
      }
    }
    for (int k = 0; k < kKindCount; ++k) ASSERT_EQ(a.HandCount(kSente, k), b.HandCount(kGote, k));
  }
}

TEST(BoardForm, DamagedFormsAreRecognised) {
  BoardForm f;
  f.data()[0] = 5;  // not a place
  EXPECT_FALSE(f.IsValid());
  BoardForm g;
  g.data()[2] = g.data()[3];  // two rooks on one square
  EXPECT_FALSE(g.IsValid());
  BoardForm h;
  h.data()[40] = 0xFF;  // more unpromoted pieces counted than exist
  h.data()[41] = 0xFF;
  EXPECT_FALSE(h.IsValid());
  BoardForm k;
  k.data()[40] &= ~3;  // kings counted as promoted
  EXPECT_FALSE(k.IsValid());
}

}  // namespace
