// Solving the problem of a record file and writing the solved problem back (what kzb solve does around
// the solve procedure).
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "platform/files.h"
#include "platform/progress_sink.h"
#include "record/record_file.h"
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

}  // namespace
