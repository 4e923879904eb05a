// The database dialogs' decisions without a window: the file checks with their messages, the count line,
// the header as text, the duplicate groups cut down to a choice, the remembered folders.
#include "app/core/db_forms.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/text_codec.h"

namespace app {
namespace {

using platform::Utf8ToCp932;

TEST(DbForms, RegisterFileChecksSayWhatIsWrong) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "komaraku_db_forms_test";
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "a.csa").string();
  std::FILE* f = std::fopen(file.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fputs("PI\r\n+\r\n+7776FU\r\n", f);
  std::fclose(f);

  EXPECT_EQ(RegisterFileProblem(DbItemKind::kGame, ""), "CSAファイル名を指定してください。");
  EXPECT_EQ(RegisterFileProblem(DbItemKind::kProblem, dir.string()), "PCLファイル名を入力してください。");
  EXPECT_EQ(RegisterFileProblem(DbItemKind::kGame, dir.string() + "/none.csa"),
            "CSAファイル(" + dir.string() + "/none.csa)のオープンエラーです。");
  std::string text, problem;
  ASSERT_TRUE(ReadRegisterFile(DbItemKind::kGame, file, text, problem)) << problem;
  EXPECT_EQ(text, "PI\r\n+\r\n+7776FU\r\n");
  EXPECT_TRUE(problem.empty());
  std::filesystem::remove_all(dir);
}

TEST(DbForms, ExportNeedsAFileNameAndTheCountSaysWhatIsChosen) {
  EXPECT_EQ(ExportFileProblem(DbItemKind::kGame, "  "), "CSA ファイル名(*.csa)を指定してください。");
  EXPECT_EQ(ExportFileProblem(DbItemKind::kProblem, "/tmp/"), "PCL ファイル名(*.pcl)を指定してください。");
  EXPECT_EQ(ExportFileProblem(DbItemKind::kGame, "out.csa"), "");

  EXPECT_EQ(SelectionCountText(0, 0, "選択"), "全 0 件");
  EXPECT_EQ(SelectionCountText(6000, 0, "選択"), "全 6000 件");
  EXPECT_EQ(SelectionCountText(6000, 12, "削除対象"), "6000 件中 12 件削除対象");
}

TEST(DbForms, HeaderTextShowsNamesFieldsAndAnnotationLines) {
  record::GameHeader h;
  const std::string sente = Utf8ToCp932("羽生"), gote = Utf8ToCp932("谷川");
  h.SetPlayers(&sente, &gote);
  h.SetField(record::GameHeader::kDate, "20261206");
  h.SetField(record::GameHeader::kGameNumber, "000042");
  h.SetAnnotation(Utf8ToCp932("一行目\r\n二行目\r\n"));
  const std::vector<std::string> lines = GameHeaderText(h);
  ASSERT_EQ(lines.size(), 2u + record::GameHeader::kFieldCount + 3u);
  EXPECT_EQ(lines[0], "先手: 羽生");
  EXPECT_EQ(lines[1], "後手: 谷川");
  EXPECT_EQ(lines[2], "対局日: 2026/12/06");
  EXPECT_EQ(lines[2 + record::GameHeader::kGameNumber], "対局番号: 000042");
  EXPECT_EQ(lines[lines.size() - 3], "対局注釈:");
  EXPECT_EQ(lines.back(), " 二行目");

  record::ProblemHeader p;
  p.SetProblemPosition("12345600");
  const std::vector<std::string> problem = ProblemHeaderText(p);
  EXPECT_EQ(problem[0], "作者: 作者不詳");
  EXPECT_EQ(problem[record::ProblemHeader::kFieldCount], "出題図: 12345600");
}

struct Entry {
  int32_t number;
};

TEST(DbForms, DuplicateGroupsAreCutToTheChosenItemsAndDeletedOnesLeaveTheList) {
  const std::vector<std::vector<Entry>> groups{{{1}, {5}, {9}}, {{2}, {7}}, {{3}, {4}}};
  const auto within = GroupsWithin(groups, {1, 5, 9, 2, 4});
  ASSERT_EQ(within.size(), 1u);  // {2, 7} keeps only 2, {3, 4} only 4
  ASSERT_EQ(within[0].size(), 3u);
  EXPECT_EQ(within[0][0].number, 1);

  std::vector<Entry> list{{1}, {2}, {5}, {9}};
  DropEntries(list, {5, 9, 11});
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].number, 2);
}

TEST(DbForms, RememberedFoldersPutTheNewOneFirstOnce) {
  EXPECT_EQ(RememberFolder({"/a", "/b", "/c"}, "/b", 10), (std::vector<std::string>{"/b", "/a", "/c"}));
  EXPECT_EQ(RememberFolder({"/a", "/b"}, "/n", 2), (std::vector<std::string>{"/n", "/a"}));
  EXPECT_EQ(DatabaseSettingQuestion("/d"), "将棋データベースの設定は必ず必要です。\n現在値\n/d\nに設定します。よろしいですか？");
}

}  // namespace
}  // namespace app
