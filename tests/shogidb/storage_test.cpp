// The storage layer of the shogi database: creation, positions with their ids and reference counts, move
// blocks and annotation pieces.
#include <gtest/gtest.h>

#include <cstring>

#include "dbengine/engine_state.h"
#include "dbengine/index.h"
#include "dbengine/table.h"
#include "shogidb/annotation_table.h"
#include "shogidb/move_block_table.h"
#include "shogidb/position_key.h"
#include "shogidb/position_table.h"
#include "shogidb/schema.h"
#include "tests/shogidb/shogidb_test_util.h"

using namespace rules;

namespace shogidb {
namespace {

using testing::NewDatabase;

int CountRecords(const std::string& dir, TableId id) {
  dbengine::TableHandle t(dbengine::OpenTable(TablePathIn(dir, id)));
  if (!t) return -1;
  std::vector<uint8_t> record(static_cast<size_t>(Table(id).record_length));
  int count = 0;
  int32_t r = 0;
  while (dbengine::ScanRecord(t->table, r, record.data(), &r) == dbengine::kOk) {
    ++count;
    ++r;
  }
  return count;
}

TEST(CreateDatabaseTest, CreatesSixTablesAndReportsEach) {
  const std::string dir = testing::FreshPath("create");
  platform::RecordingProgressSink progress;
  platform::RecordingMessageSink messages;
  ASSERT_TRUE(CreateDatabase(dir, progress, messages));
  EXPECT_EQ(progress.lines, (std::vector<std::string>{
                                "盤面表(SHGDB_A)を作成しました。", "対局表(SHGDB_B)を作成しました。",
                                "詰将棋表(SHGDB_C)を作成しました。", "棋譜表(SHGDB_D)を作成しました。",
                                "定跡表(SHGDB_E)を作成しました。", "注釈表(SHGDB_F)を作成しました。",
                                "将棋データベースは正常に作成されました。"}));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_TRUE(DatabaseExists(dir));
  for (int t = 0; t < kTableCount; ++t) {
    dbengine::TableHandle table(dbengine::OpenTable(TablePathIn(dir, static_cast<TableId>(t))));
    ASSERT_TRUE(table) << Table(static_cast<TableId>(t)).name;
    EXPECT_EQ(table->RecordLength(), Table(static_cast<TableId>(t)).record_length);
    EXPECT_EQ(table->indexes.size(), 1u);
  }
  // A directory that exists already is refused.
  platform::RecordingProgressSink again;
  EXPECT_FALSE(CreateDatabase(dir, again, messages));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0], "新規ディレクトリの作成に失敗しました。\n(既存フォルダ内には作成できません)");
  EXPECT_TRUE(again.lines.empty());
}

TEST(TableObjectTest, OpenFailureAndEmpty) {
  const std::string dir = NewDatabase("tableobject");
  platform::RecordingMessageSink messages;
  PositionTable missing;
  missing.SetMessageSink(&messages);
  missing.SetDirectory(dir + "nowhere");
  EXPECT_NE(missing.Open(), dbengine::kOk);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0], "データベース " + dir + "nowhere/SHGDB_A のオープンに失敗しました。");

  PositionTable positions;
  positions.SetDirectory(dir);
  ASSERT_EQ(positions.Open(), dbengine::kOk);
  ASSERT_GE(positions.AddPosition(BoardForm(), 1), 0);
  positions.Close();
  EXPECT_EQ(CountRecords(dir, kTableA), 1);
  EXPECT_EQ(positions.Empty(), dbengine::kOk);
  EXPECT_FALSE(positions.IsOpen());
  EXPECT_EQ(CountRecords(dir, kTableA), 0);
}

TEST(PositionKeyTest, HashAndIdText) {
  BoardForm even;
  uint32_t sum = 0;
  for (int w = 0; w < 11; ++w) {
    uint32_t word;
    std::memcpy(&word, even.data() + 4 * w, 4);
    sum += word;
  }
  EXPECT_EQ(PositionHash(even), static_cast<int32_t>(sum % 999983u));
  EXPECT_EQ(PositionIdText(1234567), "01234567");
  EXPECT_EQ(ParsePositionId("01234567"), 1234567);
  EXPECT_EQ(ParsePositionId("1234567"), -1);
  EXPECT_EQ(ParsePositionId("0123456x"), -1);
}

