// The game database: registration from CSA text with its messages, update by 対局番号, search with
// condition text and position conditions, duplicates, export and deletion.
#include <gtest/gtest.h>

#include <random>

#include "dbengine/table.h"
#include "record/archive.h"
#include "record/plain_board.h"
#include "record/record_document.h"
#include "shogidb/game_database.h"
#include "shogidb/header_rows.h"
#include "shogidb/position_key.h"
#include "shogidb/search_condition.h"
#include "tests/shogidb/shogidb_test_util.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

using testing::Crlf;
using testing::GameText;
using testing::Lines;
using testing::NewDatabase;

struct GameDb {
  explicit GameDb(const std::string& dir) {
    db.SetDatabase(dir);
    db.SetJob({&messages, &progress, &stop});
  }
  std::vector<ListEntry> Search(std::string_view condition, const PositionSpec& spec = {}) {
    std::vector<ListEntry> out;
    EXPECT_EQ(db.Search(condition, spec, out), 0);
    return out;
  }
  std::vector<int32_t> Numbers(std::string_view condition, const PositionSpec& spec = {}) {
    std::vector<int32_t> numbers;
    for (const ListEntry& e : Search(condition, spec)) numbers.push_back(e.number);
    return numbers;
  }
  std::string Export(int32_t number) {
    std::string text;
    EXPECT_EQ(db.ExportCsa(number, text), 0);
    return text;
  }
  platform::RecordingMessageSink messages;
  platform::RecordingProgressSink progress;
  platform::StopFlag stop;
  GameDatabase db;
};

TEST(GameRegistrationTest, ThreeGamesNumberedByTheirRecords) {
  const std::string dir = NewDatabase("three");
  GameDb g(dir);
  const std::string text = GameText({"+7776FU", "-3334FU"}, "羽生善治-谷川浩司", "'戦型:横歩取り\r\n") + "/\r\n" +
                           GameText({"+2726FU"}, "A-B") + "/\r\n" + GameText({}, "C-D") + "/\r\n";
  EXPECT_EQ(g.db.RegisterFromCsa(text, false), 3);
  ASSERT_EQ(g.progress.lines.size(), 4u);
  EXPECT_EQ(g.progress.lines[0], "対局 羽生善治-谷川浩司 (対局番号=000000)を新規登録しました。");
  EXPECT_EQ(g.progress.lines[1], "対局 A-B (対局番号=000001)を新規登録しました。");
  EXPECT_EQ(g.progress.lines[2], "対局 C-D (対局番号=000002)を新規登録しました。");
  EXPECT_EQ(g.progress.lines[3].rfind("3 件登録しました(", 0), 0u) << g.progress.lines[3];
  EXPECT_TRUE(g.messages.messages.empty());

  std::vector<ListEntry> all = g.Search("");
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].line, "000000 20240101 羽生善治-谷川浩司            横歩取り                棋戦不詳");
  EXPECT_EQ(all[2].line.substr(0, 7), "000002 ");
  GameRow row;
  ReadGameRow(all[0].row.data(), row);
  EXPECT_EQ(row.header.Field(GameHeader::kMoveCount), "0002");
  EXPECT_EQ(row.header.Field(GameHeader::kGameNumber), "000000");
  EXPECT_EQ(row.header.Field(GameHeader::kRegistered).size(), 14u);
  EXPECT_EQ(row.start_position, PositionIdText(PositionHash(BoardForm()) * 100));
  ReadGameRow(all[2].row.data(), row);
  EXPECT_EQ(row.header.Field(GameHeader::kMoveCount), "");

  // Three games share the even position: one record, three references.
  PositionTable a;
  a.SetDirectory(dir);
  ASSERT_EQ(a.Open(), 0);
  BoardForm form;
  uint32_t count = 0;
  ASSERT_EQ(a.ReadPosition(PositionHash(BoardForm()) * 100, form, &count), 0);
  EXPECT_EQ(count, 3u);
}

