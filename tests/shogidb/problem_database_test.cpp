// The tsume database: registration of unique problem positions from PCL text, update by 詰将棋番号, the
// move-space files, export, deletion and batch solving.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/move_space_file.h"
#include "record/plain_board.h"
#include "shogidb/batch_solve.h"
#include "shogidb/db_check.h"
#include "shogidb/header_rows.h"
#include "shogidb/position_key.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"
#include "shogidb/search_condition.h"
#include "tests/shogidb/shogidb_test_util.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/small_fs.h"

using namespace record;

namespace shogidb {
namespace {

using testing::Crlf;
using testing::NewDatabase;

// A one-move mate: gote's king on 1一, sente drops a gold on 1二; a longer alternative branch too.
std::string Problem(std::string_view title, std::string_view extra = "") {
  return "'表題:" + std::string(title) + "\r\n" + std::string(extra) +
         Crlf({"N+攻方", "N-受方", "P1 *  *  *  *  *  *  *  * -OU", "P3 *  *  *  *  *  *  *  * +FU", "P+00KI00GI",
               "P-00AL", "+", "+0012KI", "'注釈:頭金"});
}

struct TsumeDb {
  explicit TsumeDb(const std::string& dir) : dir(dir) {
    db.SetDatabase(dir);
    db.SetJob({&messages, &progress, nullptr});
  }
  std::vector<ListEntry> Search(std::string_view condition) {
    std::vector<ListEntry> out;
    EXPECT_EQ(db.Search(condition, {}, out), 0);
    return out;
  }
  std::string dir;
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink progress;
  ProblemDatabase db;
};

TEST(TsumeDatabaseTest, OneProblemPerPosition) {
  const std::string dir = NewDatabase("tsume_unique");
  TsumeDb t(dir);
  ASSERT_EQ(t.db.RegisterFromCsa(Problem("頭金"), false), 1);
  const std::string id = t.Search("")[0].line.substr(t.Search("")[0].line.size() - 8);
  EXPECT_EQ(t.progress.lines[0], "出題図 " + id + " (詰将棋番号=000000)を新規登録しました。");
  EXPECT_EQ(t.Search("")[0].line, "000000 作者不詳      0001 手詰 頭金                          " + id);
  EXPECT_TRUE(platform::FileExists(MoveSpaceFilePath(dir, id)));

  EXPECT_EQ(t.db.RegisterFromCsa(Problem("二度目"), false), 0);
  ASSERT_EQ(t.messages.messages.size(), 1u);
  EXPECT_EQ(t.messages.messages[0], "詰将棋DB登録エラー(11)(盤面=" + id + ")\r\n既に登録されている詰将棋は新規登録できません。");
  // With its number the problem is updated.
  t.progress.lines.clear();
  ASSERT_EQ(t.db.RegisterFromCsa(Problem("改題", "'詰将棋番号:000000\r\n'作者:看寿\r\n"), false), 1);
  EXPECT_EQ(t.progress.lines[0], "出題図 " + id + " (詰将棋番号=000000)を更新登録しました。");
  ASSERT_EQ(t.Search("").size(), 1u);
  EXPECT_EQ(t.Search("")[0].line, "000000 看寿          0001 手詰 改題                          " + id);
  // Its move-space file now holds the new header.
  std::string file;
  ASSERT_TRUE(platform::ReadWholeFile(MoveSpaceFilePath(dir, id), file));
  EXPECT_NE(file.find("'表題:改題\r\n"), std::string::npos);
  EXPECT_NE(file.find("'詰将棋番号:000000\r\n"), std::string::npos);
}

TEST(TsumeDatabaseTest, TreeLineExportAndDeletion) {
  const std::string dir = NewDatabase("tsume_tree");
  TsumeDb t(dir);
  // The stored line is the longest (the main-line rule); the file keeps every branch.
  const std::string text = Crlf({"'表題:分岐", "N+攻方", "N-受方", "P1 *  *  *  *  *  *  * -KE-OU",
                                 "P3 *  *  *  *  *  *  *  * +FU", "P+00KI00GI", "P-00AL", "+", "+0012KI", "'手数目:1",
                                 "+0022GI", "-1122OU", "+0012KI", "'注釈:長手順"});
  ASSERT_EQ(t.db.RegisterFromCsa(text, false), 1) << (t.messages.messages.empty() ? "" : t.messages.messages[0]);
  ItemDatabase::StoredItem item;
  ASSERT_EQ(t.db.ReadStored(0, item), 0);
  EXPECT_EQ(item.moves.size(), 3u);
  EXPECT_EQ(item.notes[3], "長手順");
  ProblemHeader header;
  ReadProblemRow(item.row.data(), header);
  EXPECT_EQ(header.Field(ProblemHeader::kMateLength), "0003");

  std::string exported;
  ASSERT_EQ(t.db.ExportItem(0, exported), 0);
  EXPECT_NE(exported.find("'手数目:1\r\n+0022GI"), std::string::npos) << exported;  // from the file
  // A file lost while its checksum stays is lost data: the export refuses; a file cut short too.
  const std::string file = MoveSpaceFilePath(dir, header.ProblemPosition());
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(file, bytes));
  ASSERT_TRUE(platform::WriteWholeFile(file, bytes.substr(0, bytes.size() - 3)));
  EXPECT_EQ(t.db.ExportItem(0, exported), kDamagedItem);
  ASSERT_TRUE(platform::RemoveFile(file));
  EXPECT_EQ(t.db.ExportItem(0, exported), kDamagedItem);
  ASSERT_EQ(t.messages.messages.size(), 2u);
  t.messages.messages.clear();
  // Without file and checksum (no folder for them, or another program) the problem is made from the
  // tables: the stored line only.
  ASSERT_TRUE(platform::RemoveFile(MoveSpaceSumPath(file)));
  ASSERT_EQ(t.db.ExportItem(0, exported), 0);
  EXPECT_EQ(exported.find("手数目"), std::string::npos);
  EXPECT_NE(exported.find("N+攻方\r\nN-受方\r\nP1 *  *  *  *  *  *  * -KE-OU\r\n"), std::string::npos) << exported;
  EXPECT_NE(exported.find("+\r\n+0022GI\r\n-1122OU\r\n+0012KI\r\n'注釈:長手順\r\n"), std::string::npos) << exported;

