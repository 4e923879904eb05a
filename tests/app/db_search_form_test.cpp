// The window-free side of the search dialogs: the target a set-up hands back, the position condition the
// controls make, and the five results of 指手比較.
#include <gtest/gtest.h>

#include "app/core/db_search_form.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/plain_board.h"

using namespace app;

namespace {

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

ComparedGame GameOf(const char* csa_body) {
  record::PlainBoard board;
  record::Archive in = record::Archive::FromText(csa_body);
  board.ReadCsaBody(in);
  return GameOfRecord(board);
}

std::string ResultOf(const ComparedGame& a, const ComparedGame& b) {
  const std::string text = CompareGamesText(a, b, "A", "B");
  return text.substr(0, text.find("\r\n"));
}

TEST(SearchTarget, SurvivesTheSetupBytesAndRefusesOthers) {
  SearchTarget target;
  target.entered = true;
  target.form.SetLayout(3);
  target.side = rules::kGote;
  SearchTarget back;
  ASSERT_TRUE(TargetFromSetupBytes(SetupBytesOfTarget(target), back));
  EXPECT_TRUE(back.entered);
  EXPECT_EQ(back.form, target.form);
  EXPECT_EQ(back.side, rules::kGote);

  std::string bad = SetupBytesOfTarget(target);
  bad[0] = 'X';
  SearchTarget untouched;
  EXPECT_FALSE(TargetFromSetupBytes(bad, untouched));
  EXPECT_FALSE(TargetFromSetupBytes(SetupBytesOfTarget(target).substr(1), untouched));
  EXPECT_FALSE(untouched.entered);
}

TEST(PositionSpecFromControls, RefusesWhatCannotBeSearched) {
  SearchTarget target;
  PositionControls controls;
  shogidb::PositionSpec spec;
  EXPECT_EQ(MakePositionSpec(controls, target, spec), "");
  EXPECT_EQ(spec.mode, shogidb::PositionSpec::kNone);

  controls.mode = shogidb::PositionSpec::kBoard;
  EXPECT_NE(MakePositionSpec(controls, target, spec), "");  // no position entered

  target.entered = true;
  target.side = rules::kSideUnset;
  controls.reversed = true;
  controls.first_ply = " 11 ";
  controls.ply_count = "";
  ASSERT_EQ(MakePositionSpec(controls, target, spec), "");
  EXPECT_EQ(spec.mode, shogidb::PositionSpec::kBoard);
  EXPECT_TRUE(spec.reversed);
  EXPECT_EQ(spec.side, rules::kSideUnset);
  EXPECT_EQ(spec.first_ply, 11);
  EXPECT_EQ(spec.ply_count, shogidb::MoveBlockTable::kMaxPlies);

  for (const char* bad : {"0", "-1", "1a", "", "2002"}) {
    controls.first_ply = bad;
    EXPECT_NE(MakePositionSpec(controls, target, spec), "") << bad;
  }
  controls.first_ply = "1";
  controls.ply_count = "2001";
  EXPECT_NE(MakePositionSpec(controls, target, spec), "");
}

TEST(CompareMoves, GivesEachOfItsFiveResults) {
  const ComparedGame game = GameOf("PI\r\n+\r\n+7776FU\r\n-3334FU\r\n+2726FU\r\n");
  EXPECT_EQ(game.moves.size(), 3u);
  EXPECT_EQ(ResultOf(game, GameOf("PI\r\n+\r\n+7776FU\r\n-3334FU\r\n+2726FU\r\n")), Cp932("棋譜が一致しました。"));
  EXPECT_EQ(ResultOf(game, GameOf("PI\r\n+\r\n+7776FU\r\n-8384FU\r\n+2726FU\r\n")), Cp932("2手目の指し手が違います。"));
  EXPECT_EQ(ResultOf(game, GameOf("PI\r\n+\r\n+7776FU\r\n-3334FU\r\n")), Cp932("指し手数が違います。"));
  EXPECT_EQ(ResultOf(game, GameOf("PI82HI\r\n-\r\n-3334FU\r\n")), Cp932("初期局面(含、手番)が違います。"));
  ComparedGame branched = game;
  branched.branched = true;
  EXPECT_EQ(ResultOf(branched, game), Cp932("次元が違います。１次元の棋譜と多次元の棋譜は比較できません。"));
  EXPECT_EQ(CompareGamesText(game, game, "A", "B").substr(Cp932("棋譜が一致しました。").size()),
            "\r\n" + Cp932("現バッファ=") + "A\r\n" + Cp932("選択棋譜  =") + "B");
}

}  // namespace
