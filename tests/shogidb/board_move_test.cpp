// Board moves against the position object: along random legal games the board form kept by playing board
// moves equals the one the position gives, every move converts to a board move and back, and the
// reversed orientation names the same move turned round.
#include <gtest/gtest.h>

#include <random>

#include "record/csa_position_lines.h"
#include "record/plain_board.h"
#include "rules/notation.h"
#include "shogidb/board_move.h"
#include "shogidb/position_key.h"
#include "tests/support/reference_rules.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

// The move word of a reference move on the board.
MoveWord WordOf(const Position& board, const RefMove& m) {
  const Piece* piece = nullptr;
  if (m.is_drop()) {
    for (int i = kFirstIndexOfKind[m.kind]; i < kFirstIndexOfKind[m.kind] + kPiecesPerKind[m.kind]; ++i) {
      if (board.LocationOf(i) == Location::Hand(SideOfBit(m.side))) piece = &board.piece(i);
    }
  } else {
    piece = board.PieceAt(BoardIndex::At(m.from_file, m.from_rank));
  }
  EXPECT_NE(piece, nullptr);
  return board.BuildMoveWord(*piece, BoardIndex::At(m.to_file, m.to_rank),
                             m.promote ? Promotion::kPromote : Promotion::kKeep, SideOfBit(m.side));
}

TEST(BoardMoveTest, RandomGamesAgreeWithThePosition) {
  std::mt19937 rng(20240601);
  for (int game = 0; game < 12; ++game) {
    PlainBoard board;
    FormBoard kept(board.CurrentBoardForm());
    BoardForm reversed_form = board.CurrentBoardForm();
    reversed_form.Reverse();
    FormBoard reversed(reversed_form);
    for (int ply = 0; ply < 150; ++ply) {
      RefPosition p = Snapshot(board);
      std::vector<RefMove> legal = RefLegalMoves(p, SideIndex(board.side_to_move()));
      if (legal.empty()) break;
      const RefMove& m = legal[std::uniform_int_distribution<size_t>(0, legal.size() - 1)(rng)];
      const MoveWord w = WordOf(board, m);
      const BoardMove bm = BoardMoveOf(board, w);
      ASSERT_NE(bm, kNoMove) << RefMoveKey(m);
      EXPECT_EQ(SideIndex(BoardMoveSide(bm)), m.side);
      EXPECT_EQ(BoardMoveTo(bm), m.to_file * 10 + m.to_rank);
      EXPECT_EQ(kept.CsaText(bm), RefMoveKey(m));
      MoveWord back;
      ASSERT_TRUE(MoveWordOf(board, bm, back));
      EXPECT_EQ(CsaMoveText(back), RefMoveKey(m));

      const BoardMove turned = ReverseBoardMove(kept, reversed, bm);
      ASSERT_NE(turned, kNoMove);
      EXPECT_EQ(ReverseBoardMove(reversed, kept, turned), bm);

      ASSERT_TRUE(kept.Apply(bm));
      ASSERT_TRUE(reversed.Apply(turned));
      board.piece(w.Piece()).MoveTo(w.To(), PromotionTo(w.PromotedAfter()), w.SideBefore());
      const BoardForm now = board.CurrentBoardForm();
      ASSERT_EQ(kept.Form(), now) << "game " << game << " ply " << ply << " " << RefMoveKey(m);
      BoardForm now_reversed = now;
      now_reversed.Reverse();
      ASSERT_EQ(reversed.Form(), now_reversed);
    }
  }
}

TEST(BoardMoveTest, MovesThatDoNotFit) {
  FormBoard even;
  // From an empty square, with gote's piece for sente, onto one's own piece, a drop from an empty hand.
  EXPECT_EQ(even.Encode({kSente, 55, 0, 54, false}), kNoMove);
  EXPECT_EQ(even.Encode({kSente, 33, 0, 34, false}), kNoMove);
  EXPECT_EQ(even.Encode({kSente, 77, 0, 88, false}), kNoMove);
  EXPECT_EQ(even.Encode({kSente, 0, FU, 55, false}), kNoMove);
  EXPECT_EQ(even.Encode({kSente, 77, 0, 100, false}), kNoMove);
  const BoardMove pawn = even.Encode({kSente, 77, 0, 76, false});
  ASSERT_NE(pawn, kNoMove);
  EXPECT_EQ(even.CsaText(pawn), "+7776FU");
  // The same move for the wrong side, a bad index, the free-slot value.
  EXPECT_FALSE(FormBoard(even).Apply(static_cast<BoardMove>(pawn | 1 << 14)));
  EXPECT_FALSE(FormBoard(even).Apply(MakeBoardMove(45, 55, false, kSente)));
  EXPECT_FALSE(FormBoard(even).Apply(kNoMove));
  EXPECT_FALSE(FormBoard(even).Apply(MakeBoardMove(0, 10, false, kSente)));
  FormBoard copy = even;
  ASSERT_TRUE(copy.Apply(pawn));
  EXPECT_NE(copy.Form(), even.Form());
}

TEST(BoardMoveTest, DropsNameTheFirstPieceInHand) {
  BoardForm form;
  BoardForm::Expanded e = form.Decode();
  // Sente holds two pawns taken from 3七 and 1七 (gote's pawns gone to the box for room).
  e[22 + 0] = {0, 0, 0};
  e[22 + 1] = {0, 0, 0};
  form.Encode(e);
  FormBoard board(form);
  const BoardMove drop = board.Encode({kSente, 0, FU, 55, false});
  ASSERT_NE(drop, kNoMove);
  EXPECT_EQ(BoardMovePiece(drop), 22);  // hand pieces sort first in their group
  EXPECT_EQ(board.CsaText(drop), "+0055FU");
  EXPECT_EQ(board.Encode({kSente, 0, FU, 55, true}), kNoMove);
}

TEST(BoardPatternTest, OnlyThePiecesOnTheBoardCount) {
  BoardForm target;
  target.SetLayout(8);
  BoardForm::Expanded e = target.Decode();
  e[0] = {59, 0, 0};  // sente's king on 5九, nothing else
  target.Encode(e);
  const BoardPattern pattern = PatternOf(target);
  ASSERT_EQ(pattern.squares.size(), 1u);
  EXPECT_TRUE(MatchesBoard(pattern, FormBoard()));
  FormBoard moved;
  ASSERT_TRUE(moved.Apply(moved.Encode({kSente, 59, 0, 58, false})));
  EXPECT_FALSE(MatchesBoard(pattern, moved));
}

TEST(PositionLinesTest, EvenGameAndHands) {
  BoardForm form;
  std::vector<std::string> lines = CsaPositionLines(form);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "P1-KY-KE-GI-KI-OU-KI-GI-KE-KY");
  EXPECT_EQ(lines[1], "P2 * -HI *  *  *  *  * -KA * ");
  EXPECT_EQ(lines[8], "P9+KY+KE+GI+KI+OU+KI+GI+KE+KY");
  BoardForm::Expanded e = form.Decode();
  e[4] = {0, 0, 0};   // a bishop in sente's hand
  e[22] = {1, 1, 0};  // a pawn in gote's hand
  form.Encode(e);
  lines = CsaPositionLines(form);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[9], "P+00KA");
  EXPECT_EQ(lines[10], "P-00FU");
}

}  // namespace
}  // namespace shogidb
