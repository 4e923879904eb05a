// The check and evasion generators: their exact orders on positions worked out by hand, and their move
// sets (and counts) against the independent reference rules on random positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "rules/notation.h"
#include "solver/move_generator.h"
#include "tests/support/reference_rules.h"
#include "tests/support/sfen.h"
#include "tests/support/test_position.h"

using namespace rules;
using namespace solver;

namespace {

class Generators : public ::testing::Test {
 protected:
  void SetUpSfen(const char* sfen) { ASSERT_TRUE(SetPositionFromSfen(pos, sfen)) << sfen; }
  BoardIndex KingSquare(Side side) const { return pos.LocationOf(pos.KingIndex(side)).square(); }

  // CSA texts of a list, in order; the nodes go back to the pool.
  std::vector<std::string> Texts(MoveList list) {
    std::vector<std::string> texts;
    for (MoveNode* m = list.head; m; m = m->next) texts.push_back(CsaMoveText(m->move));
    list.FreeAll(pool);
    return texts;
  }
  std::vector<std::string> Checks(Side attacker) {
    return Texts(gen.GenerateChecks(attacker, KingSquare(Opponent(attacker))));
  }
  std::vector<std::string> Evasions(Side defender) { return Texts(gen.GenerateEvasions(KingSquare(defender))); }

