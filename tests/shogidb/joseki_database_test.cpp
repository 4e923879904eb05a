// The joseki database: positions in both orientations, ten moves to a record, registration from records
// and files with their messages, export and bulk deletion, single edits and the lock.
#include <gtest/gtest.h>

#include <thread>

#include "dbengine/table.h"
#include "platform/db_lock.h"
#include "platform/files.h"
#include "record/archive.h"
#include "record/plain_board.h"
#include "record/record_document.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/position_key.h"
#include "tests/shogidb/shogidb_test_util.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

using testing::Crlf;
using testing::NewDatabase;

struct JosekiDb {
  explicit JosekiDb(const std::string& dir) {
    db.SetDatabase(dir);
    db.SetJob({&messages, &progress, nullptr});
  }
  std::vector<JosekiMove> Moves(const BoardForm& form, Side side, JosekiPosition* found = nullptr) {
    OpenTables open;
    EXPECT_EQ(db.OpenAll(open), 0);
    JosekiPosition position;
    db.FindJosekiPosition(form, side, position);
    std::vector<JosekiMove> moves;
    EXPECT_EQ(db.ReadJosekiMoves(position, moves), 0);
    if (found) *found = position;
    return moves;
  }
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink progress;
  JosekiDatabase db;
};

int Records(const std::string& dir, TableId id) {
  dbengine::TableHandle t(dbengine::OpenTable(TablePathIn(dir, id)));
  std::vector<uint8_t> record(static_cast<size_t>(t->RecordLength()));
  int count = 0;
  for (int32_t r = 0; dbengine::ScanRecord(t->table, r, record.data(), &r) == dbengine::kOk; ++r) ++count;
  return count;
}

void LoadRecord(GameDocument& doc, const std::string& text) {
  Archive in = Archive::FromText(text);
  ASSERT_TRUE(doc.Serialize(in).ok());
}

TEST(JosekiTest, RegisteringTwiceUpdatesEverything) {
  const std::string dir = NewDatabase("joseki_twice");
  JosekiDb j(dir);
  PlainBoard board;
  GameDocument doc(board);
  LoadRecord(doc, Crlf({"PI", "+", "'注釈:平手の初形", "+7776FU", "'注釈:角道を開ける", "-3334FU", "+2726FU",
                        "'手数目:2", "-8384FU", "+2726FU"}));
  JosekiOptions options;
  options.details = true;
  options.annotations = true;
  options.depth = 2;
  EXPECT_EQ(RegisterJosekiFromRecord(j.db, board, options), 3);
  ASSERT_EQ(j.progress.lines.size(), 4u);
  const std::string even_id = PositionIdText(PositionHash(BoardForm()) * 100);
  EXPECT_EQ(j.progress.lines[0], "局面(" + even_id + ",評価値=100)登録,定跡手 1手目: 先手７六歩(attr=100)を登録しました。");
  EXPECT_NE(j.progress.lines[1].find("登録,定跡手 2手目: 後手３四歩(attr=100)を登録しました。"), std::string::npos);
  EXPECT_NE(j.progress.lines[2].find("更新,定跡手 2手目: 後手８四歩(attr=100)を登録しました。"), std::string::npos);
  EXPECT_EQ(j.progress.lines[3], "合計 3手 更新・登録しました。");
  j.progress.lines.clear();
  options.value = 7;
  EXPECT_EQ(RegisterJosekiFromRecord(j.db, board, options), 3);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_NE(j.progress.lines[i].find(")更新,定跡手"), std::string::npos) << j.progress.lines[i];
    EXPECT_NE(j.progress.lines[i].find("(attr=7)を更新しました。"), std::string::npos) << j.progress.lines[i];
  }
  JosekiPosition start;
  std::vector<JosekiMove> moves = j.Moves(BoardForm(), kSente, &start);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].value, 7);
  OpenTables open;
  ASSERT_EQ(j.db.OpenAll(open), 0);
  EXPECT_EQ(j.db.PositionNote(start), "平手の初形");
  EXPECT_EQ(j.db.MoveNote(start, moves[0].move), "角道を開ける");
  open.CloseAll();
  // Down to ply 2: the start and the position after +7776FU, one record each.
  EXPECT_EQ(Records(dir, kTableE), 2);
  EXPECT_EQ(Records(dir, kTableA), 2);
}

