// The check and repair of a whole database: a database registered normally is clean; each kind of damage
// a dying process or a damaged file can leave is found, repaired, and the database is clean again.
#include <gtest/gtest.h>

#include <cstring>

#include "dbengine/index.h"
#include "dbengine/table.h"
#include "platform/files.h"
#include "shogidb/db_check.h"
#include "shogidb/game_database.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/position_key.h"
#include "shogidb/problem_database.h"
#include "tests/shogidb/shogidb_test_util.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

using testing::Crlf;
using testing::Joined;

std::string FilledDatabase(const std::string& name) {
  const std::string dir = testing::NewDatabase(name);
  std::mt19937 rng(11);
  std::string games;
  for (int i = 0; i < 4; ++i) games += testing::GameText(testing::RandomGameMoves(rng, 25), "A-B", "'注釈:注\r\n") + "/\r\n";
  GameDatabase b;
  b.SetDatabase(dir);
  EXPECT_EQ(b.RegisterFromCsa(games, false), 4);
  ProblemDatabase c;
  c.SetDatabase(dir);
  EXPECT_EQ(c.RegisterFromCsa(Crlf({"P1 *  *  *  *  *  *  *  * -OU", "P3 *  *  *  *  *  *  *  * +FU", "P+00KI",
                                    "P-00AL", "+", "+0012KI", "'注釈:頭金"}),
                              false),
            1);
  JosekiDatabase e;
  e.SetDatabase(dir);
  JosekiOptions options;
  options.annotations = true;
  EXPECT_EQ(RegisterJosekiFromText(e, games, options), 100);
  return dir;
}

TEST(DatabaseCheckTest, RegisteredDatabaseIsClean) {
  const std::string dir = FilledDatabase("check_clean");
  DatabaseCheck check;
  ASSERT_EQ(CheckDatabase(dir, &check), 0);
  EXPECT_TRUE(check.ok()) << Joined(check.problems);
  EXPECT_EQ(check.notes.size(), 6u);
}

// Writes a record straight into a table (the kind of state a dying process leaves).
void Insert(const std::string& dir, TableId t, const std::vector<uint8_t>& record) {
  dbengine::TableHandle table(dbengine::OpenTable(TablePathIn(dir, t)));
  ASSERT_TRUE(table);
  int32_t number;
  ASSERT_EQ(dbengine::InsertRecord(table.get(), record.data(), &number), 0);
}

TEST(DatabaseCheckTest, DamageIsFoundAndRepaired) {
  const std::string dir = FilledDatabase("check_repair");
  // An unfinished registration with a block and an annotation, a block and a piece of nobody, a wrong
  // reference count, a joseki record of a missing position.
  std::vector<uint8_t> row(GameRowLayout::kRecordLength, 0);
  GameRow game;
  game.start_position = PositionIdText(PositionHash(BoardForm()) * 100);
  game.header.SetField(GameHeader::kGameNumber, kUnfinishedNumber);
  WriteGameRow(game, row.data());
  Insert(dir, kTableB, row);
  std::vector<uint8_t> block(MoveBlockTable::kRecordLength, 0xFF);
  MoveBlockTable::MakeKey(kGameOwner, 4, 0, block.data());
  std::memset(block.data() + MoveBlockTable::kDummyOffset, 0, 11);
  Insert(dir, kTableD, block);
  MoveBlockTable::MakeKey(kGameOwner, 40, 0, block.data());
  Insert(dir, kTableD, block);
  std::vector<uint8_t> piece(AnnotationTable::kRecordLength, 0);
  piece[0] = kGameMoveNote;
  std::memcpy(piece.data() + AnnotationTable::kKeyOffset, "000004001", 9);
  std::memcpy(piece.data() + AnnotationTable::kPieceOffset, "00", 2);
  Insert(dir, kTableF, piece);
  std::vector<uint8_t> joseki(JosekiDatabase::kRecordLength, 0);
  std::memcpy(joseki.data(), "12345600", 8);
  joseki[JosekiDatabase::kSideOffset] = '0';
  Insert(dir, kTableE, joseki);
  {
    PositionTable a;
    a.SetDirectory(dir);
    ASSERT_EQ(a.Open(), 0);
    ASSERT_EQ(a.AddReference(PositionHash(BoardForm()) * 100), 0);
  }
  DatabaseCheck check;
  ASSERT_EQ(CheckDatabase(dir, &check), 0);
  const std::string found = Joined(check.problems);
  EXPECT_NE(found.find("SHGDB_B: record 4 is a registration that did not finish"), std::string::npos) << found;
  EXPECT_NE(found.find("SHGDB_D: block \"1    4000\" (record 10) belongs to no game"), std::string::npos) << found;
  EXPECT_NE(found.find("SHGDB_F: piece 3 \"000004001\""), std::string::npos) << found;
  EXPECT_NE(found.find("SHGDB_E: record"), std::string::npos) << found;
  EXPECT_NE(found.find("counts 6 references, 5 records refer to it"), std::string::npos) << found;

  DatabaseCheck repaired;
  ASSERT_EQ(RepairDatabase(dir, &repaired), 0);
  EXPECT_TRUE(repaired.ok()) << Joined(repaired.problems);
  ASSERT_EQ(CheckDatabase(dir, &check), 0);
  EXPECT_TRUE(check.ok()) << Joined(check.problems);
  // The four games and the problem are intact.
  GameDatabase b;
  b.SetDatabase(dir);
  std::vector<ListEntry> games;
  ASSERT_EQ(b.Search("", {}, games), 0);
  EXPECT_EQ(games.size(), 4u);
  std::string text;
  EXPECT_EQ(b.ExportCsa(3, text), 0);
  EXPECT_NE(text.find("'注釈:注"), std::string::npos);
  ProblemDatabase c;
  c.SetDatabase(dir);
  EXPECT_EQ(c.ExportItem(0, text), 0);
}

