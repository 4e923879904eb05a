// The mate search on the shared tsume problems: every problem an independent solver mates in at most 13
// moves is mated here in the iteration of that depth (or an earlier one, where useless interpositions
// are pruned), and the solution tree written into the record passes the independent judge. The no-mate
// problems report no mate.
#include <gtest/gtest.h>

#include <string>

#include "platform/progress_sink.h"
#include "record/plain_board.h"
#include "solver/mate_engine.h"
#include "tests/support/sfen.h"
#include "tests/support/solution_check.h"
#include "tests/support/tsume_data.h"

using namespace record;
using namespace solver;

namespace {

constexpr int kLongestInTests = 13;
// The sum of the node counts of those problems: it changes only when the search itself changes (then
// record the new figure here and in bench/solver, and say why in the commit).
constexpr long kNodeSignature = 892792;

struct Solved {
  SolveOutcome outcome;
  int depth_limit;
  long nodes;
  SolutionReport report;
  std::vector<std::string> lines;
};

Solved Solve(const TsumeProblem& problem) {
  PlainBoard board;
  EXPECT_TRUE(SetPositionFromSfen(board, problem.sfen)) << problem.id;
  platform::RecordingProgressSink sink;
  MateEngine engine(board);
  engine.Solve(MateEngine::kDefaultMaxDepth, &sink, nullptr);
  Solved s{engine.outcome(), engine.mate_depth_limit(), engine.node_count(), {}, sink.lines};
  if (SolutionWritten(s.outcome)) s.report = CheckSolutionTree(board);
  return s;
}

class TsumeData : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TsumeFolder(KOMARAKU_TESTDATA);
    if (folder_.empty()) GTEST_SKIP() << "shared test data not found under " << KOMARAKU_TESTDATA;
    problems_ = LoadTsumeIndex(folder_);
    ASSERT_FALSE(problems_.empty());
  }
  std::string folder_;
  std::vector<TsumeProblem> problems_;
};

TEST_F(TsumeData, ProblemsUpToThirteenMovesAreMatedWithASoundSolutionTree) {
  int solved = 0;
  long nodes = 0;
  for (const TsumeProblem& p : problems_) {
    const int reference = p.ReferenceLength();
    if (reference < 0 || reference > kLongestInTests) continue;
    SCOPED_TRACE(p.id);
    const Solved s = Solve(p);
    ASSERT_EQ(s.outcome, SolveOutcome::kMate);
    EXPECT_LE(s.depth_limit, reference);
    EXPECT_EQ(s.report.error, "");
    EXPECT_TRUE(s.report.single_reply);
    if (s.depth_limit < reference) {
      // Proved earlier than the reference length: only because interpositions were pruned as useless
      // or followed past the limit.
      EXPECT_TRUE(s.report.pruned_interpositions > 0 || s.report.depth > s.depth_limit);
    }
    nodes += s.nodes;
    ++solved;
  }
  EXPECT_GE(solved, 40);
  EXPECT_EQ(nodes, kNodeSignature);
}

// The small no-mate cases; the no-mate problems of the Edo collections take a depth-35 search far longer
// than a test may and are left to the benchmark.
TEST_F(TsumeData, NoMateProblemsReportNoMate) {
  int tested = 0;
  for (const TsumeProblem& p : problems_) {
    if (!p.ReferenceNoMate() || (p.id.rfind("met-", 0) != 0 && p.id.rfind("misc-", 0) != 0)) continue;
    SCOPED_TRACE(p.id);
    const Solved s = Solve(p);
    EXPECT_EQ(s.outcome, SolveOutcome::kNoMate);
    ASSERT_FALSE(s.lines.empty());
    EXPECT_EQ(s.lines.back().rfind(" -----(;_;) 詰みませんでした(", 0), 0u) << s.lines.back();
    ++tested;
  }
  EXPECT_EQ(tested, 3);
}

}  // namespace