TEST(JosekiTest, ReversedPositionsAreOne) {
  const std::string dir = NewDatabase("joseki_reversed");
  JosekiDb j(dir);
  // Stored: after +7776FU, gote to move, with gote's joseki move -3334FU.
  PlainBoard board;
  GameDocument doc(board);
  LoadRecord(doc, Crlf({"PI", "+", "+7776FU", "-3334FU"}));
  JosekiOptions options;
  EXPECT_EQ(RegisterJosekiFromRecord(j.db, board, options), 2);
  FormBoard after;
  ASSERT_TRUE(after.Apply(after.Encode({kSente, 77, 0, 76, false})));
  // The same position turned round, sente to move: gote's pawn on 3三 went to 3四 ... seen from the
  // other side, sente's pawn 7七 to 7六.
  BoardForm turned = after.Form();
  turned.Reverse();
  JosekiPosition found;
  std::vector<JosekiMove> moves = j.Moves(turned, kSente, &found);
  EXPECT_TRUE(found.found);
  EXPECT_TRUE(found.reversed);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(FormBoard(turned).CsaText(moves[0].move), "+7776FU");
  EXPECT_EQ(j.Moves(after.Form(), kGote).size(), 1u);
  EXPECT_TRUE(j.Moves(turned, kGote).empty());  // the side to move matters

  // Registering from the turned position adds to the stored one; no new joseki position appears.
  const BoardMove other = FormBoard(turned).Encode({kSente, 27, 0, 26, false});
  EXPECT_EQ(RegisterJosekiMove(j.db, turned, kSente, other, options), 0);
  EXPECT_EQ(j.Moves(after.Form(), kGote).size(), 2u);
  EXPECT_EQ(Records(dir, kTableE), 2);
  std::vector<JosekiMove> stored = j.Moves(after.Form(), kGote);
  EXPECT_EQ(FormBoard(after.Form()).CsaText(stored[1].move), "-8384FU");
}

TEST(JosekiTest, EleventhMoveTakesASecondRecord) {
  const std::string dir = NewDatabase("joseki_eleven");
  JosekiDb j(dir);
  const std::vector<std::pair<int, int>> pawn_moves = {{17, 16}, {27, 26}, {37, 36}, {47, 46}, {57, 56}, {67, 66},
                                                      {77, 76}, {87, 86}, {97, 96}, {39, 38}, {59, 58}};
  JosekiOptions options;
  FormBoard even;
  for (const auto& [from, to] : pawn_moves) {
    ASSERT_EQ(RegisterJosekiMove(j.db, BoardForm(), kSente, even.Encode({kSente, from, 0, to, false}), options), 0);
  }
  EXPECT_EQ(Records(dir, kTableE), 2);
  std::vector<JosekiMove> moves = j.Moves(BoardForm(), kSente);
  ASSERT_EQ(moves.size(), 11u);
  EXPECT_EQ(even.CsaText(moves[10].move), "+5958OU");
  // Deleting a move of the first record leaves a free slot, which the next move takes.
  EXPECT_EQ(DeleteJosekiMoveAt(j.db, BoardForm(), kSente, moves[3].move), 0);
  EXPECT_EQ(j.progress.lines.back(), "定跡手 先手４六歩 を削除しました。");
  ASSERT_EQ(RegisterJosekiMove(j.db, BoardForm(), kSente, even.Encode({kSente, 69, 0, 78, false}), options), 0);
  moves = j.Moves(BoardForm(), kSente);
  EXPECT_EQ(even.CsaText(moves[3].move), "+6978KI");
  EXPECT_EQ(Records(dir, kTableE), 2);
  // Emptying the second record deletes it; the first stays.
  EXPECT_EQ(DeleteJosekiMoveAt(j.db, BoardForm(), kSente, moves[10].move), 0);
  EXPECT_EQ(Records(dir, kTableE), 1);
  EXPECT_EQ(DeleteJosekiMoveAt(j.db, BoardForm(), kSente, moves[10].move), dbengine::kNotFound);
  EXPECT_EQ(j.messages.messages.back(), "定跡削除エラー(10)");
}