TEST(GameRegistrationTest, NumberedGameIsUpdated) {
  const std::string dir = NewDatabase("update");
  GameDb g(dir);
  ASSERT_EQ(g.db.RegisterFromCsa(GameText({"+7776FU", "-3334FU", "+2726FU"}, "A-B") + "/\r\n" +
                                      GameText({"+5756FU"}, "C-D"),
                                  false),
            2);
  // The same number: the moves and annotations are replaced, the start position too.
  const std::string update = Crlf({"'対局番号:000000", "'戦型:相掛かり", "N+E", "N-F", "P1 *  *  *  *  *  *  *  * -OU",
                                   "P9 *  *  *  *  *  *  *  * +OU", "P+00KI", "+", "+0012KI", "'注釈:詰み"});
  g.progress.lines.clear();
  ASSERT_EQ(g.db.RegisterFromCsa(update, false), 1);
  EXPECT_EQ(g.progress.lines[0], "対局 E-F (対局番号=000000)を更新登録しました。");
  std::string text = g.Export(0);
  EXPECT_NE(text.find("'戦型:相掛かり\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n+0012KI\r\n'注釈:詰み\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("7776FU"), std::string::npos);
  // The even position lost a reference, the new one has one.
  PositionTable a;
  a.SetDirectory(dir);
  ASSERT_EQ(a.Open(), 0);
  uint32_t count = 0;
  BoardForm form;
  ASSERT_EQ(a.ReadPosition(PositionHash(BoardForm()) * 100, form, &count), 0);
  EXPECT_EQ(count, 1u);
  a.Close();

  // A number that names no game registers a new one, after saying so; forced new registration ignores it.
  g.progress.lines.clear();
  ASSERT_EQ(g.db.RegisterFromCsa(GameText({}, "G-H", "'対局番号:000077\r\n"), false), 1);
  EXPECT_EQ(g.progress.lines[0], "対局番号=000077 のレコードは登録されていません(10)。");
  EXPECT_EQ(g.progress.lines[1], "対局 G-H (対局番号=000002)を新規登録しました。");
  ASSERT_EQ(g.db.RegisterFromCsa(GameText({}, "I-J", "'対局番号:000000\r\n"), true), 1);
  EXPECT_EQ(g.Search("").size(), 4u);
}

TEST(GameRegistrationTest, ErrorsStopAndKeepEarlierGames) {
  const std::string dir = NewDatabase("errors");
  struct Case {
    std::string text;
    std::string message;
  };
  const std::string good = GameText({"+7776FU"}, "A-B") + "/\r\n";
  const Case cases[] = {
      {Crlf({"N+A", "N+B", "PI", "+"}), "対局者指定エラーです。(N+B)"},
      {Crlf({"V2.2", "$EVENT:順位戦", "X123", "PI", "+"}), "文法エラーです。(X123)"},
      {Crlf({"PI", "P5 *  *  *  * +XX *  *  *  * ", "+"}), "駒配置指定エラーです。(P5 *  *  *  * +XX *  *  *  * )"},
      {Crlf({"PI", "P+55OU", "+"}), "駒配置指定エラーです。(P+55OU)"},
      {Crlf({"PI", "+", "-"}), "手番指定エラーです。(-)"},
      {Crlf({"PI", "+", "+77"}), "指し手の形式が間違っています(+77)"},
      {Crlf({"PI", "+", "-3334FU"}), "指し手の手番が間違っています(-3334FU)"},
      {Crlf({"PI", "+", "+5554FU"}), "指し手の移動元が間違っています(+5554FU)"},
      {Crlf({"PI", "+", "+7776KI"}), "指し手の駒種が間違っています(+7776KI)"},
      {Crlf({"PI", "+", "+7978GI", "-4132KI", "+6978KI"}),
       "指し手の移動先が間違っています(+6978KI)"},
      {Crlf({"PI", "+", "+7775FU"}), "指し手が間違っています(+7775FU)"},
      {Crlf({"PI", "+", "+7776TO"}), "指し手が間違っています(+7776TO)"},
      {Crlf({"PI", "+", "+0055FU"}), "指し手の移動元が間違っています(+0055FU)"},
  };
  int registered = 0;
  for (const Case& c : cases) {
    GameDb g(dir);
    EXPECT_EQ(g.db.RegisterFromCsa(good + c.text + "/\r\n" + good, false), 1) << c.message;
    ++registered;
    ASSERT_EQ(g.messages.messages.size(), 1u) << c.message;
    EXPECT_EQ(g.messages.messages[0], c.message);
    EXPECT_EQ(g.Search("").size(), static_cast<size_t>(registered));
  }
  // A game over 2000 plies is refused whole.
  std::string text = Crlf({"P1 *  *  *  *  *  *  *  * -OU", "P9 *  *  *  *  *  *  *  * +OU", "+"});
  for (int i = 0; i < 1001; ++i) text += Crlf({"+1929OU", "-1121OU", "+2919OU", "-2111OU"});
  GameDb g(dir);
  EXPECT_EQ(g.db.RegisterFromCsa(text, false), 0);
  ASSERT_EQ(g.messages.messages.size(), 1u);
  EXPECT_EQ(g.messages.messages[0], "指し手登録に失敗しました。(99)");
  EXPECT_EQ(g.Search("").size(), static_cast<size_t>(registered));
}

TEST(GameRegistrationTest, TimesAnnotationsAndExport) {
  const std::string dir = NewDatabase("export");
  GameDb g(dir);
  const std::string text = Crlf({"'対局日:20240615", "'持時間:013000", "'手合:平手", "'注釈:対局注釈1", "'注釈:2行目",
                                 "N+山田", "N-鈴木", "PI", "+", "'注釈:開始局面", "+7776FU", "T75", "'注釈:定跡",
                                 "-3334FU,T5", "+8822UM", "T120", "-3122GI", "'注釈:悪手", "+0045KA,T0", "%TORYO",
                                 "'注釈:無視される"});
  ASSERT_EQ(g.db.RegisterFromCsa(text, false), 1);
  const std::string exported = g.Export(0);
  const std::vector<std::string> lines = Lines(exported);
  const std::vector<std::string> expected = {
      "'対局日:20240615", "'手合:平手", "'持時間:013000", "'試合結果:先手勝", "'手数:0005", lines[5], "'対局番号:000000",
      "'注釈:対局注釈1", "'注釈:2行目", "'注釈:開始局面", "N+山田", "N-鈴木", "PI", "+", "+7776FU,T75",
      "'注釈:定跡", "-3334FU,T5", "+8822UM,T120", "-3122GI", "'注釈:悪手", "+0045KA"};
  EXPECT_EQ(lines, expected) << exported;
  EXPECT_EQ(lines[5].rfind("'登録日時:", 0), 0u);  // %TORYO with gote to move: sente won
  // The time notes as stored.
  ItemDatabase::StoredItem item;
  ASSERT_EQ(g.db.ReadStored(0, item), 0);
  EXPECT_EQ(item.notes[1], "  1分15秒。\r\n定跡");
  EXPECT_EQ(item.notes[2], " 5秒。");
  EXPECT_EQ(item.notes[3], "  2分。");
  // Registering the export again updates the same game and changes nothing else.
  g.progress.lines.clear();
  ASSERT_EQ(g.db.RegisterFromCsa(exported, false), 1);
  EXPECT_EQ(g.progress.lines[0], "対局 山田-鈴木 (対局番号=000000)を更新登録しました。");
  std::vector<std::string> again = Lines(g.Export(0));
  again[4] = lines[4];
  EXPECT_EQ(again, lines);
}

TEST(GameRegistrationTest, BranchesKeepTheMainLine) {
  const std::string dir = NewDatabase("branches");
  GameDb g(dir);
  ASSERT_EQ(g.db.RegisterFromCsa(Crlf({"PI", "+", "+7776FU", "-3334FU", "+2726FU", "'手数目:2", "-8384FU", "-8485FU"}),
                                  false),
            1);
  EXPECT_NE(g.Export(0).find("+7776FU\r\n-3334FU\r\n+2726FU\r\n"), std::string::npos);
  EXPECT_EQ(g.Export(0).find("8384"), std::string::npos);
}

TEST(GameRegistrationTest, CurrentRecordRegistersItsSelectedLine) {
  const std::string dir = NewDatabase("document");
  GameDb g(dir);
  PlainBoard board;
  platform::RecordingMessageSink doc_messages;
  GameDocument doc(board, &doc_messages);
  Archive in = Archive::FromText(Crlf({"N+甲", "N-乙", "PI", "+", "+7776FU", "-3334FU", "'手数目:2", "-8384FU",
                                       "+2726FU", "'注釈:長い方"}));
  ASSERT_TRUE(doc.Serialize(in).ok());
  EXPECT_EQ(g.db.RegisterDocument(doc, true), -1);
  EXPECT_EQ(g.messages.messages.back(), "上書登録するには対局番号の指定が必要です。");
  ASSERT_EQ(g.db.RegisterDocument(doc, false), 0) << (g.messages.messages.empty() ? "" : g.messages.messages.back()) << g.progress.lines.size() << (g.progress.lines.empty() ? "" : g.progress.lines[0]);
  const std::string text = g.Export(0);
  EXPECT_NE(text.find("+7776FU\r\n-8384FU\r\n+2726FU\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("'注釈:長い方"), std::string::npos) << text;
  // Loaded back into a document, the game is the same line with its header.
  PlainBoard other;
  GameDocument loaded(other);
  ASSERT_EQ(g.db.LoadGame(0, loaded), 0);
  EXPECT_EQ(loaded.header().Players(), "甲-乙");
  EXPECT_EQ(loaded.board().SelectedLineLength(), 3);
  // Overwriting it by its number now works.
  doc.header().SetField(GameHeader::kGameNumber, "000000");
  g.progress.lines.clear();
  EXPECT_EQ(g.db.RegisterDocument(doc, true), 0);
  EXPECT_EQ(g.progress.lines[0], "対局 甲-乙 (対局番号=000000)を更新登録しました。");
}

TEST(GameSearchTest, ConditionsCommentsAndOrder) {
  const std::string dir = NewDatabase("conditions");
  GameDb g(dir);
  ASSERT_EQ(g.db.RegisterFromCsa(GameText({"+7776FU"}, "羽生-谷川", "'対局日:20230101\r\n'戦型:矢倉\r\n") + "/\r\n" +
                                      GameText({"+2726FU"}, "谷川-森内", "'対局日:20220101\r\n") + "/\r\n" +
                                      GameText({"+5756FU"}, "佐藤-羽生", "'対局日:20240101\r\n"),
                                  false),
            3);
  // The fields of GameText's own 対局日 line are replaced by the later line.
  EXPECT_EQ(g.Numbers(DefaultGameCondition()), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(g.Numbers("#only a comment\r\n  \r\n"), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(g.Numbers("対局者 matches \"羽生\" # the players\r\n"), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(g.Numbers("対局者 matches \"羽生\" and\r\n戦型 matches \"矢倉\" and\r\n"), (std::vector<int32_t>{0}));
  EXPECT_EQ(g.Numbers("order by 対局日"), (std::vector<int32_t>{1, 0, 2}));
  EXPECT_EQ(g.Numbers("対局者 matches \"谷川\" order by 対局日"), (std::vector<int32_t>{1, 0}));
  // With "order by" the position condition is not applied, and the user is told.
  PositionSpec spec;
  spec.mode = PositionSpec::kWhole;
  spec.target.SetLayout(8);
  EXPECT_EQ(g.Numbers("order by 対局日 desc", spec), (std::vector<int32_t>{2, 0, 1}));
  EXPECT_EQ(g.messages.messages.back(), "'order by' 指定があると「局面指定」は無効です");
  std::vector<ListEntry> out;
  EXPECT_NE(g.db.Search("対局者 equals \"x\"", {}, out), 0);
  EXPECT_EQ(g.messages.messages.back(), "検索条件が間違っています");
  EXPECT_NE(g.db.Search("order by 無い列", {}, out), 0);
  EXPECT_EQ(g.messages.messages.back(), "検索条件が間違っています");
}

TEST(GameRegistrationTest, TheRowCutsLongTextsAtCharacterBoundaries) {
  const std::string dir = NewDatabase("long_texts");
  GameDb g(dir);
  // Two 38-byte names and a 41-byte event: the document keeps them whole, the row cuts them.
  const std::string text = Crlf({"'棋戦名:a第七十三期名人戦七番勝負第七局二日目夕方", "N+羽生善治永世七冠十九世名人資格保持者",
                                 "N-藤井聡太竜王名人王位王座棋王王将棋聖", "PI", "+", "+7776FU"});
  ASSERT_EQ(g.db.RegisterFromCsa(text, false), 1);
  PlainBoard board;
  GameDocument loaded(board);
  ASSERT_EQ(g.db.LoadGame(0, loaded), 0);
  EXPECT_EQ(loaded.header().Players(), "羽生善治永世七-藤井聡太竜王名");
  EXPECT_EQ(loaded.header().Field(GameHeader::kEvent), "a第七十三期名人戦七番勝負第七局二日目夕");  // 39 bytes
}

// A standard CSA file states its result only in its "%" line; the row keeps it, in 上手/下手 for a handicap.
TEST(GameRegistrationTest, TheEndingLineGivesTheResultTheHeaderLacks) {
  const std::string dir = NewDatabase("endings");
  GameDb g(dir);
  const std::string text = Crlf({"PI", "+", "+7776FU", "-3334FU", "%TORYO", "/", "PI82HI", "-", "-3334FU", "%TORYO",
                                 "/", "PI", "+", "+7776FU", "%CHUDAN", "/", "'試合結果:先手勝", "PI", "+", "%TORYO"});
  ASSERT_EQ(g.db.RegisterFromCsa(text, false), 4);
  EXPECT_EQ(g.Numbers("試合結果 = \"後手勝\""), std::vector<int32_t>{0});
  EXPECT_EQ(g.Numbers("試合結果 = \"上手勝\""), std::vector<int32_t>{1});
  EXPECT_EQ(g.Numbers("試合結果 = \"中断\""), std::vector<int32_t>{2});
  EXPECT_EQ(g.Numbers("試合結果 = \"先手勝\""), std::vector<int32_t>{3});
}

}  // namespace
}  // namespace shogidb
