// Select-read of multi-game and multi-problem files, move-space files, and opening files by kind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "platform/files.h"
#include "record/move_space_file.h"
#include "record/record_file.h"
#include "record/select_read.h"
#include "record/summary_line.h"
#include "rules/notation.h"
#include "tests/record/record_test_util.h"

using namespace rules;
using namespace record;

namespace {

std::string Game(const char* number, const char* date, const char* players_lines, const char* move) {
  return Crlf({std::string("'対局番号:") + number, std::string("'対局日:") + date}) + players_lines +
         Crlf({"PI", "+", move});
}

TEST(SelectRead, ListsEveryGameAndLoadsTheOnePicked) {
  const std::string text = Game("000001", "20240101", "N+a\r\nN-b\r\n", "+7776FU") + "/\r\n" +
                           Game("000002", "20240202", "N+c\r\nN-d\r\n", "+2726FU") + "/\r\n" +
                           Game("000003", "20240303", "", "+5756FU");
  Archive ar = Archive::FromText(text);
  int reports = 0;
  const SelectScan scan = ScanGames(ar, nullptr, [&](int) { ++reports; });
  ASSERT_EQ(scan.entries.size(), 3u);
  EXPECT_EQ(scan.entries[1].line,
            "000002 20240202 c-d                          戦型不詳   棋戦不詳");
  EXPECT_EQ(scan.entries[2].line.substr(0, 38), "000003 20240303 対局者不詳-対局者不詳 ");
  EXPECT_EQ(reports, 0);

  PlainBoard board;
  GameDocument doc(board);
  ASSERT_TRUE(ReadSelectedGame(ar, scan.entries[1], doc).ok());
  EXPECT_EQ(doc.header().Players(), "c-d");
  EXPECT_EQ(board.SelectedLineLength(), 1);
  board.StepForward();
  EXPECT_EQ(CsaMoveText(board.current()->move), "+2726FU");
  EXPECT_EQ(SelectedTitle("/home/x/games.csa", 1), "games1");
}

TEST(SelectRead, AHeaderTheDocumentWouldRefuseEndsQuietlyInTheScan) {
  const std::string text = Crlf({"'対局番号:000001", "X2.2", "N+x", "PI", "+", "/", "N+y", "N+z", "PI", "+"});
  Archive ar = Archive::FromText(text);
  const SelectScan scan = ScanGames(ar);
  ASSERT_EQ(scan.entries.size(), 2u);
  EXPECT_EQ(scan.entries[0].line.substr(0, 6), "000001");
}

TEST(SelectRead, StopFlagAndProgressEveryTenGames) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += Crlf({"PI", "+", "+7776FU", "/"});
  Archive ar = Archive::FromText(text);
  std::vector<int> reports;
  const SelectScan all = ScanGames(ar, nullptr, [&](int n) { reports.push_back(n); });
  EXPECT_EQ(all.entries.size(), 25u);
  EXPECT_EQ(reports, (std::vector<int>{10, 20}));

  platform::StopFlag stop;
  ar.Seek(0);
  const SelectScan stopped = ScanGames(ar, &stop, [&](int) { stop.Raise(); });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.entries.size(), 10u);
}

TEST(SelectRead, ProblemsAreListedWithTheirSummary) {
  const std::string problem = Crlf({"'作者:看寿", "'詰手数:3", "'表題:煙詰", "P1 *  *  *  *  *  *  *  * -OU", "P-00AL", "+"});
  Archive ar = Archive::FromText(problem + "/\r\n" + problem);
  const SelectScan scan = ScanProblems(ar);
  ASSERT_EQ(scan.entries.size(), 2u);
  // Author, title and difficulty padded to their columns (14, 16, 12 bytes), an empty 出題図 in 8.
  EXPECT_EQ(scan.entries[0].line, " 看寿" + std::string(10, ' ') + "   3 手詰 煙詰" + std::string(12 + 1 + 12 + 1 + 8, ' '));
}

class MoveSpace : public testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("komaraku_ms_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    old = std::getenv("SHGDB") ? std::getenv("SHGDB") : "";
    ::setenv("SHGDB", dir.c_str(), 1);
  }
  void TearDown() override {
    ::setenv("SHGDB", old.c_str(), 1);
    std::filesystem::remove_all(dir);
  }
  std::filesystem::path dir;
  std::string old;
};

TEST_F(MoveSpace, WritingCreatesTheFolderThenDeletingRemovesTheFile) {
  platform::RecordingMessageSink messages;
  PlainBoard board;
  ProblemDocument doc(board, &messages);
  doc.DeleteContents();
  ReadDoc(doc, Crlf({"P1 *  *  *  *  *  *  *  * -OU", "P-00AL", "+", "+0012KI"}));
  doc.header().SetProblemPosition("00001234");
  EXPECT_EQ(MoveSpaceFile(doc, true, true), 1);
  const std::string path = (dir / "pcl" / "00001234.pcl").string();
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, WriteDoc(doc));
  EXPECT_EQ(MoveSpaceFile(doc, false, true), 1);
  EXPECT_FALSE(platform::FileExists(path));
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(MoveSpace, AFolderThatCannotBeMadeIsReported) {
  platform::RecordingMessageSink messages;
  ::setenv("SHGDB", (dir / "missing" / "deeper").c_str(), 1);
  PlainBoard board;
  ProblemDocument doc(board, &messages);
  const std::string name = "x";
  EXPECT_EQ(MoveSpaceFile(doc, true, true, &name), 0);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].rfind("PCLフォルダ ", 0), 0u);
}

TEST(RecordFiles, KindsByExtensionAndEntriesByIndex) {
  EXPECT_EQ(RecordFileKindOf("a/b.CSA"), RecordFileKind::kCsa);
  EXPECT_EQ(RecordFileKindOf("x.kifu"), RecordFileKind::kKif);
  EXPECT_EQ(RecordFileKindOf("x.ki2"), RecordFileKind::kKi2);
  EXPECT_EQ(RecordFileKindOf("x.txt"), RecordFileKind::kUnknown);
  RecordFile file;
  const std::string text = Crlf({"PI", "+", "+7776FU", "/", "PI", "+", "+2726FU", "-8384FU"});
  EXPECT_TRUE(file.LoadText(text, RecordFileKind::kCsa, "", 1).complete);
  EXPECT_EQ(file.board().SelectedLineLength(), 2);
  EXPECT_FALSE(file.LoadText(text, RecordFileKind::kCsa, "", 2).opened);
  EXPECT_TRUE(file.LoadText(text, RecordFileKind::kCsa).complete);
  EXPECT_EQ(file.board().SelectedLineLength(), 1);
}

}  // namespace