TEST(JosekiTest, FilesWithValuesEvaluationsAndBranches) {
  const std::string dir = NewDatabase("joseki_file");
  JosekiDb j(dir);
  const std::string text = Crlf({"PI", "+", "'形勢評価値:110", "+7776FU", "'属性:50", "'注釈:角道", "-3334FU",
                                 "'属性:40", "'形勢評価値:90", "+2726FU", "'手数目:2", "-8384FU", "'属性: 30 "});
  JosekiOptions options;
  options.annotations = true;
  EXPECT_EQ(RegisterJosekiFromText(j.db, text, options), 4);
  JosekiPosition start;
  std::vector<JosekiMove> moves = j.Moves(BoardForm(), kSente, &start);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].value, 50);
  EXPECT_EQ(start.evaluation, 110);
  FormBoard after;
  ASSERT_TRUE(after.Apply(moves[0].move));
  JosekiPosition second;
  moves = j.Moves(after.Form(), kGote, &second);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[0].value, 40);
  EXPECT_EQ(moves[1].value, 30);
  // -8384FU was read after the new evaluation, so its position (the second) has it now, as has the
  // position after +2726FU.
  EXPECT_EQ(second.evaluation, 90);
  ASSERT_TRUE(after.Apply(moves[0].move));
  JosekiPosition third;
  j.Moves(after.Form(), kSente, &third);
  EXPECT_EQ(third.evaluation, 90);

  // The export reads back into a new database as the same joseki.
  std::string exported;
  {
    OpenTables open;
    ASSERT_GE(JosekiText(j.db, BoardForm(), kSente, 10, true, exported), 4);
  }
  EXPECT_EQ(exported.rfind("'============= 定跡局面 ============\r\n", 0), 0u);
  EXPECT_NE(exported.find("'手数目:1\r\n+7776FU\r\n'属性:50\r\n'注釈:角道\r\n"), std::string::npos) << exported;
  const std::string other_dir = NewDatabase("joseki_file_again");
  JosekiDb k(other_dir);
  EXPECT_EQ(RegisterJosekiFromText(k.db, exported, options), 4);
  std::string again;
  JosekiText(k.db, BoardForm(), kSente, 10, true, again);
  EXPECT_EQ(again, exported);
}

TEST(JosekiTest, FileErrors) {
  const std::string dir = NewDatabase("joseki_errors");
  const std::pair<std::string, std::string> cases[] = {
      {Crlf({"PI", "+", "+7776FU", "'属性:5a"}), "属性値の指定が間違っています('属性:5a)。"},
      {Crlf({"PI", "+", "'形勢評価値:x"}), "形勢評価値の指定が間違っています('形勢評価値:x)。"},
      {Crlf({"PI", "+", "+7776FU", "'手数目:0"}), "手数目の指定が間違っています('手数目:0)。"},
      {Crlf({"PI", "+", "-3334FU"}), "定跡手の手番が間違っています。(-3334FU)"},
      {Crlf({"PI", "+", "+5554FU"}), "定跡手の駒指定が間違っています。(+5554FU)"},
      {Crlf({"PI", "P+99XX", "+"}), "駒配置指定エラーです。(P+99XX)"},
      // A piece placed on an occupied square, or a removal of a piece that is not there.
      {Crlf({"PI", "P+59KI", "+", "+5958KI"}), "駒配置指定エラーです。(P+59KI)"},
      {Crlf({"PI55FU", "+"}), "駒配置指定エラーです。(PI55FU)"},
      {Crlf({"PI", "+7776FU"}), "手番指定がありません"},
      {Crlf({"PI"}), "手番指定がありません"},
  };
  for (const auto& [text, message] : cases) {
    JosekiDb j(dir);
    EXPECT_EQ(RegisterJosekiFromText(j.db, text, JosekiOptions{}), 0) << message;
    ASSERT_EQ(j.messages.messages.size(), 1u) << message;
    EXPECT_EQ(j.messages.messages[0], message);
  }
  // Nothing was registered; a large evaluation is passed over.
  JosekiDb j(dir);
  EXPECT_EQ(RegisterJosekiFromText(j.db, Crlf({"PI", "+", "'形勢評価値:300", "+7776FU"}), JosekiOptions{}), 1);
  JosekiPosition start;
  j.Moves(BoardForm(), kSente, &start);
  EXPECT_EQ(start.evaluation, 100);
}

