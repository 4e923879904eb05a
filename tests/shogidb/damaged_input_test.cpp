// Damaged tables and odd texts met by the databases' readers: numbers and keys that are not digits are
// passed over (and left to the check and the repair), never taken for numbers.
#include <gtest/gtest.h>

#include <cstring>

#include "dbengine/table.h"
#include "shogidb/db_check.h"
#include "shogidb/game_database.h"
#include "shogidb/header_rows.h"
#include "shogidb/joseki_lines.h"
#include "tests/shogidb/shogidb_test_util.h"

using namespace record;

namespace shogidb {
namespace {

using testing::Crlf;
using testing::Joined;

struct Games {
  explicit Games(const std::string& name) : dir(testing::NewDatabase(name)) {
    db.SetDatabase(dir);
    DbJob job;
    job.messages = &messages;
    job.progress = &progress;
    db.SetJob(job);
  }
  std::vector<ListEntry> Search(std::string_view condition) {
    std::vector<ListEntry> out;
    EXPECT_EQ(db.Search(condition, {}, out), 0);
    return out;
  }
  std::string dir;
  GameDatabase db;
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink progress;
};

const std::string kGame = Crlf({"'対局日:20240101", "N+甲", "N-乙", "PI", "+", "+7776FU", "'注釈:角道", "-3334FU"});

TEST(DamagedInputTest, AnnotationPieceWithDamagedPlyIsPassedOver) {
  Games g("damaged_note_key");
  ASSERT_EQ(g.db.RegisterFromCsa(kGame, false), 1);
  {
    dbengine::TableHandle notes(dbengine::OpenTable(TablePathIn(g.dir, kTableF)));
    ASSERT_TRUE(notes);
    std::vector<uint8_t> piece(AnnotationTable::kRecordLength, 0);
    piece[AnnotationTable::kIdOffset] = kGameMoveNote;
    std::memcpy(piece.data() + AnnotationTable::kKeyOffset, "000000\xff\xff\x10", 9);
    std::memcpy(piece.data() + AnnotationTable::kPieceOffset, "00", 2);
    std::memcpy(piece.data() + AnnotationTable::kTextOffset, "x", 1);
    int32_t number;
    ASSERT_EQ(dbengine::InsertRecord(notes.get(), piece.data(), &number), 0);
  }
  std::string text;
  ASSERT_EQ(g.db.ExportCsa(0, text), 0);
  EXPECT_NE(text.find("+7776FU\r\n'注釈:角道\r\n-3334FU\r\n"), std::string::npos) << text;
  PlainBoard board;
  GameDocument doc(board);
  EXPECT_EQ(g.db.LoadGame(0, doc), 0);

  DatabaseCheck check;
  ASSERT_EQ(CheckDatabase(g.dir, &check), 0);
  EXPECT_NE(Joined(check.problems).find("SHGDB_F: piece 3 \"000000"), std::string::npos) << Joined(check.problems);
  ASSERT_EQ(RepairDatabase(g.dir, &check), 0);
  EXPECT_TRUE(check.ok()) << Joined(check.problems);
  ASSERT_EQ(g.db.ExportCsa(0, text), 0);
  EXPECT_NE(text.find("'注釈:角道"), std::string::npos) << text;
}

TEST(DamagedInputTest, RowWithDamagedNumberIsNotListedUntilRepaired) {
  Games g("damaged_row_number");
  ASSERT_EQ(g.db.RegisterFromCsa(kGame + "/\r\n" + kGame, false), 2);
  {
    dbengine::TableHandle headers(dbengine::OpenTable(TablePathIn(g.dir, kTableB)));
    ASSERT_TRUE(headers);
    std::vector<uint8_t> row(GameRowLayout::kRecordLength);
    ASSERT_EQ(dbengine::ReadRecord(headers->table, 1, row.data()), 0);
    std::memcpy(row.data() + GameRowLayout::kNumber, "0x0001", 6);
    ASSERT_EQ(dbengine::UpdateRecord(headers.get(), row.data(), 1), 0);
  }
  for (const char* condition : {"", "order by 対局日"}) {
    const std::vector<ListEntry> found = g.Search(condition);
    ASSERT_EQ(found.size(), 1u) << condition;
    EXPECT_EQ(found[0].number, 0);
  }
  DatabaseCheck check;
  ASSERT_EQ(CheckDatabase(g.dir, &check), 0);
  EXPECT_NE(Joined(check.problems).find("SHGDB_B: record 1 holds the number \"0x0001\""), std::string::npos)
      << Joined(check.problems);
  ASSERT_EQ(RepairDatabase(g.dir, &check), 0);
  EXPECT_TRUE(check.ok()) << Joined(check.problems);
  EXPECT_EQ(g.Search("").size(), 2u);
}

TEST(DamagedInputTest, GameNumberThatIsNotDigitsRegistersANewGame) {
  Games g("number_not_digits");
  ASSERT_EQ(g.db.RegisterFromCsa(kGame, false), 1);
  g.progress.lines.clear();
  // Taken for no number at all: game 0 stays as it was.
  EXPECT_EQ(g.db.RegisterFromCsa(Crlf({"'対局番号:0a", "N+丙", "N-丁", "PI", "+", "+2726FU"}), false), 1);
  EXPECT_EQ(g.db.last_number(), 1);
  ASSERT_FALSE(g.progress.lines.empty());
  EXPECT_EQ(g.progress.lines[0], "対局 丙-丁 (対局番号=000001)を新規登録しました。");
  std::string text;
  ASSERT_EQ(g.db.ExportCsa(0, text), 0);
  EXPECT_NE(text.find("N+甲\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("+7776FU\r\n"), std::string::npos) << text;
}

TEST(DamagedInputTest, JosekiFileWithTwoPiecesOnOneSquareIsRefused) {
  const std::string dir = testing::NewDatabase("joseki_stacked");
  JosekiDatabase db;
  db.SetDatabase(dir);
  platform::RecordingMessageSink messages;
  DbJob job;
  job.messages = &messages;
  db.SetJob(job);
  const std::string rank_line = Crlf({"P1 *  *  *  * -OU *  *  *  * ", "P1 *  *  *  * +OU *  *  *  * ",
                                      "P9 *  *  *  * +HI *  *  *  * ", "+", "+5958HI"});
  const std::string hand_line = Crlf({"P1 *  *  *  * -OU *  *  *  * ", "P9 *  *  *  * +OU *  *  *  * ",
                                      "P+59HI", "+", "+5958HI"});
  for (const std::string& text : {rank_line, hand_line}) {
    messages.messages.clear();
    EXPECT_EQ(RegisterJosekiFromText(db, text, JosekiOptions{}), 0);
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_EQ(messages.messages[0].rfind("駒配置指定エラーです。(P", 0), 0u) << messages.messages[0];
  }
  DatabaseCheck check;
  ASSERT_EQ(CheckDatabase(dir, &check), 0);
  EXPECT_EQ(check.notes[0], "SHGDB_A: 0 records");
}

}  // namespace
}  // namespace shogidb