  TestPosition pos;
  NodePool pool{2000, 500, 50000, nullptr};
  MoveGenerator gen{pos, pool};
};

bool Contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

TEST_F(Generators, DropChecksAroundALoneKingComeInDirectionAndKindOrder) {
  SetUpSfen("4k4/9/9/9/9/9/9/9/9 b RBGSNLP 1");
  const std::vector<std::string> expected = {
      // knight squares, then 6二 and its diagonal, 5二 and the file, 4二 and its diagonal, 6一, 4一
      "+0063KE", "+0043KE",
      "+0062KA", "+0062KI", "+0062GI", "+0073KA", "+0084KA", "+0095KA",
      "+0052HI", "+0052KI", "+0052GI", "+0052KY", "+0052FU",
      "+0053HI", "+0053KY", "+0054HI", "+0054KY", "+0055HI", "+0055KY", "+0056HI", "+0056KY",
      "+0057HI", "+0057KY", "+0058HI", "+0058KY", "+0059HI", "+0059KY",
      "+0042KA", "+0042KI", "+0042GI", "+0033KA", "+0024KA", "+0015KA",
      "+0061HI", "+0061KI", "+0071HI", "+0081HI", "+0091HI",
      "+0041HI", "+0041KI", "+0031HI", "+0021HI", "+0011HI",
  };
  EXPECT_EQ(Checks(kSente), expected);
}

TEST_F(Generators, NoPawnDropCheckOnAFileThatHoldsTheAttackersPawn) {
  SetUpSfen("4k4/9/9/9/9/9/4P4/9/9 b P 1");
  EXPECT_TRUE(Checks(kSente).empty());
  // A promoted pawn on the file does not count.
  SetUpSfen("4k4/9/9/9/9/9/4+P4/9/9 b P 1");
  EXPECT_EQ(Checks(kSente), std::vector<std::string>{"+0052FU"});
}

TEST_F(Generators, KnightChecksOnlyFromTheAttackersOwnJumpSquares) {
  // Gote king on 5五: sente knights check it from 6七 and 4七 only.
  SetUpSfen("9/9/9/9/4k4/9/9/9/9 b N 1");
  EXPECT_EQ(Checks(kSente), (std::vector<std::string>{"+0067KE", "+0047KE"}));
  // Gote attacking sente's king on 5五 drops on 6三 (direction +19) before 4三 (+21).
  SetUpSfen("9/9/9/9/4K4/9/9/9/9 w n 1");
  EXPECT_EQ(Checks(kGote), (std::vector<std::string>{"-0063KE", "-0043KE"}));
}

TEST_F(Generators, APromotableCheckComesPromotedFirstAndASilverBehindOnlyUnpromoted) {
  // The silver on 4四 goes to 4三 checking 5二 both ways.
  SetUpSfen("9/4k4/9/5S3/9/9/9/9/9 b - 1");
  std::vector<std::string> checks = Checks(kSente);
  auto promoted = std::find(checks.begin(), checks.end(), "+4443NG");
  auto plain = std::find(checks.begin(), checks.end(), "+4443GI");
  ASSERT_NE(promoted, checks.end());
  ASSERT_NE(plain, checks.end());
  EXPECT_EQ(plain - promoted, 1);
  // King on 5四, diagonally behind 4三: a promoted silver no longer moves that way.
  SetUpSfen("9/9/9/4kS3/9/9/9/9/9 b - 1");
  checks = Checks(kSente);
  EXPECT_TRUE(Contains(checks, "+4443GI"));
  EXPECT_FALSE(Contains(checks, "+4443NG"));
}

TEST_F(Generators, ABlockerThatAlsoChecksIsListedOnceAmongTheDirectChecks) {
  // Rook 5九 behind bishop 5五 on the king's file; the bishop to 3三 uncovers the rook and checks too.
  SetUpSfen("4k4/9/9/9/4B4/9/9/9/4R4 b - 1");
  const std::vector<std::string> checks = Checks(kSente);
  EXPECT_EQ(std::count(checks.begin(), checks.end(), "+5533KA"), 1);
  EXPECT_EQ(std::count(checks.begin(), checks.end(), "+5533UM"), 1);
  // The discovered checks (file direction, index 3) come before the diagonal ones (index 4), so the
  // direct 3三 moves follow every pure discovered move such as 5五 to 4四.
  auto discovered = std::find(checks.begin(), checks.end(), "+5544KA");
  auto direct = std::find(checks.begin(), checks.end(), "+5533UM");
  ASSERT_NE(discovered, checks.end());
  EXPECT_LT(discovered, direct);
}

TEST_F(Generators, EvasionsOfADistantSlidingCheckInTheirOrder) {
  // Gote king 1二 checked by the rook on 5二; only 2二 is attacked around the king, so: the capture of
  // the rook, the capturing king move, the interpositions (4二 and 2二 defended twice lead, farther
  // first; at 3二, defended once, only the drops move up), then the other king moves.
  SetUpSfen("4g1s2/4R3k/7P1/9/9/9/9/9/9 w gp 1");
  const std::vector<std::string> expected = {
      "-5152KI", "-1223OU",
      "-0042FU", "-0042KI", "-3142GI", "-5142KI",
      "-0032FU", "-0032KI",
      "-0022FU", "-0022KI", "-3122GI", "-3132GI",
      "-1213OU", "-1221OU", "-1211OU",
  };
  EXPECT_EQ(Evasions(kGote), expected);
}

TEST_F(Generators, APinnedPieceMayNotLeaveItsLine) {
  // Gote gold 5三 is pinned by the rook on 5七; the knight on 6三 checks. The gold could take the knight
  // but may not, so only king moves answer.
  SetUpSfen("4k4/9/3Ng4/9/9/9/4R4/9/9 w - 1");
  for (const std::string& e : Evasions(kGote)) EXPECT_EQ(e.substr(5), "OU") << e;
}

TEST_F(Generators, NoEvasionsWithoutCheckAndKingMovesOnlyInDoubleCheck) {
  SetUpSfen("4k4/9/9/9/9/9/9/9/9 w - 1");
  EXPECT_TRUE(Evasions(kGote).empty());
  // Rook on 5五 and knight on 6三 both check; the gold on 5三 could interpose or take but may not.
  SetUpSfen("4k4/9/3N5/9/4R4/9/9/9/9 w G 1");
  for (const std::string& e : Evasions(kGote)) EXPECT_EQ(e.substr(5), "OU") << e;
}

// --- random positions against the reference rules ---------------------------------------------------

std::multiset<std::string> KeysOf(const RefPosition& ref, MoveList list, NodePool& pool) {
  std::multiset<std::string> keys;
  for (MoveNode* m = list.head; m; m = m->next) keys.insert(RefMoveKey(RefMoveOfWord(ref, m->move)));
  list.FreeAll(pool);
  return keys;
}

std::multiset<std::string> KeysOf(const std::vector<RefMove>& moves) {
  std::multiset<std::string> keys;
  for (const RefMove& m : moves) keys.insert(RefMoveKey(m));
  return keys;
}

TEST(GeneratorsRandom, EvasionsAreExactlyTheLegalAnswersToACheck) {
  std::mt19937 rng(4401);
  TestPosition pos;
  NodePool pool(2000, 500, 50000, nullptr);
  MoveGenerator gen(pos, pool);
  int checked = 0, double_checks = 0, interposed = 0;
  for (int n = 0; checked < 1500; ++n) {
    ASSERT_LT(n, 100000) << "too few checked positions";
    SetRandomPosition(pos, rng);
    const RefPosition ref = Snapshot(pos);
    const Side d = SideOfBit(static_cast<int>(rng() % 2));
    if (!RefKingAttacked(ref, SideIndex(d))) continue;
    ++checked;
    const BoardIndex K = pos.LocationOf(pos.KingIndex(d)).square();
    pos.RefreshAttackMap();
    if (pos.AttackCount(Opponent(d), K) > 1) ++double_checks;
    const std::multiset<std::string> expected = KeysOf(RefLegalMoves(ref, SideIndex(d)));
    const std::multiset<std::string> got = KeysOf(ref, gen.GenerateEvasions(K), pool);
    int drops = 0;
    for (const std::string& k : got) drops += k.substr(1, 2) == "00";
    interposed += drops;
    ASSERT_EQ(got, expected) << "position " << n << " defender " << SideIndex(d);
    const MoveGenerator::MoveCount count = gen.CountEvasions(K);
    ASSERT_EQ(count.drops, drops) << "position " << n;
    ASSERT_EQ(count.total(), static_cast<int>(got.size())) << "position " << n;
    ASSERT_EQ(pool.in_use(), 0);
  }
  EXPECT_GT(double_checks, 20);
  EXPECT_GT(interposed, 100);
}

TEST(GeneratorsRandom, ChecksAreExactlyTheCheckingMovesOfTheAttacker) {
  std::mt19937 rng(4402);
  TestPosition pos;
  NodePool pool(2000, 500, 50000, nullptr);
  MoveGenerator gen(pos, pool);
  int tested = 0, listed = 0;
  for (int n = 0; tested < 1500; ++n) {
    ASSERT_LT(n, 100000) << "too few positions without check";
    SetRandomPosition(pos, rng);
    const RefPosition ref = Snapshot(pos);
    const Side a = SideOfBit(static_cast<int>(rng() % 2));
    if (RefKingAttacked(ref, SideIndex(Opponent(a)))) continue;
    ++tested;
    const BoardIndex K = pos.LocationOf(pos.KingIndex(Opponent(a))).square();
    // Checks that leave the attacker's own king attacked are listed too; the search refuses them.
    const std::vector<RefMove> reference = RefCheckingMoves(ref, SideIndex(a));
    const std::multiset<std::string> got = KeysOf(ref, gen.GenerateChecks(a, K), pool);
    ASSERT_EQ(got, KeysOf(reference)) << "position " << n << " attacker " << SideIndex(a);
    ASSERT_EQ(gen.CountChecks(a, K).total(), static_cast<int>(got.size())) << "position " << n;
    ASSERT_EQ(pool.in_use(), 0);
    listed += static_cast<int>(got.size());
  }
  EXPECT_GT(listed, 3000);
}

}  // namespace