  // Loading the problem into a document gives its line and header.
  PlainBoard board;
  ProblemDocument doc(board);
  ASSERT_EQ(t.db.LoadProblem(0, doc), 0);
  EXPECT_EQ(doc.header().Field(ProblemHeader::kTitle), "分岐");
  EXPECT_EQ(board.SelectedLineLength(), 3);

  // Deletion takes the move-space file with it; a missing file is no error.
  ASSERT_EQ(t.db.RegisterFromCsa(Problem("二問目"), false), 1);
  const std::string id = t.Search("")[1].line.substr(t.Search("")[1].line.size() - 8);
  ASSERT_TRUE(platform::FileExists(MoveSpaceFilePath(dir, id)));
  EXPECT_EQ(t.db.DeleteItem(1), 0);
  EXPECT_FALSE(platform::FileExists(MoveSpaceFilePath(dir, id)));
  EXPECT_EQ(t.db.DeleteItem(0), 0);
  EXPECT_TRUE(t.messages.messages.empty()) << t.messages.messages[0];
  EXPECT_TRUE(t.Search("").empty());
}

TEST(TsumeDatabaseTest, NewestFirst) {
  const std::string dir = NewDatabase("tsume_order");
  TsumeDb t(dir);
  const std::string text = Problem("古い", "'登録日時:20200101000000\r\n") + "/\r\n" +
                           Crlf({"'表題:新しい", "'登録日時:20240101000000", "P1 *  *  *  *  *  *  *  * -OU",
                                 "P3 *  *  *  *  *  *  *  * +KY", "P+00KI", "P-00AL", "+"}) +
                           "/\r\n" + Problem("中", "'登録日時:20220101000000\r\n").replace(0, 0, "");
  // The third repeats the first position: refused, the first two stay.
  EXPECT_EQ(t.db.RegisterFromCsa(text, false), 2);
  std::vector<ListEntry> list = t.Search("order by 登録日時 desc");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].number, 1);
  EXPECT_EQ(list[1].number, 0);
  EXPECT_EQ(LoadLastCondition(dir, true), DefaultProblemCondition());
  ASSERT_TRUE(SaveLastCondition(dir, true, "order by 登録日時 desc"));
  EXPECT_EQ(LoadLastCondition(dir, true), "order by 登録日時 desc");
  EXPECT_TRUE(platform::FileExists(dir + "前回検索.dj2"));
}