TEST(DatabaseCheckTest, DamagedNumbersAndKeysAreReportedNotFollowed) {
  const std::string dir = FilledDatabase("check_damaged_text");
  // A game row whose number is no number, and an annotation piece of game 2 whose ply is no number.
  std::vector<uint8_t> row(GameRowLayout::kRecordLength, 0);
  GameRow game;
  game.start_position = PositionIdText(PositionHash(BoardForm()) * 100);
  game.header.SetField(GameHeader::kGameNumber, "abcdef");
  WriteGameRow(game, row.data());
  Insert(dir, kTableB, row);
  std::vector<uint8_t> piece(AnnotationTable::kRecordLength, 0);
  piece[0] = kGameMoveNote;
  std::memcpy(piece.data() + AnnotationTable::kKeyOffset, "000002a1b", 9);
  std::memcpy(piece.data() + AnnotationTable::kPieceOffset, "00", 2);
  Insert(dir, kTableF, piece);

  GameDatabase b;
  b.SetDatabase(dir);
  std::vector<ListEntry> games;
  ASSERT_EQ(b.Search("", {}, games), 0);
  EXPECT_EQ(games.size(), 4u);  // the damaged row is no game
  std::string text;
  ASSERT_EQ(b.ExportCsa(2, text), 0);
  EXPECT_EQ(text.find("'注釈:\r\n"), std::string::npos);
  DatabaseCheck check;
  ASSERT_EQ(CheckDatabase(dir, &check), 0);
  const std::string found = Joined(check.problems);
  EXPECT_NE(found.find("SHGDB_B: record 4"), std::string::npos) << found;
  EXPECT_NE(found.find("SHGDB_F: piece"), std::string::npos) << found;
  DatabaseCheck repaired;
  ASSERT_EQ(RepairDatabase(dir, &repaired), 0);
  EXPECT_TRUE(repaired.ok()) << Joined(repaired.problems);
}

TEST(DatabaseCheckTest, LostIndexesAreRebuilt) {
  const std::string dir = FilledDatabase("check_index");
  ASSERT_TRUE(platform::RemoveFile(TablePathIn(dir, kTableD) + ".ix0"));
  DatabaseCheck check;
  ASSERT_EQ(CheckDatabase(dir, &check), 0);
  EXPECT_FALSE(check.ok());
  DatabaseCheck repaired;
  ASSERT_EQ(RepairDatabase(dir, &repaired), 0);
  EXPECT_TRUE(repaired.ok()) << Joined(repaired.problems);
  GameDatabase b;
  b.SetDatabase(dir);
  ItemDatabase::StoredItem item;
  ASSERT_EQ(b.ReadStored(2, item), 0);
  EXPECT_EQ(item.moves.size(), 25u);
}

}  // namespace
}  // namespace shogidb