// A form whose hash equals the even game's: word 0 grows by exactly 999983.
BoardForm CollidingForm(int variant) {
  BoardForm form;
  uint8_t* b = form.data();
  b[0] = static_cast<uint8_t>(b[0] + 47);
  b[1] = static_cast<uint8_t>(b[1] + 66);
  b[2] = static_cast<uint8_t>(b[2] + 15);
  // Other variants trade 256 in byte 4 of word 1 ... keep the sum: move one unit between words 2 and 3.
  if (variant > 0) {
    b[8] = static_cast<uint8_t>(b[8] + variant);
    b[12] = static_cast<uint8_t>(b[12] - variant);
  }
  return form;
}

TEST(PositionsTest, FindAddAndSynonyms) {
  const std::string dir = NewDatabase("positions");
  PositionTable a;
  a.SetDirectory(dir);
  ASSERT_EQ(a.Open(), dbengine::kOk);
  BoardForm even;
  const int32_t hash = PositionHash(even);
  EXPECT_EQ(a.FindPosition(even), ~hash);

  const int32_t first = a.AddPosition(even, 1);
  EXPECT_EQ(first, hash * 100);
  EXPECT_EQ(a.FindPosition(even), first);

  const BoardForm second_form = CollidingForm(0);
  ASSERT_EQ(PositionHash(second_form), hash);
  EXPECT_EQ(a.FindPosition(second_form), ~hash);
  const int32_t second = a.AddPosition(second_form, 1);
  EXPECT_EQ(second, hash * 100 + 1);
  EXPECT_EQ(a.FindPosition(second_form), second);
  EXPECT_EQ(a.FindPosition(even), first);

  // The first number, once free, is taken again.
  EXPECT_EQ(a.DropReference(first), dbengine::kOk);
  EXPECT_EQ(a.FindPosition(even), ~hash);
  const BoardForm third_form = CollidingForm(1);
  ASSERT_EQ(PositionHash(third_form), hash);
  EXPECT_EQ(a.AddPosition(third_form, 1), hash * 100);
  EXPECT_EQ(a.FindPosition(third_form), hash * 100);
  EXPECT_EQ(a.FindPosition(second_form), second);
}

TEST(PositionsTest, ReferenceCounts) {
  const std::string dir = NewDatabase("refcounts");
  PositionTable a;
  a.SetDirectory(dir);
  ASSERT_EQ(a.Open(), dbengine::kOk);
  BoardForm even;
  const int32_t id = a.AddPosition(even, 1);
  ASSERT_GE(id, 0);
  EXPECT_EQ(a.AddReference(id), dbengine::kOk);
  BoardForm read;
  uint32_t count = 0;
  ASSERT_EQ(a.ReadPosition(id, read, &count), dbengine::kOk);
  EXPECT_EQ(read, even);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(a.DropReference(id), dbengine::kOk);
  EXPECT_EQ(a.FindPosition(even), id);
  EXPECT_EQ(a.DropReference(id), dbengine::kOk);
  EXPECT_LT(a.FindPosition(even), 0);
  EXPECT_EQ(a.DropReference(id), dbengine::kNotFound);
  EXPECT_EQ(a.AddReference(id), dbengine::kNotFound);
  a.Close();
  EXPECT_EQ(CountRecords(dir, kTableA), 0);
}

