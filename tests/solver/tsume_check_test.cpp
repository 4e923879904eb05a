// The 余詰 report: known-sound short problems give no finding; the same problems edited by one piece
// give the alternative mate, the shorter mate or the escape planted, with the original's main line as
// the intended solution.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "record/plain_board.h"
#include "record/record_file.h"
#include "record/sfen.h"
#include "solver/mate_engine.h"
#include "solver/tsume_check.h"
#include "tests/support/sfen.h"
#include "tests/support/tsume_data.h"

using namespace record;
using namespace solver;

namespace {

class TsumeCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string folder = TsumeFolder(KOMARAKU_TESTDATA);
    if (folder.empty()) GTEST_SKIP() << "shared test data not found under " << KOMARAKU_TESTDATA;
    problems_ = LoadTsumeIndex(folder);
  }

  std::string Sfen(const std::string& id) const {
    for (const TsumeProblem& p : problems_) {
      if (p.id == id) return p.sfen;
    }
    ADD_FAILURE() << id << " not in the index";
    return "";
  }

  // The first engine's main line of the position, as USI moves.
  static std::string MainLine(const std::string& sfen) {
    PlainBoard board;
    EXPECT_TRUE(SetPositionFromSfen(board, sfen));
    MateEngine engine(board);
    engine.Solve(MateEngine::kDefaultMaxDepth, nullptr, nullptr);
    std::string moves;
    board.GoToStart();
    while (board.StepForward()) moves += " " + UsiMoveText(board.current()->move);
    return moves;
  }

  // Checks `sfen` with `moves` as the intended solution.
  static TsumeCheckResult Check(const std::string& sfen, const std::string& moves) {
    RecordFile file(nullptr);
    EXPECT_TRUE(file.LoadUsiText("position sfen " + sfen + " moves" + moves).complete) << sfen << moves;
    return CheckTsume(file.board(), TsumeCheckOptions{4, 0}, nullptr, nullptr);
  }

  static std::string Edited(std::string sfen, const std::string& from, const std::string& to) {
    const size_t at = sfen.find(from);
    EXPECT_NE(at, std::string::npos) << from << " in " << sfen;
    if (at != std::string::npos) sfen.replace(at, from.size(), to);
    return sfen;
  }

  static int Count(const TsumeCheckResult& r, TsumeFindingKind kind) {
    return static_cast<int>(std::count_if(r.findings.begin(), r.findings.end(),
                                          [kind](const TsumeFinding& f) { return f.kind == kind; }));
  }

  std::vector<TsumeProblem> problems_;
};

TEST_F(TsumeCheck, SoundProblemsGiveNoFinding) {
  for (const char* id : {"y3-01", "y3-04", "y5-01", "y5-04"}) {
    SCOPED_TRACE(id);
    PlainBoard board;
    ASSERT_TRUE(SetPositionFromSfen(board, Sfen(id)));
    // No solution stored: solved first, by each engine.
    for (SolverEngine engine : {SolverEngine::kIterativeDeepening, SolverEngine::kProofNumber}) {
      board.GoToStart();
      board.BeginRecord();
      EngineChoice choice;
      choice.engine = engine;
      choice.dfpn.memory_mb = 4;
      const TsumeCheckResult r = CheckProblem(board, choice, TsumeCheckOptions{4, 0}, nullptr, nullptr);
      EXPECT_TRUE(r.sound()) << (r.findings.empty() ? SummaryText(r) : FindingText(r.findings[0]));
      EXPECT_EQ(r.stated_length, id[1] - '0');
    }
  }
}

TEST_F(TsumeCheck, APlantedAlternativeMateIsFound) {
  // y3-04 with gote's horse on 7h given to sente as a bishop: a bishop drop mates in three as well.
  const std::string sound = Sfen("y3-04");
  const std::string planted = Edited(Edited(sound, "2+b1G1g2", "4G1g2"), " 2GS3Pnp", " B2GS3Pnp");
  const TsumeCheckResult r = Check(planted, MainLine(sound));
  ASSERT_GE(Count(r, TsumeFindingKind::kAlternative), 1);
  const TsumeFinding& f = r.findings[0];
  EXPECT_EQ(f.move_number, 1);
  EXPECT_EQ(f.length, 3);
  EXPECT_NE(f.other.find("角"), std::string::npos) << f.other;
  EXPECT_NE(FindingText(f).find("余詰 1手目"), std::string::npos);
  EXPECT_EQ(Count(r, TsumeFindingKind::kShorter), 0);
  EXPECT_EQ(Count(r, TsumeFindingKind::kFails), 0);
}

TEST_F(TsumeCheck, APlantedShorterMateAndAnEscapeAreFound) {
  const std::string sound = Sfen("y5-01");
  const std::string line = MainLine(sound);
  // Without sente's silver on 6h a gold drop there mates at once: the stated five moves are too long.
  const TsumeCheckResult shorter = Check(Edited(Edited(sound, "1BKS2+s2", "1BK3+s2"), "RBgl3p", "RBgsl3p"), line);
  ASSERT_EQ(Count(shorter, TsumeFindingKind::kShorter), 1);
  const auto early = std::find_if(shorter.findings.begin(), shorter.findings.end(),
                                  [](const TsumeFinding& f) { return f.kind == TsumeFindingKind::kShorter; });
  EXPECT_EQ(early->move_number, 1);
  EXPECT_EQ(early->length, 1);
  // Without sente's knight on 8i the king gets out: the intended first move fails.
  const TsumeCheckResult fails = Check(Edited(Edited(sound, "LN3+r3", "L4+r3"), "RBgl3p", "RBgnl3p"), line);
  ASSERT_GE(Count(fails, TsumeFindingKind::kFails), 1);
  EXPECT_EQ(fails.findings[0].move_number, 1);
  EXPECT_FALSE(fails.sound());
}

}  // namespace
