// The mate search on small positions made for one rule each, its output lines, its stop event, and the
// table and record primitives it rests on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/progress_sink.h"
#include "record/plain_board.h"
#include "rules/notation.h"
#include "solver/mate_engine.h"
#include "solver/mate_table.h"
#include "solver/position_record.h"
#include "tests/support/sfen.h"
#include "tests/support/solution_check.h"
#include "tests/support/test_position.h"

using namespace rules;
using namespace record;
using namespace solver;

namespace {

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Sets a stop event when a line starting with the trigger has been output.
class StoppingSink : public platform::ProgressSink {
 public:
  StoppingSink(platform::AutoResetEvent& stop, std::string trigger) : stop_(stop), trigger_(std::move(trigger)) {}
  void Line(std::string_view text) override {
    lines.emplace_back(text);
    if (lines.back().starts_with(trigger_)) stop_.Set();
  }
  std::vector<std::string> lines;

 private:
  platform::AutoResetEvent& stop_;
  std::string trigger_;
};

class Engine : public ::testing::Test {
 protected:
  void SetUpSfen(const char* sfen) { ASSERT_TRUE(SetPositionFromSfen(board, sfen)) << sfen; }
  SolveOutcome Solve(int max_depth = MateEngine::kDefaultMaxDepth, platform::ProgressSink* out = nullptr,
                     platform::AutoResetEvent* stop = nullptr) {
    MateEngine engine(board);
    engine.Solve(max_depth, out ? out : &sink, stop);
    depth_limit = engine.mate_depth_limit();
    nodes = engine.node_count();
    return engine.outcome();
  }
  // The texts of the record's main line, from the start.
  std::vector<std::string> MainLine() {
    std::vector<std::string> texts;
    board.GoToStart();
    while (board.StepForward()) texts.push_back(NodeMoveText(board, *board.current()));
    board.GoToStart();
    return texts;
  }

  PlainBoard board;
  platform::RecordingProgressSink sink;
  int depth_limit = 0;
  long nodes = 0;
};

TEST_F(Engine, AOneMoveMateIsFoundAtLimitOneAndTheCorrectionRepeatsIt) {
  // 1二金打 mates the king in the corner, the pawn on 1三 protecting.
  SetUpSfen("8k/9/8P/9/9/9/9/9/9 b G 1");
  ASSERT_EQ(Solve(), SolveOutcome::kMate);
  EXPECT_EQ(depth_limit, 1);
  const std::vector<std::string>& lines = sink.lines;
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[0], "限界探索深度： 35手まで探索");
  EXPECT_TRUE(lines[1].starts_with("第1手まで探索中(既探索局面数=1 free=")) << lines[1];
  EXPECT_TRUE(EndsWith(lines[1], "/20000cell)")) << lines[1];
  size_t i = 2;
  while (i < lines.size() && lines[i].starts_with(" 先手")) {
    EXPECT_TRUE(EndsWith(lines[i], " ")) << lines[i];
    ++i;
  }
  ASSERT_GT(i, 2u);
  ASSERT_LE(i + 5, lines.size());
  EXPECT_TRUE(lines[i].starts_with(" -----(^_^)v 詰みました(")) << lines[i];
  EXPECT_TRUE(EndsWith(lines[i], "sec)")) << lines[i];
  EXPECT_TRUE(lines[i + 1].starts_with(" Hash使用 ")) << lines[i + 1];
  EXPECT_TRUE(EndsWith(lines[i + 1], "/20011")) << lines[i + 1];
  EXPECT_EQ(lines[i + 2], "欠落手順を補正します");
  EXPECT_EQ(lines[i + 3], ". . 第1手 . .");
  EXPECT_TRUE(lines[i + 4].starts_with(" -----(^_^)v 補正終了(")) << lines[i + 4];
  EXPECT_EQ(lines.size(), i + 5);
  // No other gold could get there, so the text has no 打.
  EXPECT_EQ(MainLine(), std::vector<std::string>{"先手１二金"});
  EXPECT_EQ(CheckSolutionTree(board).error, "");
}

TEST_F(Engine, AMateOnlyByAPawnDropIsNoMate) {
  // 1二歩打 would mate (the knight protects 1二, the king's own pieces block it), which is not allowed.
  SetUpSfen("7nk/7s1/9/7N1/9/9/9/9/9 b P 1");
  EXPECT_EQ(Solve(), SolveOutcome::kNoMate);
  EXPECT_TRUE(sink.lines.back().starts_with(" -----(;_;) 詰みませんでした(")) << sink.lines.back();
  EXPECT_EQ(board.root()->child, nullptr);
}

