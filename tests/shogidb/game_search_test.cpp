// Position search against an independent scan of the same games (played on a position object, compared
// square by square), duplicates found exactly, and deletion of everything.
#include <gtest/gtest.h>

#include <random>

#include "dbengine/table.h"
#include "record/csa_body.h"
#include "record/plain_board.h"
#include "shogidb/game_database.h"
#include "tests/shogidb/shogidb_test_util.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

using testing::GameText;
using testing::NewDatabase;

struct Game {
  std::vector<std::string> moves;
  std::vector<BoardForm> forms;  // after each ply, from ply 0
};

Game Played(std::vector<std::string> moves) {
  Game g;
  g.moves = std::move(moves);
  PlainBoard board;
  g.forms.push_back(board.CurrentBoardForm());
  for (const std::string& m : g.moves) {
    CsaMove move;
    EXPECT_TRUE(ParseCsaMoveLine(board, m, move)) << m;
    board.piece(move.piece).MoveTo(move.to, PromotionTo(move.promote), move.side);
    g.forms.push_back(board.CurrentBoardForm());
  }
  return g;
}

// Whether the pieces the target has on the board stand the same in the position (square by square).
bool BoardFits(const BoardForm& target, const BoardForm& position) {
  const BoardForm::Expanded t = target.Decode(), p = position.Decode();
  for (int i = 0; i < 40; ++i) {
    if (t[i].location < 11 || t[i].location > 99) continue;
    bool found = false;
    for (int j = 0; j < 40; ++j) {
      if (p[j].location == t[i].location && KindOfIndex(j) == KindOfIndex(i) && p[j].owner == t[i].owner &&
          p[j].promoted == t[i].promoted) {
        found = true;
      }
    }
    if (!found) return false;
  }
  return true;
}

// The independent statement of the position condition.
int ScanMatch(const Game& g, const PositionSpec& spec) {
  BoardForm reversed = spec.target;
  reversed.Reverse();
  const int plies = static_cast<int>(g.moves.size());
  int from = std::min(spec.first_ply - 1, plies);
  int to = std::min(spec.first_ply + spec.ply_count, plies);
  for (int ply = from; ply <= to; ++ply) {
    const int side = ply % 2;
    auto fits = [&](const BoardForm& target, int wanted) {
      if (wanted == 0 || wanted == 1) {
        if (wanted != side) return false;
      }
      return spec.mode == PositionSpec::kWhole ? g.forms[ply] == target : BoardFits(target, g.forms[ply]);
    };
    const int wanted = SideIndex(spec.side);  // 0, 1, or 2 for either
    const int other = wanted == 0 ? 1 : wanted == 1 ? 0 : wanted;
    if (fits(spec.target, wanted) || (spec.reversed && fits(reversed, other))) return ply;
  }
  return -1;
}

class PositionSearchTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::mt19937 rng(777);
    dir_ = new std::string(NewDatabase("position_search", false));
    games_ = new std::vector<Game>;
    std::string text;
    for (int i = 0; i < 24; ++i) {
      // Some games share their openings, so that positions recur.
      std::vector<std::string> moves = testing::RandomGameMoves(rng, 40 + i);
      if (i % 4 == 1) {
        moves = (*games_)[i - 1].moves;
        moves.resize(10);
        std::vector<std::string> tail = testing::RandomGameMoves(rng, 0);
        (void)tail;
      }
      games_->push_back(Played(moves));
      text += GameText(moves) + "/\r\n";
    }
    platform::RecordingMessageSink messages;
    GameDatabase db;
    db.SetDatabase(*dir_);
    db.SetJob({&messages, nullptr, nullptr});
    ASSERT_EQ(db.RegisterFromCsa(text, false), 24);
  }
  static void TearDownTestSuite() {
    testing::RemoveTree(*dir_);
    delete dir_;
    delete games_;
  }

  void Check(const PositionSpec& spec, const std::string& what) {
    GameDatabase db;
    platform::RecordingMessageSink messages;
    db.SetDatabase(*dir_);
    db.SetJob({&messages, nullptr, nullptr});
    std::vector<ListEntry> found;
    ASSERT_EQ(db.Search("", spec, found), 0) << (messages.messages.empty() ? "" : messages.messages.back());
    std::vector<std::pair<int32_t, int>> got, expected;
    for (const ListEntry& e : found) got.emplace_back(e.number, e.ply);
    for (size_t i = 0; i < games_->size(); ++i) {
      const int ply = ScanMatch((*games_)[i], spec);
      if (ply >= 0) expected.emplace_back(static_cast<int32_t>(i), ply);
    }
    EXPECT_EQ(got, expected) << what;
    ++checked_;
    if (!expected.empty()) ++with_matches_;
  }

  static std::string* dir_;
  static std::vector<Game>* games_;
  int checked_ = 0, with_matches_ = 0;
};