// A second problem (a lance under the king instead of a pawn).
std::string OtherProblem(std::string_view extra = "") {
  return "'表題:香\r\n" + std::string(extra) +
         Crlf({"P1 *  *  *  *  *  *  *  * -OU", "P3 *  *  *  *  *  *  *  * +KY", "P+00KI", "P-00AL", "+", "+0012KI"});
}

TEST(TsumeDatabaseTest, AnUpdateRefusedByThePositionIndexKeepsTheStoredProblem) {
  const std::string dir = NewDatabase("tsume_refused_update");
  TsumeDb t(dir);
  ASSERT_EQ(t.db.RegisterFromCsa(Problem("一") + "/\r\n" + OtherProblem(), false), 2);
  std::string before;
  ASSERT_EQ(t.db.ExportItem(0, before), 0);
  // Problem 0 "updated" to the position problem 1 holds: refused, and problem 0 keeps its solution.
  EXPECT_EQ(t.db.RegisterFromCsa(OtherProblem("'詰将棋番号:000000\r\n"), false), 0);
  ASSERT_EQ(t.messages.messages.size(), 1u);
  EXPECT_EQ(t.messages.messages[0].find("詰将棋DB更新エラー(11)"), 0u) << t.messages.messages[0];
  std::string after;
  ASSERT_EQ(t.db.ExportItem(0, after), 0);
  EXPECT_EQ(after, before);
  ItemDatabase::StoredItem item;
  ASSERT_EQ(t.db.ReadStored(0, item), 0);
  EXPECT_EQ(item.moves.size(), 1u);
  EXPECT_EQ(t.Search("").size(), 2u);
}

TEST(TsumeDatabaseTest, AnUpdateToAnotherPositionMovesItsFile) {
  const std::string dir = NewDatabase("tsume_moved_update");
  TsumeDb t(dir);
  ASSERT_EQ(t.db.RegisterFromCsa(Problem("一"), false), 1);
  const std::string old_id = t.Search("")[0].line.substr(t.Search("")[0].line.size() - 8);
  ASSERT_EQ(t.db.RegisterFromCsa(OtherProblem("'詰将棋番号:000000\r\n"), false), 1);
  const std::string new_id = t.Search("")[0].line.substr(t.Search("")[0].line.size() - 8);
  ASSERT_NE(old_id, new_id);
  EXPECT_FALSE(platform::FileExists(MoveSpaceFilePath(dir, old_id)));
  EXPECT_TRUE(platform::FileExists(MoveSpaceFilePath(dir, new_id)));
  // An export that finds nothing leaves an existing file as it was.
  const std::string out = dir + "out.pcl";
  ASSERT_TRUE(platform::WriteWholeFile(out, "keep"));
  t.db.SetJob({&platform::NullMessageSink::Instance(), &t.progress, nullptr});
  EXPECT_EQ(t.db.ExportItems({7}, out), 0);
  std::string kept;
  ASSERT_TRUE(platform::ReadWholeFile(out, kept));
  EXPECT_EQ(kept, "keep");
}

