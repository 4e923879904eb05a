// Solving the problem of a record file and writing the solved problem back (what kzb solve does around
// the solve procedure).
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "platform/files.h"
#include "platform/progress_sink.h"
#include "record/record_file.h"
#include "rules/board_form.h"
#include "solver/record_solve.h"
#include "solver/solve_procedure.h"
#include "tests/support/solution_check.h"

using namespace rules;
using namespace record;
using namespace solver;

namespace {

class RecordSolve : public ::testing::Test {
 protected:
  void SetUp() override {
    problem_path_ = std::string(KOMARAKU_TESTDATA) + "/tsume/met-6.pcl";
    if (!platform::FileExists(problem_path_)) GTEST_SKIP() << "shared test data not found: " << problem_path_;
    out_path_ = ::testing::TempDir() + "komaraku_solved_" + std::to_string(::getpid()) + ".pcl";
  }
  void TearDown() override { platform::RemoveFile(out_path_); }

  std::string problem_path_, out_path_;
};

int CountMoves(const MoveNode* node) {
  int n = 0;
  for (const MoveNode* c = node->child; c; c = c->next) n += 1 + CountMoves(c);
  return n;
}

TEST_F(RecordSolve, TheSolvedProblemIsWrittenWithItsLengthAndWholeTree) {
  RecordFile file;
  ASSERT_TRUE(file.Load(problem_path_).complete);
  ASSERT_TRUE(file.is_problem());
  PrepareForSolving(file.board());
  platform::RecordingProgressSink lines;
  ASSERT_EQ(RunSolveProcedure(file.board(), lines, nullptr), SolveOutcome::kMate);
  const std::vector<std::string> main_line = MainLineTexts(file.board());
  ASSERT_EQ(main_line.size(), 15u);
  EXPECT_EQ(main_line.front(), "先手１二歩");
  EXPECT_EQ(file.board().current(), file.board().root());
  const int moves = CountMoves(file.board().root());

  ASSERT_TRUE(WriteSolvedProblem(file.problem(), out_path_));
  RecordFile again;
  ASSERT_TRUE(again.Load(out_path_).complete);
  EXPECT_EQ(again.problem().header().Field(ProblemHeader::kMateLength), "0015");
  EXPECT_EQ(again.problem().header().Field(ProblemHeader::kTitle), "minlen15");
  EXPECT_EQ(CountMoves(again.board().root()), moves);
  EXPECT_EQ(CheckSolutionTree(again.board()).error, "");
  EXPECT_EQ(MainLineTexts(again.board()), main_line);

  // Solving the solved file again starts from an empty buffer and finds the same tree.
  PrepareForSolving(again.board());
  EXPECT_EQ(again.board().root()->child, nullptr);
  ASSERT_EQ(RunSolveProcedure(again.board(), lines, nullptr), SolveOutcome::kMate);
  EXPECT_EQ(CountMoves(again.board().root()), moves);
}

TEST_F(RecordSolve, AnUnwritablePathIsReported) {
  RecordFile file;
  ASSERT_TRUE(file.Load(problem_path_).complete);
  EXPECT_FALSE(WriteSolvedProblem(file.problem(), "/nonexistent-folder/solved.pcl"));
}

BoardForm FormOf(const Position& position) {
  BoardForm form;
  form.FromPosition(position);
  return form;
}

TEST(CopyProblemForSolving, TakesTheCurrentPositionAndAProblemHeaderAndLeavesTheSourceAlone) {
  PlainBoard board;
  ProblemDocument target(board);
  RecordFile game;
  ASSERT_TRUE(game.LoadText("PI\r\n+\r\n+7776FU\r\n-3334FU\r\n+2726FU\r\n", RecordFileKind::kCsa).complete);
  game.board().GoToStart();
  game.board().StepForward();
  game.board().StepForward();
  game.document().SetReversed(1);
  const MoveNode* source_place = game.board().current();
  target.header().SetField(ProblemHeader::kTitle, "old");
  CopyProblemForSolving(game.document(), target);
  EXPECT_TRUE(FormOf(board) == FormOf(game.board()));
  EXPECT_EQ(board.side_to_move(), kSente);
  EXPECT_EQ(board.root()->child, nullptr);
  EXPECT_EQ(target.reversed(), 1);
  EXPECT_EQ(target.header().Field(ProblemHeader::kTitle), "old");  // a game has no tsume header to give
  EXPECT_EQ(game.board().current(), source_place);
  EXPECT_EQ(game.board().SelectedLineLength(), 3);

  RecordFile problem;
  ASSERT_TRUE(problem.LoadText("'表題:頭金\r\nP1 *  *  *  * -OU *  *  *  * \r\nP3 *  *  *  * +FU *  *  *  * \r\n"
                               "P+00KI\r\nP-00AL\r\n+\r\n+0052KI\r\n", RecordFileKind::kPcl).complete);
  CopyProblemForSolving(problem.document(), target);
  EXPECT_EQ(target.header().Field(ProblemHeader::kTitle), "頭金");
  EXPECT_EQ(target.reversed(), 0);
  EXPECT_TRUE(FormOf(board) == FormOf(problem.board()));
  EXPECT_EQ(board.root()->child, nullptr);
  EXPECT_NE(problem.board().root()->child, nullptr);
}

}  // namespace