std::string* PositionSearchTest::dir_ = nullptr;
std::vector<Game>* PositionSearchTest::games_ = nullptr;

TEST_F(PositionSearchTest, WholePositionsAgreeWithTheScan) {
  std::mt19937 rng(5);
  for (int round = 0; round < 40; ++round) {
    const Game& g = (*games_)[rng() % games_->size()];
    PositionSpec spec;
    spec.mode = PositionSpec::kWhole;
    const int ply = static_cast<int>(rng() % g.forms.size());
    spec.target = g.forms[ply];
    spec.side = static_cast<Side>(rng() % 3);
    spec.reversed = rng() % 2 == 0;
    if (spec.reversed && rng() % 2 == 0) spec.target.Reverse();
    spec.first_ply = 1 + static_cast<int>(rng() % 30);
    spec.ply_count = static_cast<int>(rng() % 40);
    Check(spec, "round " + std::to_string(round));
  }
  EXPECT_GT(with_matches_, 5);
}

TEST_F(PositionSearchTest, BoardPiecesAgreeWithTheScan) {
  std::mt19937 rng(6);
  for (int round = 0; round < 40; ++round) {
    const Game& g = (*games_)[rng() % games_->size()];
    PositionSpec spec;
    spec.mode = PositionSpec::kBoard;
    BoardForm::Expanded e = g.forms[rng() % g.forms.size()].Decode();
    // Keep a few of the pieces on the board; the rest go to the box.
    for (auto& entry : e) {
      if (rng() % 5 != 0) entry = BoardForm::Entry{};
    }
    spec.target.Encode(e);
    spec.side = static_cast<Side>(rng() % 3);
    spec.reversed = rng() % 3 == 0;
    spec.first_ply = 1 + static_cast<int>(rng() % 10);
    spec.ply_count = 5 + static_cast<int>(rng() % 60);
    Check(spec, "round " + std::to_string(round));
  }
  EXPECT_GT(with_matches_, 10);
}

TEST_F(PositionSearchTest, KingOnFiftyNineMatchesEveryGameWithTheRightSide) {
  PositionSpec spec;
  spec.mode = PositionSpec::kBoard;
  spec.target.SetLayout(8);
  BoardForm::Expanded e = spec.target.Decode();
  e[0] = {59, 0, 0};
  spec.target.Encode(e);
  spec.side = kGote;  // the position after the first move still has the king on 59 in most games
  Check(spec, "king on 59, gote to move");
  spec.side = kSente;
  spec.first_ply = 1;
  spec.ply_count = 0;
  Check(spec, "king on 59 at the start");
  EXPECT_EQ(with_matches_, 2);
}

TEST_F(PositionSearchTest, ShortGameIsComparedAtItsLastPosition) {
  const Game& g = (*games_)[0];
  PositionSpec spec;
  spec.mode = PositionSpec::kWhole;
  spec.target = g.forms.back();
  spec.first_ply = 500;
  spec.ply_count = 10;
  Check(spec, "beyond the end");
  EXPECT_EQ(with_matches_, 1);
}