TEST(MoveBlocksTest, TwentyMovesABlockAndTheLimit) {
  const std::string dir = NewDatabase("blocks");
  MoveBlockTable d;
  d.SetDirectory(dir);
  ASSERT_EQ(d.Open(), dbengine::kOk);
  for (int i = 0; i < 21; ++i) ASSERT_EQ(d.AppendMove(kGameOwner, 7, static_cast<BoardMove>(i)), dbengine::kOk);
  // The 21st move lies in slot 0 of block 01.
  uint8_t record[MoveBlockTable::kRecordLength] = {};
  MoveBlockTable::MakeKey(kGameOwner, 7, 1, record);
  ASSERT_EQ(dbengine::ReadByKey(d.table(), 0, record), dbengine::kOk);
  EXPECT_EQ(MoveBlockTable::SlotOf(record, 0), 20);
  EXPECT_EQ(MoveBlockTable::SlotOf(record, 1), kNoMove);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record), 9), "1     701");
  EXPECT_EQ(d.ReadMove(kGameOwner, 7, 21), 20);
  EXPECT_EQ(d.ReadMove(kGameOwner, 7, 22), kNoMove);
  EXPECT_EQ(d.ReadMove(kProblemOwner, 7, 1), kNoMove);

  // Truncation frees the rest of the block and deletes the blocks after it.
  EXPECT_EQ(d.TruncateMoves(kGameOwner, 7, 15), dbengine::kOk);
  std::vector<BoardMove> moves;
  ASSERT_EQ(d.ReadMoves(kGameOwner, 7, moves), dbengine::kOk);
  EXPECT_EQ(moves.size(), 14u);
  EXPECT_EQ(d.AppendMove(kGameOwner, 7, 99), dbengine::kOk);
  EXPECT_EQ(d.ReadMove(kGameOwner, 7, 15), 99);

  // 2000 plies fit; the 2001st gives 99. Whole lists written at once read back the same.
  std::vector<BoardMove> long_list(2000);
  for (int i = 0; i < 2000; ++i) long_list[i] = static_cast<BoardMove>(i);
  EXPECT_EQ(d.WriteMoves(kProblemOwner, 3, long_list), dbengine::kOk);
  EXPECT_EQ(d.AppendMove(kProblemOwner, 3, 5), MoveBlockTable::kTooManyMoves);
  ASSERT_EQ(d.ReadMoves(kProblemOwner, 3, moves), dbengine::kOk);
  EXPECT_EQ(moves, long_list);
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(d.AppendMove(kGameOwner, 8, static_cast<BoardMove>(i)), dbengine::kOk);
  EXPECT_EQ(d.AppendMove(kGameOwner, 8, 1), MoveBlockTable::kTooManyMoves);
  long_list.push_back(1);
  EXPECT_EQ(d.WriteMoves(kGameOwner, 9, long_list), MoveBlockTable::kTooManyMoves);

  EXPECT_EQ(d.DeleteMoves(kProblemOwner, 3), dbengine::kOk);
  ASSERT_EQ(d.ReadMoves(kProblemOwner, 3, moves), dbengine::kOk);
  EXPECT_TRUE(moves.empty());
  EXPECT_EQ(d.DeleteMoves(kGameOwner, 7), dbengine::kOk);
  EXPECT_EQ(d.DeleteMoves(kGameOwner, 8), dbengine::kOk);
  EXPECT_EQ(d.DeleteMoves(kGameOwner, 9), dbengine::kOk);
  d.Close();
  EXPECT_EQ(CountRecords(dir, kTableD), 0);
}

