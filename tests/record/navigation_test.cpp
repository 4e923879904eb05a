#include "record/record_board.h"

#include <gtest/gtest.h>

#include <random>

#include "record/plain_board.h"
#include "rules/move_rules.h"
#include "tests/support/test_position.h"

using namespace rules;
using namespace record;

namespace {

void Play(Position& b, int index, int square) {
  ASSERT_EQ(b.piece(index).MoveTo(ToBoardIndex(SquareNumber(square)), Promotion::kKeep), 1);
}

// Moves whatever stands on `from` (square numbers); board forms decide which piece object that is.
void Move(Position& b, int from, int to) {
  Piece* p = b.PieceAt(ToBoardIndex(SquareNumber(from)));
  ASSERT_NE(p, nullptr) << from;
  ASSERT_EQ(p->MoveTo(ToBoardIndex(SquareNumber(to)), Promotion::kKeep), 1);
}

// Nodes of the tree below (and including) a node.
int CountNodes(const MoveNode* n) {
  int count = 1;
  for (const MoveNode* c = n->child; c; c = c->next) count += CountNodes(c);
  return count;
}

// The start position with a tree: 7六歩 3四歩 2六歩 / 3四歩 8四歩 (shorter) / 2六歩 (one ply).
class Navigation : public testing::Test {
 protected:
  void SetUp() override {
    Play(b, 28, 76);
    Play(b, 33, 34);
    Play(b, 23, 26);
    b.GoToStart();
    Play(b, 28, 76);
    Play(b, 33 + 5, 84);  // 8四歩 as an alternative at ply 2
    b.GoToStart();
    Play(b, 23, 26);  // an alternative first move
    b.GoToStart();
  }
  PlainBoard b;
};

TEST_F(Navigation, ForwardFollowsTheLongestLine) {
  EXPECT_EQ(b.SelectedLineLength(), 3);
  b.GoToEnd();
  EXPECT_EQ(b.depth(), 3);
  EXPECT_EQ(b.current()->note->text, std::string("先手２六歩"));
  EXPECT_EQ(b.StepForward(), 0);
  EXPECT_EQ(b.StepBack(), 1);
  EXPECT_EQ(b.StepBack(), 1);
  EXPECT_EQ(b.StepBack(), 0);
  EXPECT_EQ(b.StepBack(), -1);
  EXPECT_EQ(b.CheckConsistency(), "");
}

TEST_F(Navigation, ReplayingAnAlternativeMakesItCurrent) {
  const int nodes = b.pool().in_use();
  Play(b, 23, 26);
  EXPECT_EQ(b.current(), b.root()->ChildAt(1));
  EXPECT_EQ(b.root()->ChildCount(), 2);
  EXPECT_EQ(b.pool().in_use(), nodes);
}

TEST_F(Navigation, GoingToAChildSelectsIt) {
  b.StepForward();
  ASSERT_EQ(b.GoToChild(1), 1);  // 8四歩
  EXPECT_EQ(b.current()->note->text, std::string("後手８四歩"));
  b.StepBack();
  b.StepForward();  // recomputed from ply 1: the longer line again
  EXPECT_EQ(b.current()->note->text, std::string("後手３四歩"));
  EXPECT_EQ(b.GoToChild(5), 0);
}

TEST_F(Navigation, DeletingTheCurrentNodeStepsBackAndReselects) {
  b.GoToEnd();
  b.StepBack();  // at 3四歩, ply 2
  MoveNode* three_four = b.current();
  ASSERT_TRUE(b.DeleteBranch(three_four));
  EXPECT_EQ(b.depth(), 1);
  EXPECT_EQ(b.root()->child->ChildCount(), 1);
  b.GoToStart();
  b.GoToEnd();  // 7六歩 8四歩 remains, 2 plies
  EXPECT_EQ(b.depth(), 2);
  EXPECT_EQ(b.current()->note->text, std::string("後手８四歩"));
  EXPECT_EQ(b.CheckConsistency(), "");
  EXPECT_EQ(b.pool().in_use(), CountNodes(b.root()));
}

TEST_F(Navigation, SelectingABranch) {
  b.StepForward();  // 7六歩
  ASSERT_TRUE(b.SelectBranch(1));
  EXPECT_EQ(b.current(), b.root()->ChildAt(1));
  EXPECT_EQ(b.depth(), 1);
  EXPECT_TRUE(b.SelectBranch(1));  // the same pick changes nothing
  EXPECT_FALSE(b.SelectBranch(7));
}

TEST_F(Navigation, SavedPlaceIsRestored) {
  b.StepForward();
  b.GoToChild(1);
  MoveNode* here = b.current();
  EXPECT_EQ(b.SelectedLineLength(), 3);
  EXPECT_EQ(b.current(), here);
  b.SavePlace();
  EXPECT_EQ(b.current(), b.root());
  b.RestorePlace();
  EXPECT_EQ(b.current(), here);
}

// Kings on 5九/5一; sente's rook 5五 and bishop 7七; gote's rook 3五, bishop 3三 and pawn 5三.
BoardForm TieBreakPosition() {
  BoardForm form;
  form.SetLayout(8);
  BoardForm::Expanded e = form.Decode();
  e[0] = {59, 0, 0};
  e[1] = {51, 1, 0};
  e[2] = {55, 0, 0};
  e[3] = {35, 1, 0};
  e[4] = {33, 1, 0};
  e[5] = {77, 0, 0};
  e[22] = {53, 1, 0};
  form.Encode(e);
  return form;
}

TEST(MainLine, EqualLengthsPreferTheLighterSenteStand) {
  PlainBoard b;
  b.ApplyBoardForm(TieBreakPosition());
  b.BeginRecord();
  Move(b, 55, 35);  // takes the rook: sente's stand weighs 5
  b.GoToStart();
  Move(b, 55, 53);  // takes the pawn: 1
  b.GoToStart();
  Move(b, 55, 45);  // takes nothing: 0
  b.GoToStart();
  b.StepForward();
  EXPECT_EQ(b.current(), b.root()->ChildAt(2));
  b.DeleteBranch(b.current());
  b.GoToStart();
  b.StepForward();
  EXPECT_EQ(b.current(), b.root()->ChildAt(1));  // a pawn (1) beats a rook (5)
}

TEST(MainLine, EqualSenteStandsPreferTheHeavierGoteStand) {
  PlainBoard b;
  b.ApplyBoardForm(TieBreakPosition());
  b.BeginRecord();
  Move(b, 55, 65);  // rook aside, then gote's pawn steps: gote's stand weighs 0
  Move(b, 53, 54);
  b.GoToStart();
  Move(b, 55, 45);  // rook aside, then gote's bishop takes sente's bishop: 5
  Move(b, 33, 77);
  b.GoToStart();
  b.GoToEnd();
  EXPECT_EQ(b.current()->note->text, std::string("後手７七角不成"));
  EXPECT_EQ(b.best_length(), 2);
}

TEST(MainLine, ALongerLineEnteredAfterThePathWasComputedIsFollowed) {
  PlainBoard b;
  Move(b, 77, 76);
  b.GoToStart();
  EXPECT_EQ(b.SelectedLineLength(), 1);
  b.StepForward();
  b.GoToStart();
  Move(b, 27, 26);
  Move(b, 33, 34);
  Move(b, 26, 25);
  b.GoToStart();
  EXPECT_EQ(b.SelectedLineLength(), 3);
  b.GoToEnd();
  EXPECT_EQ(b.depth(), 3);
  // Deleting it brings the old line back.
  b.DeleteBranch(b.root()->ChildAt(1));
  EXPECT_EQ(b.SelectedLineLength(), 1);
}

TEST(MainLine, AnEmptyRecordHasLengthZero) {
  PlainBoard b;
  EXPECT_EQ(b.SelectedLineLength(), 0);
  EXPECT_EQ(b.StepForward(), 0);
}

TEST(Copy, SelectedLineOrWholeTreeWithAnnotationsAndPlace) {
  PlainBoard b;
  Play(b, 28, 76);
  b.AddAnnotation(b.current(), "角道を開ける");
  Play(b, 33, 34);
  b.GoToStart();
  Play(b, 23, 26);
  Play(b, 33 + 5, 84);
  Play(b, 22 + 2, 36);  // the longer line: 2六歩 8四歩 3六歩
  b.StepBack();
  MoveNode* place = b.current();

  PlainBoard whole(PlainBoard::kCopyPool);
  b.CopyRecordTo(whole, true, false);
  EXPECT_EQ(b.current(), place);
  EXPECT_EQ(CountNodes(whole.root()), CountNodes(b.root()));
  EXPECT_EQ(whole.depth(), 2);
  EXPECT_EQ(whole.CurrentBoardForm(), b.CurrentBoardForm());
  ASSERT_NE(whole.root()->child->note, nullptr);
  ASSERT_EQ(whole.root()->child->note->lines.size(), 1u);
  EXPECT_EQ(whole.root()->child->note->lines[0], "角道を開ける");
  EXPECT_EQ(whole.CheckConsistency(), "");

  PlainBoard line(PlainBoard::kCopyPool);
  b.CopyRecordTo(line, false, true);  // from the current place, the selected line only
  EXPECT_EQ(CountNodes(line.root()), 2);
  EXPECT_EQ(line.initial_form(), b.CurrentBoardForm());

  PlainBoard from_start(PlainBoard::kCopyPool);
  b.CopyRecordTo(from_start, true, true);
  EXPECT_EQ(CountNodes(from_start.root()), 4);  // root and the three plies of the longest line
  EXPECT_EQ(from_start.root()->child->note->text, std::string("先手２六歩"));
}

TEST(Copy, SetPositionFromTakesPlacesAndSide) {
  PlainBoard a, b;
  Play(a, 28, 76);
  Play(a, 33, 34);
  ASSERT_EQ(a.piece(4).MoveTo(Sq(2, 2), Promotion::kPromote), 1);  // 角成 taking the bishop
  b.SetPositionFrom(a);
  EXPECT_EQ(b.CurrentBoardForm(), a.CurrentBoardForm());
  EXPECT_EQ(b.side_to_move(), kGote);
  EXPECT_EQ(b.root()->child, nullptr);
  EXPECT_EQ(b.initial_form(), a.CurrentBoardForm());
}

// Random editing of a record: play, step, jump, delete, copy. The position stays consistent, every node
// is in the tree or back in the pool, and a copy of the whole tree equals it node for node.
TEST(RandomRecords, InvariantsHoldUnderEditing) {
  std::mt19937 rng(314159);
  for (int round = 0; round < 40; ++round) {
    PlainBoard b;
    for (int step = 0; step < 300; ++step) {
      switch (rng() % 8) {
        case 0: case 1: case 2: {
          // A random accepted move of the side to move.
          for (int tries = 0; tries < 60; ++tries) {
            int i = static_cast<int>(rng() % kPieceCount);
            const BoardIndex to = BoardIndex::At(1 + static_cast<int>(rng() % 9), 1 + static_cast<int>(rng() % 9));
            const bool promote = rng() % 2 != 0;
            MoveWord w = b.BuildMoveWord(b.piece(i), to, PromotionTo(promote), b.piece(i).side());
            if (b.piece(i).location() == kPieceBox || ValidateMove(b, w) != kLegal) continue;
            b.piece(i).MoveTo(to, PromotionTo(promote));
            break;
          }
          break;
        }
        case 3: b.StepBack(); break;
        case 4: b.StepForward(); break;
        case 5: b.GoToChild(static_cast<int>(rng() % 3)); break;
        case 6:
          if (rng() % 3 == 0 && b.current() != b.root()) b.DeleteBranch(b.current());
          break;
        default:
          if (rng() % 4 == 0) b.GoToStart(); else b.GoToEnd();
          break;
      }
      ASSERT_EQ(b.CheckConsistency(), "") << "round " << round << " step " << step;
      ASSERT_EQ(b.pool().in_use(), CountNodes(b.root()));
    }
    PlainBoard copy(PlainBoard::kCopyPool);
    MoveNode* place = b.current();
    const BoardForm form = b.CurrentBoardForm();
    b.CopyRecordTo(copy, true, false);
    ASSERT_EQ(b.current(), place);
    ASSERT_EQ(b.CurrentBoardForm(), form);
    ASSERT_EQ(CountNodes(copy.root()), CountNodes(b.root()));
    ASSERT_EQ(copy.CurrentBoardForm(), form);
    ASSERT_EQ(copy.CheckConsistency(), "");
    b.BeginRecord();
    ASSERT_EQ(b.pool().in_use(), 1);
  }
}

}  // namespace