TEST(DuplicatesTest, MovesAndFinalPositions) {
  const std::string dir = NewDatabase("duplicates");
  GameDatabase db;
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink progress;
  db.SetDatabase(dir);
  db.SetJob({&messages, &progress, nullptr});
  const std::vector<std::string> a = {"+7776FU", "-3334FU", "+2726FU", "-8384FU"};
  const std::vector<std::string> b = {"+2726FU", "-8384FU", "+7776FU", "-3334FU"};  // the same final position
  const std::vector<std::string> c = {"+7776FU", "-3334FU"};
  const std::string text = GameText(a, "A-B") + "/\r\n" + GameText(b, "C-D") + "/\r\n" + GameText(a, "E-F") +
                           "/\r\n" + GameText(c, "G-H") + "/\r\n" + GameText(c, "I-J", "'注釈:重複の注釈\r\n") +
                           "/\r\n" + GameText(b, "K-L");
  ASSERT_EQ(db.RegisterFromCsa(text, false), 6);
  std::vector<std::vector<ListEntry>> groups;
  ASSERT_EQ(db.FindDuplicates("", GameDatabase::DuplicateMode::kMoves, groups), 0);
  auto numbers = [&groups] {
    std::vector<std::vector<int32_t>> n;
    for (const auto& g : groups) {
      n.emplace_back();
      for (const ListEntry& e : g) n.back().push_back(e.number);
    }
    return n;
  };
  EXPECT_EQ(numbers(), (std::vector<std::vector<int32_t>>{{0, 2}, {1, 5}, {3, 4}}));
  ASSERT_EQ(db.FindDuplicates("", GameDatabase::DuplicateMode::kFinalPosition, groups), 0);
  EXPECT_EQ(numbers(), (std::vector<std::vector<int32_t>>{{0, 1, 2, 5}, {3, 4}}));
  EXPECT_EQ(progress.lines.back(), "重複棋譜 6 件を読込中");
  ASSERT_EQ(db.FindDuplicates("対局者 matches \"[AEK]\" order by 対局日", GameDatabase::DuplicateMode::kFinalPosition, groups), 0);
  EXPECT_EQ(numbers(), (std::vector<std::vector<int32_t>>{{0, 2, 5}}));
  EXPECT_EQ(messages.messages.back(), "「局面指定」 および 'order by'の指定は無効です");

  // Deleting the duplicates by moves keeps the first of each group and gathers the annotations.
  ASSERT_EQ(db.FindDuplicates("", GameDatabase::DuplicateMode::kMoves, groups), 0);
  messages.answers.push_back(platform::Answer::kYes);
  progress.lines.clear();
  EXPECT_EQ(db.DeleteDuplicates(groups, 6, true, GameDatabase::DuplicateMode::kMoves), 3);
  EXPECT_EQ(messages.questions.back(), "6 件の棋譜の中から重複棋譜を削除します。よろしいですか？");
  ASSERT_EQ(progress.lines.size(), 7u);
  EXPECT_EQ(progress.lines[0].rfind("1件目 元棋譜は更新対象外です。 000000", 0), 0u) << progress.lines[0];
  EXPECT_EQ(progress.lines[1].rfind("1件目 重複棋譜を削除します。 000002", 0), 0u);
  EXPECT_EQ(progress.lines[4].rfind("3件目 元棋譜は更新対象です。 000003", 0), 0u) << progress.lines[4];
  std::vector<ListEntry> left;
  ASSERT_EQ(db.Search("", {}, left), 0);
  ASSERT_EQ(left.size(), 3u);
  std::string exported;
  ASSERT_EQ(db.ExportCsa(3, exported), 0);
  EXPECT_NE(exported.find("'注釈:重複の注釈\r\n"), std::string::npos) << exported;
}

TEST(DeleteTest, DeletingEverythingEmptiesThePositions) {
  const std::string dir = NewDatabase("delete_all");
  GameDatabase db;
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink progress;
  db.SetDatabase(dir);
  db.SetJob({&messages, &progress, nullptr});
  std::mt19937 rng(9);
  std::string text;
  for (int i = 0; i < 6; ++i) {
    text += GameText(testing::RandomGameMoves(rng, 30), "A-B", "'注釈:注釈\r\n") + "/\r\n";
  }
  text += testing::Crlf({"P1 *  *  *  *  *  *  *  * -OU", "P9 *  *  *  *  *  *  *  * +OU", "P+00KI", "+", "+0012KI",
                         "'注釈:一手詰"});
  ASSERT_EQ(db.RegisterFromCsa(text, false), 7);
  std::vector<ListEntry> all;
  ASSERT_EQ(db.Search("", {}, all), 0);
  messages.answers.push_back(platform::Answer::kNo);
  EXPECT_EQ(db.DeleteItems(all), 0);
  EXPECT_EQ(messages.questions.back(), "7 件の棋譜を削除します。よろしいですか？");
  messages.answers.push_back(platform::Answer::kYes);
  progress.lines.clear();
  EXPECT_EQ(db.DeleteItems(all), 7);
  EXPECT_EQ(progress.lines[0], all[0].line + "を削除しました。");
  EXPECT_EQ(progress.lines.back().rfind("7 件削除しました(", 0), 0u);
  for (TableId t : {kTableA, kTableB, kTableD, kTableF}) {
    dbengine::TableHandle table(dbengine::OpenTable(TablePathIn(dir, t)));
    ASSERT_TRUE(table);
    std::vector<uint8_t> record(static_cast<size_t>(table->RecordLength()));
    int32_t found;
    EXPECT_EQ(dbengine::ScanRecord(table->table, 0, record.data(), &found), dbengine::kNotFound) << Table(t).name;
  }
  EXPECT_EQ(db.DeleteItem(0), dbengine::kNotFound);
}

}  // namespace
}  // namespace shogidb