TEST(JosekiTest, BulkDeletionWritesTheBackupFirst) {
  const std::string dir = NewDatabase("joseki_delete");
  JosekiDb j(dir);
  std::mt19937 rng(3);
  std::string text;
  for (int i = 0; i < 5; ++i) text += testing::GameText(testing::RandomGameMoves(rng, 12)) + "/\r\n";
  JosekiOptions options;
  options.annotations = true;
  const long registered = RegisterJosekiFromText(j.db, text, options);
  EXPECT_EQ(registered, 60);
  std::string before;
  const long listed = JosekiText(j.db, BoardForm(), kSente, 30, true, before);
  const std::string backup = dir + "backup.pcl";
  EXPECT_EQ(DeleteJosekiBelow(j.db, BoardForm(), kSente, 30, ""), -1);
  EXPECT_EQ(j.messages.messages.back(), "バックアップファイル名を入力してください。");
  j.messages.answers.push_back(platform::Answer::kYes);
  const long deleted = DeleteJosekiBelow(j.db, BoardForm(), kSente, 30, backup);
  EXPECT_EQ(j.messages.questions.back(), "現在の局面から 30手の深さまで定跡を削除します。\r\n削除された内容はバックアップファイル(" +
                                             backup + ")に上書きされます。\r\nよろしいですか？");
  EXPECT_GT(deleted, 50);
  EXPECT_LE(deleted, listed);
  EXPECT_EQ(j.progress.lines.back(), Format("%ld 手 削除しました。", deleted));
  std::string saved;
  ASSERT_TRUE(platform::ReadWholeFile(backup, saved));
  EXPECT_EQ(saved, before);
  EXPECT_EQ(Records(dir, kTableE), 0);
  EXPECT_EQ(Records(dir, kTableA), 0);
  EXPECT_EQ(Records(dir, kTableF), 0);
  // The backup registers everything again.
  EXPECT_EQ(RegisterJosekiFromText(j.db, saved, options), listed);
  std::string after;
  JosekiText(j.db, BoardForm(), kSente, 30, true, after);
  EXPECT_EQ(after, before);
  j.messages.answers.push_back(platform::Answer::kYes);
  EXPECT_GT(DeleteJosekiBelow(j.db, BoardForm(), kSente, 1, backup), 0);
  j.messages.answers.push_back(platform::Answer::kYes);
  EXPECT_EQ(DeleteJosekiBelow(j.db, BoardForm(), kSente, 1, backup), 0);
  EXPECT_EQ(j.progress.lines.back(), "指し手の削除はありません。");
}

TEST(JosekiTest, EditsAndTheLock) {
  const std::string dir = NewDatabase("joseki_edits");
  JosekiDb j(dir);
  FormBoard even;
  const BoardMove pawn = even.Encode({kSente, 77, 0, 76, false});
  ASSERT_EQ(RegisterJosekiMove(j.db, BoardForm(), kSente, pawn, JosekiOptions{}), 0);
  EXPECT_EQ(SetJosekiMoveProperties(j.db, BoardForm(), kSente, pawn, 105, 95, 300), 0);
  JosekiPosition start, next;
  std::vector<JosekiMove> moves = j.Moves(BoardForm(), kSente, &start);
  EXPECT_EQ(start.evaluation, 105);
  EXPECT_EQ(moves[0].value, 300);
  FormBoard after = even;
  after.Apply(pawn);
  j.Moves(after.Form(), kGote, &next);
  EXPECT_TRUE(next.found);
  EXPECT_EQ(next.evaluation, 95);
  EXPECT_EQ(SetJosekiEvaluation(j.db, BoardForm(), kSente, 120), 0);
  j.Moves(BoardForm(), kSente, &start);
  EXPECT_EQ(start.evaluation, 120);

  // Held by another thread: joseki operations refuse at once.
  std::atomic<bool> taken{false}, release{false};
  std::thread holder([&] {
    platform::DatabaseLockGuard guard(dir, platform::DatabaseLockGuard::Mode::kWait);
    taken = true;
    while (!release) std::this_thread::yield();
  });
  while (!taken) std::this_thread::yield();
  EXPECT_NE(RegisterJosekiMove(j.db, BoardForm(), kSente, pawn, JosekiOptions{}), 0);
  EXPECT_EQ(j.messages.messages.back(), "データベースが使用中です");
  EXPECT_NE(SetJosekiEvaluation(j.db, BoardForm(), kSente, 1), 0);
  EXPECT_EQ(j.messages.messages.back(), "データベースは使用中です");
  release = true;
  holder.join();
  EXPECT_EQ(SetJosekiEvaluation(j.db, BoardForm(), kSente, 1), 0);
}

}  // namespace
}  // namespace shogidb