TEST_F(Engine, AChecksThatExposesTheAttackersKingIsNoSolution) {
  // The rook to 5一 would mate, but it is pinned on the fifth rank against its own king.
  SetUpSfen("8k/7np/9/9/K3R2r1/9/9/9/9 b - 1");
  EXPECT_EQ(Solve(), SolveOutcome::kNoMate);
  // Without the pin the same move mates.
  SetUpSfen("8k/7np/9/9/4R2r1/9/9/9/K8 b - 1");
  EXPECT_EQ(Solve(), SolveOutcome::kMate);
  EXPECT_EQ(MainLine().size(), 1u);
}

TEST_F(Engine, ALoneAttackingPieceCannotMate) {
  SetUpSfen("9/9/9/9/4k4/9/9/9/9 b R 1");
  EXPECT_EQ(Solve(), SolveOutcome::kNoMate);
  EXPECT_LT(nodes, 200);
}

TEST_F(Engine, NoKingToAttackOrNoSideToMoveReturnsSilently) {
  SetUpSfen("9/9/9/9/4K4/9/9/9/9 b R 1");
  EXPECT_EQ(Solve(), SolveOutcome::kNoProblem);
  EXPECT_TRUE(sink.lines.empty());
  // Two defender kings (an edited position) give no single target.
  SetUpSfen("8k/9/8P/9/9/9/9/9/k8 b G 1");
  EXPECT_EQ(Solve(), SolveOutcome::kNoProblem);
  EXPECT_TRUE(sink.lines.empty());
  SetUpSfen("8k/9/8P/9/9/9/9/9/9 b G 1");
  board.SetSideToMove(kSideUnset);
  board.BeginRecord();
  EXPECT_EQ(Solve(), SolveOutcome::kNoProblem);
  EXPECT_TRUE(sink.lines.empty());
}

TEST_F(Engine, DepthLimitsRiseByTwoUpToTheMaximumThenStopWithoutAVerdict) {
  // A 13-move problem searched to 7 at most.
  SetUpSfen("9/6nS1/4s4/4r1P1g/5Sk1B/5+pbR1/4Nsp2/9/4N4 b 3Gn4l15p 1");
  EXPECT_EQ(Solve(7), SolveOutcome::kUndecided);
  std::vector<std::string> iterations;
  for (const std::string& l : sink.lines) {
    if (l.starts_with("第")) iterations.push_back(l.substr(0, l.find("手まで")));
  }
  EXPECT_EQ(iterations, (std::vector<std::string>{"第1", "第3", "第5", "第7"}));
  EXPECT_TRUE(sink.lines.back().starts_with(" ")) << "no final line: " << sink.lines.back();
  EXPECT_FALSE(sink.lines.back().starts_with(" -----"));
  EXPECT_EQ(board.root()->child, nullptr);
  // A maximum below 1 searches nothing.
  sink.lines.clear();
  EXPECT_EQ(Solve(0), SolveOutcome::kUndecided);
  EXPECT_EQ(sink.lines, std::vector<std::string>{"限界探索深度： 0手まで探索"});
}

TEST_F(Engine, StoppingTheMainPassReportsNoMateAndWritesNothing) {
  SetUpSfen("9/6nS1/4s4/4r1P1g/5Sk1B/5+pbR1/4Nsp2/9/4N4 b 3Gn4l15p 1");
  platform::AutoResetEvent stop;
  StoppingSink stopping(stop, "第5手まで探索中");
  EXPECT_EQ(Solve(MateEngine::kDefaultMaxDepth, &stopping, &stop), SolveOutcome::kInterrupted);
  const std::vector<std::string>& lines = stopping.lines;
  // The root still runs through its remaining checks (each named as usual), which all return at once.
  auto stopped = std::find(lines.begin(), lines.end(), "中断されました");
  ASSERT_NE(stopped, lines.end());
  for (auto it = stopped + 1; it + 1 < lines.end(); ++it) EXPECT_TRUE(it->starts_with(" 先手")) << *it;
  EXPECT_TRUE(lines.back().starts_with(" -----(;_;) 詰みませんでした(")) << lines.back();
  EXPECT_EQ(board.root()->child, nullptr);
}