TEST(BatchSolveTest, SolutionsAreWrittenBack) {
  const std::string data = testing::TestDataDir();
  if (data.empty()) GTEST_SKIP() << "no shared test data";
  const std::string dir = NewDatabase("batch");
  TsumeDb t(dir);
  std::string text;
  for (const char* name : {"y3-01", "y3-02", "met-3"}) {
    std::string bytes;
    ASSERT_TRUE(platform::ReadWholeFile(data + "/tsume/" + name + ".pcl", bytes));
    text += platform::InputTextToCp932(bytes) + "/\r\n";
  }
  ASSERT_EQ(t.db.RegisterFromCsa(text, false), 3);
  PlainBoard board;
  ProblemDocument doc(board);
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink output;
  BatchSolver batch(dir, DbJob{&messages, &output, nullptr});
  EXPECT_FALSE(batch.Confirm(3, true));
  EXPECT_EQ(messages.questions[0], "3 件の詰将棋を思考し、データベースを更新します。\r\n現バッファの指し手は全て破棄されます。\r\nよろしいですか？");
  messages.answers.push_back(platform::Answer::kYes);
  EXPECT_TRUE(batch.Confirm(3, false));
  EXPECT_EQ(messages.questions[1], "3 件の詰将棋を思考し、データベースを更新します。\r\nよろしいですか？");

  const BatchResult result = batch.Run({0, 1, 2, 77}, doc);
  EXPECT_EQ(result.solved, 2);
  EXPECT_EQ(result.unsolved, 1);  // met-3 has no mate
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(messages.messages.back(), "詰将棋(レコード番号=000077)が読めません");
  for (int32_t number : {0, 1}) {
    ItemDatabase::StoredItem item;
    ASSERT_EQ(t.db.ReadStored(number, item), 0);
    ASSERT_FALSE(item.moves.empty()) << number;
    EXPECT_EQ(item.moves.size() % 2, 1u);
    ProblemHeader header;
    ReadProblemRow(item.row.data(), header);
    const std::string length = ZeroPadded(static_cast<long>(item.moves.size()), 4);
    EXPECT_EQ(header.Field(ProblemHeader::kMateLength), length);
    EXPECT_EQ(header.Field(ProblemHeader::kTitle), number == 0 ? "mate3-1" : "mate3-2");
    std::string file;
    ASSERT_TRUE(platform::ReadWholeFile(MoveSpaceFilePath(dir, header.ProblemPosition()), file));
    EXPECT_NE(file.find("'詰手数:" + length), std::string::npos);
  }
  ItemDatabase::StoredItem unsolved;
  ASSERT_EQ(t.db.ReadStored(2, unsolved), 0);
  EXPECT_TRUE(unsolved.moves.empty());
  bool started = false;
  for (const std::string& line : output.lines) started = started || line.rfind("==== 詰思考開始", 0) == 0;
  EXPECT_TRUE(started);
}

// A full disk while the solution file is written: the problem is not registered (no empty file left to
// block it later), the database stays whole, and once there is room it registers as new.
TEST(TsumeDatabaseTest, ASolutionFileTheDiskCannotTakeLeavesNoProblem) {
  test_support::SmallFileSystem fs(test_support::ScratchPath("tsume", "full"), 512 * 1024);
  SKIP_UNLESS_MOUNTED(fs);
  const std::string dir = fs.path() + "/db";
  platform::RecordingProgressSink progress;
  platform::RecordingMessageSink created;
  ASSERT_TRUE(CreateDatabase(dir, progress, created));
  TsumeDb t(dir + "/");
  ASSERT_EQ(t.db.RegisterFromCsa(Problem("一問目"), false), 1);
  ASSERT_TRUE(fs.Fill());
  const std::string second = Crlf({"N+攻方", "N-受方", "P1 *  *  *  *  *  *  * -OU * ", "P3 *  *  *  *  *  *  * +FU * ",
                                   "P+00KI", "P-00AL", "+", "+0022KI"});
  EXPECT_EQ(t.db.RegisterFromCsa(second, false), 0);
  ASSERT_FALSE(t.messages.messages.empty());
  EXPECT_EQ(t.messages.messages.back(), "詰将棋の登録を取り消しました(詰将棋番号=000001)。");
  EXPECT_EQ(t.Search("").size(), 1u);
  DatabaseCheck check;
  ASSERT_EQ(CheckDatabase(dir, &check), 0);
  EXPECT_TRUE(check.ok()) << check.problems[0];

  fs.Unfill();
  t.messages.messages.clear();
  ASSERT_EQ(t.db.RegisterFromCsa(second, false), 1) << t.messages.messages[0];
  EXPECT_EQ(t.Search("").size(), 2u);
  DatabaseCheck after;
  ASSERT_EQ(CheckDatabase(dir, &after), 0);
  EXPECT_TRUE(after.ok()) << after.problems[0];
}

}  // namespace
}  // namespace shogidb