TEST(AnnotationsTest, PiecesOfFortyFiveBytes) {
  const std::string dir = NewDatabase("notes");
  AnnotationTable f;
  f.SetDirectory(dir);
  ASSERT_EQ(f.Open(), dbengine::kOk);
  const std::string ninety(90, 'a'), ninety_one = std::string(90, 'b') + "c";
  ASSERT_EQ(f.WriteAnnotation(kGameMoveNote, MoveNoteKey(1, 5), ninety), dbengine::kOk);
  ASSERT_EQ(f.WriteAnnotation(kGameMoveNote, MoveNoteKey(1, 6), ninety_one), dbengine::kOk);
  f.Close();
  EXPECT_EQ(CountRecords(dir, kTableF), 5);
  ASSERT_EQ(f.Open(), dbengine::kOk);
  EXPECT_EQ(f.WriteAnnotation(kGameMoveNote, MoveNoteKey(1, 5), "x"), dbengine::kDuplicateKey);
  std::string text;
  ASSERT_EQ(f.ReadAnnotation(kGameMoveNote, MoveNoteKey(1, 5), text), dbengine::kOk);
  EXPECT_EQ(text, ninety);
  ASSERT_EQ(f.ReadAnnotation(kGameMoveNote, MoveNoteKey(1, 6), text), dbengine::kOk);
  EXPECT_EQ(text, ninety_one);
  EXPECT_EQ(f.ReadAnnotation(kProblemMoveNote, MoveNoteKey(1, 6), text), dbengine::kNotFound);
  // Japanese text split inside a character comes back whole.
  const std::string japanese = "角交換を避ける。" + std::string(40, '-') + "穴熊に囲う";
  ASSERT_EQ(f.WriteAnnotation(kJosekiMoveNote, JosekiMoveKey(12345600, 0x1234), japanese), dbengine::kOk);
  ASSERT_EQ(f.ReadAnnotation(kJosekiMoveNote, "123456001234", text), dbengine::kOk);
  EXPECT_EQ(text, japanese);

  std::vector<std::pair<std::string, std::string>> listed;
  ASSERT_EQ(f.ListAnnotations(kGameMoveNote, "000001", listed), dbengine::kOk);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].first, "000001005");
  EXPECT_EQ(listed[1].second, ninety_one);

  // A text beyond 100 pieces keeps its first 4500 bytes, never half a character.
  std::string huge;
  while (huge.size() < 5000) huge += "あ";
  huge.insert(0, "x");
  ASSERT_EQ(f.WriteAnnotation(kProblemMoveNote, MoveNoteKey(2, 0), huge), dbengine::kOk);
  ASSERT_EQ(f.ReadAnnotation(kProblemMoveNote, MoveNoteKey(2, 0), text), dbengine::kOk);
  EXPECT_EQ(text, huge.substr(0, 4499));

  EXPECT_EQ(f.DeleteAnnotation(kGameMoveNote, MoveNoteKey(1, 5)), dbengine::kOk);
  EXPECT_EQ(f.ReadAnnotation(kGameMoveNote, MoveNoteKey(1, 5), text), dbengine::kNotFound);
  EXPECT_EQ(f.DeleteAnnotation(kGameMoveNote, MoveNoteKey(1, 5)), dbengine::kOk);
  EXPECT_EQ(f.WriteAnnotation(kGameMoveNote, MoveNoteKey(1, 5), ""), dbengine::kOk);
  EXPECT_EQ(f.ReadAnnotation(kGameMoveNote, MoveNoteKey(1, 5), text), dbengine::kNotFound);
}

TEST(AnnotationsTest, AReplacementThatCannotBeWrittenKeepsTheOldText) {
  const std::string dir = NewDatabase("notes_replace");
  AnnotationTable f;
  f.SetDirectory(dir);
  ASSERT_EQ(f.Open(), dbengine::kOk);
  const std::string key = JosekiPositionKey(12345600, kSente);
  ASSERT_EQ(f.WriteAnnotation(kJosekiPositionNote, key, "古い注釈"), dbengine::kOk);
  ASSERT_EQ(f.ReplaceAnnotation(kJosekiPositionNote, key, "新しい注釈"), dbengine::kOk);
  std::string text;
  ASSERT_EQ(f.ReadAnnotation(kJosekiPositionNote, key, text), dbengine::kOk);
  EXPECT_EQ(text, "新しい注釈");
  // A text of twenty pieces needs the table to grow, and the disk is full.
  dbengine::Engine().faults.fake_disk = true;
  dbengine::Engine().faults.free_clusters = 0;
  dbengine::Engine().faults.cluster_bytes = 1;  // no slack left in the last cluster either
  EXPECT_NE(f.ReplaceAnnotation(kJosekiPositionNote, key, std::string(AnnotationTable::kPieceBytes * 20, 'x')), dbengine::kOk);
  dbengine::Engine().faults = dbengine::FaultInjection{};
  ASSERT_EQ(f.ReadAnnotation(kJosekiPositionNote, key, text), dbengine::kOk);
  EXPECT_EQ(text, "新しい注釈");
  ASSERT_EQ(f.ReplaceAnnotation(kJosekiPositionNote, key, ""), dbengine::kOk);
  EXPECT_EQ(f.ReadAnnotation(kJosekiPositionNote, key, text), dbengine::kNotFound);
}

}  // namespace
}  // namespace shogidb
