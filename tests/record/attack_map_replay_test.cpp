// The games of the test data played again with the mate search's fast moves: the attack map kept
// fresh through every move and every take-back equals a full build (CheckConsistency compares them).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/record/record_test_util.h"

using namespace rules;
using namespace record;

namespace {

TEST(AttackMapReplay, EveryTestDataGameForwardAndBack) {
  const std::string dir = TestDataDir();
  if (dir.empty()) GTEST_SKIP() << "no test data at " << KOMARAKU_TESTDATA;
  int games = 0, moves = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir + "/kifu")) {
    if (entry.path().extension() != ".csa") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    PlainBoard board;
    GameDocument doc(board);
    ASSERT_TRUE(ReadDoc(doc, text.str()).ok()) << entry.path();
    board.GoToStart();
    std::vector<MoveNode> line;
    for (const MoveNode* n = board.root()->child; n; n = n->child) line.emplace_back().move = n->move;

    PlainBoard fast(PlainBoard::kCopyPool);
    fast.SetPositionFrom(board);
    fast.RefreshAttackMap();
    for (size_t i = 0; i < line.size(); ++i) {
      ASSERT_EQ(fast.ApplyFast(line[i], false), 1);
      ASSERT_EQ(fast.CheckConsistency(), "") << entry.path() << " move " << i + 1;
    }
    for (size_t i = line.size(); i > 0; --i) {
      ASSERT_EQ(fast.RetractFast(), 1);
      ASSERT_EQ(fast.CheckConsistency(), "") << entry.path() << " back before move " << i;
    }
    ++games;
    moves += static_cast<int>(line.size());
  }
  EXPECT_GT(games, 0);
  EXPECT_GT(moves, 20 * games);  // whole games, not only their starts
}

}  // namespace