TEST_F(Engine, StoppingTheCorrectionStillWritesThePartialSolution) {
  SetUpSfen("ln+P3s+Pl/2+R1Gsk2/p3pp1g1/4r1ppp/1NS6/6P2/PP1+bPPS1P/3+p1K3/LG3G1NL w Nb3p 72");
  platform::AutoResetEvent stop;
  StoppingSink stopping(stop, "欠落手順を補正します");
  EXPECT_EQ(Solve(MateEngine::kDefaultMaxDepth, &stopping, &stop), SolveOutcome::kMatePartial);
  const std::vector<std::string>& lines = stopping.lines;
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "欠落手順を補正します");
  EXPECT_EQ(lines[lines.size() - 2], "中断されました");
  EXPECT_TRUE(lines.back().starts_with(" ----- 補正中断(")) << lines.back();
  EXPECT_NE(board.root()->child, nullptr);
  EXPECT_EQ(board.current(), board.root());
}

TEST_F(Engine, TheSolutionTreeOfAProblemWithInterpositionsIsWhole) {
  // 13 moves with many interpositions (zuko092): the tree holds every answer but the useless drops.
  SetUpSfen("6kp1/8n/5R1L1/4+b2sB/6N2/9/6L2/9/9 b r4g3s2n2l17p 1");
  ASSERT_EQ(Solve(), SolveOutcome::kMate);
  const SolutionReport report = CheckSolutionTree(board);
  EXPECT_EQ(report.error, "");
  EXPECT_GT(report.leaves, 1);
  // The record's main line is the longest line of the tree.
  EXPECT_EQ(static_cast<int>(MainLine().size()), report.depth);
}

// --- the table and its records ---------------------------------------------------------------------

TEST(PositionRecords, HashIsTheXorOfTheFirst88BoardBytesModulo20011) {
  PlainBoard board;
  ASSERT_TRUE(SetPositionFromSfen(board, "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1"));
  PositionRecord r;
  BuildRecord(board, kSente, &r);
  EXPECT_EQ(r.board[Sq(5, 9).value() - kFirstSquare], MakeCode(OU, false, kSente));
  EXPECT_EQ(r.board[Sq(5, 5).value() - kFirstSquare], 255);
  EXPECT_EQ(r.board[30 - kFirstSquare], 255);  // outside the board
  uint64_t x = 0;
  for (int i = 0; i < 88; i += 4) {
    uint32_t w;
    std::memcpy(&w, r.board + i, 4);  // little-endian machine
    x ^= w;
  }
  EXPECT_EQ(RecordHash(r), x % 20011);
  // The last board byte and the hand do not take part.
  PositionRecord other = r;
  other.board[88] ^= 1;
  other.hand[FU] = 5;
  EXPECT_EQ(RecordHash(other), RecordHash(r));
}

TEST(PositionRecords, CoveringNeedsTheSameBoardAndNoFewerPiecesInHand) {
  PositionRecord a{}, b{};
  a.hand[FU] = 2;
  b.hand[FU] = 1;
  EXPECT_EQ(Covers(a, b), 2);
  EXPECT_EQ(Covers(b, a), 0);
  EXPECT_EQ(Covers(a, a), 1);
  b.hand[KI] = 1;
  EXPECT_EQ(Covers(a, b), 0);  // more pawns but fewer golds
  PositionRecord c = a;
  c.board[10] = 3;
  EXPECT_EQ(Covers(a, c), 0);
}

TEST(MateTables, DeeperEntriesStayAndVerdictsKeepTheSmallerHand) {
  MateTable table;
  table.Clear();
  EXPECT_EQ(table.UsedCount(), 0);
  PositionRecord big{}, small{}, other{};
  big.hand[KI] = 2;
  small.hand[KI] = 1;
  other.board[0] = 7;
  EXPECT_TRUE(table.Store(5, big, 120, 6));
  EXPECT_FALSE(table.Store(5, other, 50, 4));  // shallower: refused
  EXPECT_EQ(table.at(5).value, 120);
  // A mate of the same board with less in hand, found with less depth left, narrows the entry's hand.
  table.StoreVerdict(5, small, 120, 2);
  EXPECT_EQ(table.at(5).record.hand[KI], 1);
  EXPECT_EQ(table.at(5).remaining, 6);
  // A different board or verdict leaves it alone.
  PositionRecord smaller_other = other;
  table.StoreVerdict(5, smaller_other, 120, 2);
  EXPECT_EQ(table.at(5).record.board[0], 0);
  table.StoreVerdict(5, small, 10, 2);
  EXPECT_EQ(table.at(5).value, 120);
  // Equal depth replaces.
  EXPECT_TRUE(table.Store(5, other, 50, 6));
  EXPECT_EQ(table.at(5).value, 50);
  EXPECT_EQ(table.UsedCount(), 1);
}

}  // namespace
