// The proof-number engine: its hand packing and table rules, positions made for one rule each
// (perpetual check, pawn-drop mate, useless interpositions, the stop), and the shared short problems,
// whose solution trees the independent judge checks.
#include <gtest/gtest.h>

#include <time.h>

#include <string>
#include <thread>

#include "platform/events.h"
#include "platform/progress_sink.h"
#include "record/plain_board.h"
#include "solver/dfpn_engine.h"
#include "solver/dfpn_table.h"
#include "solver/mate_engine.h"
#include "tests/support/sfen.h"
#include "tests/support/solution_check.h"
#include "tests/support/tsume_data.h"

using namespace rules;
using namespace record;
using namespace solver;

namespace {

PackedHand HandOf(int fu, int gi, int hi) {
  PackedHand h;
  for (int i = 0; i < fu; ++i) h = h.Plus(FU);
  for (int i = 0; i < gi; ++i) h = h.Plus(GI);
  for (int i = 0; i < hi; ++i) h = h.Plus(HI);
  return h;
}

TEST(PackedHandTest, CoversKindByKindWithoutBorrowingAcrossFields) {
  EXPECT_TRUE(HandOf(2, 1, 0).Covers(HandOf(1, 1, 0)));
  EXPECT_TRUE(HandOf(18, 4, 2).Covers(HandOf(18, 4, 2)));
  EXPECT_FALSE(HandOf(1, 1, 0).Covers(HandOf(2, 1, 0)));
  // More of one kind never makes up for less of another.
  EXPECT_FALSE(HandOf(18, 0, 2).Covers(HandOf(0, 1, 0)));
  EXPECT_FALSE(HandOf(0, 4, 0).Covers(HandOf(0, 0, 1)));
  EXPECT_EQ(HandOf(17, 3, 1).Count(FU), 17);
  EXPECT_EQ(HandOf(17, 3, 1).Count(GI), 3);
  EXPECT_EQ(HandOf(17, 3, 1).Count(HI), 1);
}

constexpr int kUnbounded = kInfiniteDepth;
constexpr DfpnValue kProof(int depth_needed) { return DfpnValue{0, kInfinitePn, static_cast<int16_t>(depth_needed), false}; }
constexpr DfpnValue kDisproof{kInfinitePn, 0, 0, false};

TEST(DfpnTableTest, ProofsHoldForMoreInHandAndDisproofsForLess) {
  DfpnTable table(1);
  const uint64_t key = 0x1234;
  table.Store(key, HandOf(1, 1, 0), kProof(7), kUnbounded, 10);
  EXPECT_TRUE(table.Find(key, HandOf(2, 1, 0), kUnbounded).value.proven());
  EXPECT_EQ(table.Find(key, HandOf(2, 1, 0), kUnbounded).value.depth_needed, 7);
  EXPECT_FALSE(table.Find(key, HandOf(0, 1, 0), kUnbounded).found);

  table.Store(key + 1, HandOf(2, 0, 0), kDisproof, kUnbounded, 10);
  EXPECT_TRUE(table.Find(key + 1, HandOf(1, 0, 0), kUnbounded).value.disproven());
  EXPECT_FALSE(table.Find(key + 1, HandOf(2, 1, 0), kUnbounded).found);
}

TEST(PackedHandTest, KindByKindLargerSmallerAndLimits) {
  EXPECT_EQ(PackedHand::Max(HandOf(3, 0, 1), HandOf(1, 2, 0)), HandOf(3, 2, 1));
  EXPECT_EQ(PackedHand::Min(HandOf(3, 0, 1), HandOf(1, 2, 0)), HandOf(1, 0, 0));
  EXPECT_EQ(HandOf(18, 4, 2).PlusAtMost(FU), HandOf(18, 4, 2));
  EXPECT_EQ(HandOf(0, 1, 0).MinusAtLeast(FU), HandOf(0, 1, 0));
  EXPECT_EQ(PackedHand::All().Count(KI), 4);
  EXPECT_TRUE(PackedHand::All().Covers(HandOf(18, 4, 2)));
}

// A result carries the hands it holds for: a proof those it uses, a disproof the most it stands with.
TEST(DfpnTableTest, AResultIsKeptUnderTheHandsItHoldsFor) {
  DfpnTable table(1);
  DfpnValue proof = kProof(5);
  proof.has_hand = true;
  proof.hand = HandOf(1, 0, 0);
  table.Store(3, HandOf(3, 2, 0), proof, kUnbounded, 10);
  EXPECT_TRUE(table.Find(3, HandOf(1, 1, 0), kUnbounded).value.proven());
  EXPECT_FALSE(table.Find(3, HandOf(0, 2, 0), kUnbounded).value.solved());

  DfpnValue disproof = kDisproof;
  disproof.has_hand = true;
  disproof.hand = HandOf(18, 0, 2);
  table.Store(4, HandOf(0, 0, 0), disproof, kUnbounded, 10);
  EXPECT_TRUE(table.Find(4, HandOf(5, 0, 1), kUnbounded).value.disproven());
  EXPECT_FALSE(table.Find(4, HandOf(0, 1, 0), kUnbounded).value.solved());
}

TEST(DfpnTableTest, BoundedResultsHoldOnlyWithinTheirDepth) {
  DfpnTable table(1);
  // Mate in 9 known, no mate within 5 known: a search with 7 plies learns nothing final.
  table.Store(7, HandOf(1, 0, 0), kProof(9), kUnbounded, 10);
  table.Store(7, HandOf(1, 0, 0), kDisproof, 5, 10);
  EXPECT_TRUE(table.Find(7, HandOf(1, 0, 0), 9).value.proven());
  EXPECT_TRUE(table.Find(7, HandOf(1, 0, 0), 5).value.disproven());
  EXPECT_TRUE(table.Find(7, HandOf(0, 0, 0), 3).value.disproven());
  EXPECT_FALSE(table.Find(7, HandOf(1, 0, 0), 7).value.solved());
  // A shorter proof replaces the longer one.
  table.Store(7, HandOf(1, 0, 0), kProof(7), 7, 10);
  EXPECT_TRUE(table.Find(7, HandOf(1, 0, 0), 7).value.proven());
}

TEST(DfpnTableTest, ADisproofHoldsAsDeepAsItsValueSays) {
  DfpnTable table(1);
  // Found with 5 plies, known to hold with 11: asked with 9, it answers, and says how deep it holds.
  DfpnValue deeper = kDisproof;
  deeper.holds_within = 11;
  table.Store(8, HandOf(0, 0, 0), deeper, 5, 10);
  const DfpnTable::Lookup found = table.Find(8, HandOf(0, 0, 0), 9);
  EXPECT_TRUE(found.value.disproven());
  EXPECT_EQ(found.value.holds_within, 11);
  EXPECT_FALSE(table.Find(8, HandOf(0, 0, 0), 13).value.solved());
  // No check at all: any depth, also an unbounded search's.
  DfpnValue any = kDisproof;
  any.holds_within = kInfiniteDepth;
  table.Store(9, HandOf(0, 0, 0), any, 1, 10);
  EXPECT_TRUE(table.Find(9, HandOf(0, 0, 0), kUnbounded).value.disproven());
  EXPECT_EQ(table.Find(9, HandOf(0, 0, 0), kUnbounded).value.holds_within, kInfiniteDepth);
}

TEST(DfpnTableTest, APathDependentDisproofIsOnlyAHint) {
  DfpnTable table(1);
  table.Store(99, HandOf(0, 0, 0), DfpnValue{kInfinitePn, 0, 0, true}, kUnbounded, 10);
  const DfpnTable::Lookup found = table.Find(99, HandOf(0, 0, 0), kUnbounded);
  ASSERT_TRUE(found.found);
  EXPECT_FALSE(found.value.solved());
}

TEST(DfpnTableTest, AnEstimateDoesNotOverwriteAProof) {
  DfpnTable table(1);
  table.Store(5, HandOf(1, 0, 0), kProof(3), kUnbounded, 10);
  table.Store(5, HandOf(1, 0, 0), DfpnValue{4, 4, 0, false}, kUnbounded, 10);
  EXPECT_TRUE(table.Find(5, HandOf(1, 0, 0), kUnbounded).value.proven());
}

class Dfpn : public ::testing::Test {
 protected:
  SolveOutcome Solve(const std::string& sfen, DfpnOptions options = {16, 0}, platform::AutoResetEvent* stop = nullptr) {
    EXPECT_TRUE(SetPositionFromSfen(board, sfen)) << sfen;
    DfpnEngine engine(board, options);
    const SolveOutcome o = engine.Solve(&sink, stop);
    length = engine.mate_length();
    confirmed = engine.shortest_confirmed();
    nodes = engine.node_count();
    if (o == SolveOutcome::kMate) {
      engine.WriteSolution();
      report = CheckSolutionTree(board);
    }
    return o;
  }
  PlainBoard board;
  platform::RecordingProgressSink sink;
  int length = 0;
  bool confirmed = false;
  long nodes = 0;
  SolutionReport report;
};

TEST_F(Dfpn, PerpetualCheckIsNoMate) {
  // A lone rook can check the king for ever, coming back to the same positions, but never mate it.
  EXPECT_EQ(Solve("8k/9/9/9/9/9/9/9/K7R b - 1"), SolveOutcome::kNoMate);
}

TEST_F(Dfpn, MateByDroppingAPawnIsNoMove) {
  // Only P*1b would mate.
  EXPECT_EQ(Solve("7nk/7l1/7S1/9/9/9/9/9/K8 b P 1"), SolveOutcome::kNoMate);
  ASSERT_EQ(Solve("7nk/7l1/7S1/9/9/9/9/9/K8 b G 1"), SolveOutcome::kMate);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(report.error, "");
}

// Options that search without a bound unprobed from the start (the lengths come from the bounded
// searches after the first proof).
DfpnOptions Unprobed() {
  DfpnOptions options{16, 0};
  options.probing_nodes = 0;
  return options;
}

TEST_F(Dfpn, UselessInterpositionsAreNotCounted) {
  // A rook dropped anywhere on the first rank mates: every pawn dropped between is taken with mate.
  for (const DfpnOptions& options : {DfpnOptions{16, 0}, Unprobed()}) {
    ASSERT_EQ(Solve("8k/6G2/7G1/9/9/9/9/9/K8 b R3p 1", options), SolveOutcome::kMate);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(report.error, "");
  }
}

TEST_F(Dfpn, AnInterpositionThatIsNotUselessCountsAtTheEndOfALine) {
  // R*1c leaves gote only P*1b, next to its king and taken by nothing but the rook, which the king
  // would take back: a real interposition, answered by N*2c mate. Three moves, never one.
  for (const DfpnOptions& options : {DfpnOptions{16, 0}, Unprobed()}) {
    ASSERT_EQ(Solve("7pk/7n1/9/9/9/9/9/9/K8 b RNp 1", options), SolveOutcome::kMate);
    EXPECT_EQ(length, 3);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(report.error, "");
    EXPECT_EQ(report.depth, 3);
  }
}

TEST_F(Dfpn, AMateAnsweredByUselessInterpositionsAloneEndsABoundedLine) {
  // The last check, +R1c, is answered only by drops on 1b, all useless: with one ply left it still
  // mates, so the shortest is 11 moves (as the first engine finds), not 13.
  for (const DfpnOptions& options : {DfpnOptions{16, 0}, Unprobed()}) {
    ASSERT_EQ(Solve("9/8k/5B3/5S3/9/R8/9/9/K8 b N3p 1", options), SolveOutcome::kMate);
    EXPECT_EQ(length, 11);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(report.error, "");
  }
}

TEST_F(Dfpn, AMoveLimitRefusesLongerMates) {
  const std::string three = "7pk/7n1/9/9/9/9/9/9/K8 b RNp 1";
  DfpnOptions options{16, 0};
  options.max_plies = 2;
  EXPECT_EQ(Solve(three, options), SolveOutcome::kUndecided);
  options.max_plies = 3;
  ASSERT_EQ(Solve(three, options), SolveOutcome::kMate);
  EXPECT_EQ(length, 3);
}

TEST_F(Dfpn, AStopEndsTheSearchUndecided) {
  platform::AutoResetEvent stop;
  stop.Set();
  EXPECT_EQ(Solve("ln1gkg1nl/6+P2/2sppps1p/2p3p2/p8/P1P1P3P/2NP1PP2/3s1KSR1/L1+b2G1NL w R2Pbgp 42", {16, 0}, &stop),
            SolveOutcome::kInterrupted);
}

class DfpnData : public Dfpn {
 protected:
  void SetUp() override {
    folder_ = TsumeFolder(KOMARAKU_TESTDATA);
    if (folder_.empty()) GTEST_SKIP() << "shared test data not found under " << KOMARAKU_TESTDATA;
    problems_ = LoadTsumeIndex(folder_);
  }
  static bool ShortSet(const TsumeProblem& p) {
    for (const char* prefix : {"y3-", "y5-", "y7-", "met-", "misc-"}) {
      if (p.id.rfind(prefix, 0) == 0) return true;
    }
    return false;
  }
  std::string folder_;
  std::vector<TsumeProblem> problems_;
};

// The short set, and every problem of at most 13 moves: mated in the length the first engine finds,
// with a tree the judge accepts, whether the first proof came with probes or without.
TEST_F(DfpnData, ShortProblemsAreMatedInTheFirstEnginesLengthWithASoundTree) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr int kLongest = 0;  // ten times slower under the sanitizers: the short set only
#else
  constexpr int kLongest = 13;
#endif
  int solved = 0;
  for (const TsumeProblem& p : problems_) {
    const int reference = p.ReferenceLength();
    if (reference < 0 || (!ShortSet(p) && reference > kLongest)) continue;
    SCOPED_TRACE(p.id);
    PlainBoard first_board;
    ASSERT_TRUE(SetPositionFromSfen(first_board, p.sfen));
    MateEngine first(first_board);
    first.Solve(MateEngine::kDefaultMaxDepth, nullptr, nullptr);

    for (const DfpnOptions& options : {DfpnOptions{16, 0}, Unprobed()}) {
      ASSERT_EQ(Solve(p.sfen, options), SolveOutcome::kMate);
      EXPECT_TRUE(confirmed);
      EXPECT_EQ(length, first.mate_depth_limit());
      EXPECT_LE(length, reference);
      EXPECT_EQ(report.error, "");
      EXPECT_TRUE(report.single_reply);
      EXPECT_GE(report.depth, length);
    }
    ++solved;
  }
  EXPECT_GE(solved, 39);
}

TEST_F(DfpnData, AStopDuringTheSearchEndsIt) {
  // microcosmos (1525 moves) is far beyond a test's time: only the stop can end this search.
  std::string sfen;
  for (const TsumeProblem& p : problems_) {
    if (p.id == "microcosmos") sfen = p.sfen;
  }
  if (sfen.empty()) GTEST_SKIP() << "microcosmos not in the index";
  platform::AutoResetEvent stop;
  std::thread stopper([&stop] {
    const timespec pause{0, 200 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    stop.Set();
  });
  EXPECT_EQ(Solve(sfen, {16, 0}, &stop), SolveOutcome::kInterrupted);
  stopper.join();
}

TEST_F(DfpnData, NoMateProblemsAreNeverMated) {
  int tested = 0;
  for (const TsumeProblem& p : problems_) {
    if (!ShortSet(p) || !p.ReferenceNoMate()) continue;
    SCOPED_TRACE(p.id);
    EXPECT_EQ(Solve(p.sfen), SolveOutcome::kNoMate);
    EXPECT_EQ(Solve(p.sfen, Unprobed()), SolveOutcome::kNoMate);
    ++tested;
  }
  EXPECT_EQ(tested, 3);
}

}  // namespace
