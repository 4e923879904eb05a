// Records from elsewhere: KIF and KI2 files opened as games, and text pasted from other programs.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/message_sink.h"
#include "platform/text_codec.h"
#include "record/foreign_record.h"
#include "rules/notation.h"
#include "tests/record/record_test_util.h"

using namespace record;

namespace {

const std::string kKif = Crlf({"手合割：平手", "先手：先手の人", "後手：後手の人", "手数----指手---------消費時間--",
                                "   1 ７六歩(77)   ( 0:01/00:00:01)", "   2 ３四歩(33)   ( 0:01/00:00:02)",
                                "   3 ２二角成(88) ( 0:01/00:00:03)", "   4 同　銀(31)   ( 0:01/00:00:04)",
                                "   5 投了", "", "変化：2手", "   2 ８四歩(83)   ( 0:01/00:00:02)"});
const std::string kKi2 = Crlf({"手合割：平手", "先手：先手の人", "後手：後手の人", "",
                                "▲７六歩    △３四歩    ▲２二角成  △同　銀", "まで4手で後手の勝ち"});

std::string MainLine(const rules::Position& board) {
  std::string line;
  for (const rules::MoveNode* n = board.root()->child; n; n = n->child) line += rules::CsaMoveText(n->move) + " ";
  return line;
}

struct Game {
  platform::RecordingMessageSink messages;
  PlainBoard board;
  GameDocument doc{board, &messages};
};

TEST(ForeignRecord, DetectsEachKindByItsLines) {
  EXPECT_EQ(DetectRecordText(kKif), RecordTextKind::kKakinoki);
  EXPECT_EQ(DetectRecordText(kKi2), RecordTextKind::kKakinoki);
  EXPECT_EQ(DetectRecordText(Crlf({"'棋戦名:x", "PI", "+", "+7776FU"})), RecordTextKind::kCsa);
  EXPECT_EQ(DetectRecordText(Crlf({"+7776FU", "-3334FU"})), RecordTextKind::kCsa);
  EXPECT_EQ(DetectRecordText(Crlf({"今日は 7 六歩と指した", "メモ：何もない"})), RecordTextKind::kNotRecord);
  EXPECT_EQ(DetectRecordText(""), RecordTextKind::kNotRecord);
}

TEST(ForeignRecord, KifAndKi2ReadToTheSameMainLineWithBranches) {
  Game kif, ki2;
  ASSERT_TRUE(ReadKakinokiGame(kKif, "a.kif", kif.doc));
  ASSERT_TRUE(ReadKakinokiGame(kKi2, "a.ki2", ki2.doc));
  EXPECT_EQ(MainLine(kif.board), "+7776FU -3334FU +8822UM -3122GI ");
  EXPECT_EQ(MainLine(ki2.board), MainLine(kif.board));
  EXPECT_EQ(kif.board.root()->child->ChildCount(), 2);  // the variation to move 2
  EXPECT_TRUE(kif.messages.messages.empty());
}

TEST(ForeignRecord, Utf8WithTurnMarksOfWebSites) {
  Game g;
  const std::string utf8 = platform::Cp932ToUtf8(kKi2);
  std::string marks = utf8;
  for (size_t at; (at = marks.find("\xE2\x96\xB2")) != std::string::npos;) marks.replace(at, 3, "\xE2\x98\x97");
  for (size_t at; (at = marks.find("\xE2\x96\xB3")) != std::string::npos;) marks.replace(at, 3, "\xE2\x98\x96");
  ASSERT_TRUE(ReadPastedRecord(marks, g.doc));
  EXPECT_EQ(MainLine(g.board), "+7776FU -3334FU +8822UM -3122GI ");
}

TEST(ForeignRecord, NotARecordChangesNothingAndSaysWhy) {
  Game g;
  PlayCsa(g.board, "+7776FU");
  EXPECT_FALSE(ReadPastedRecord("hello", g.doc));
  EXPECT_FALSE(ReadKakinokiGame(Crlf({"メモ：x"}), "m.kif", g.doc));
  ASSERT_EQ(g.messages.messages.size(), 2u);
  EXPECT_EQ(g.messages.messages[0], "クリップボードの内容は棋譜ではありません。");
  EXPECT_EQ(g.messages.messages[1], "柿木形式の棋譜ではありません。");
  EXPECT_EQ(MainLine(g.board), "+7776FU ");
}

TEST(ForeignRecord, PastedCsaOfOtherProgramsKeepsItsHeader) {
  Game g;
  ASSERT_TRUE(ReadPastedRecord(Crlf({"V2.2", "N+sente", "N-gote", "$EVENT:名人戦", "$SITE:東京", "PI", "+",
                                     "+7776FU", "T1", "-3334FU", "%TORYO"}),
                               g.doc));
  EXPECT_TRUE(g.messages.messages.empty()) << g.messages.messages.front();
  EXPECT_EQ(MainLine(g.board), "+7776FU -3334FU ");
  EXPECT_NE(WriteDoc(g.doc).find("'棋戦名:名人戦"), std::string::npos);
  EXPECT_NE(WriteDoc(g.doc).find("SITE:東京"), std::string::npos);
}

// Every Kakinoki file of the test data, pasted as it stands (CP932 or UTF-8), reads to the main line its
// .expected file lists: detection sends each to the right reader.
TEST(ForeignRecord, EveryTestDataFilePastesToItsMainLine) {
  const std::string dir = TestDataDir();
  if (dir.empty()) GTEST_SKIP() << "no test data";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir + "/kifu")) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".kif" && ext != ".kifu" && ext != ".ki2" && ext != ".csa") continue;
    std::filesystem::path expected_path = entry.path();
    std::string bytes, expected;
    ASSERT_TRUE(platform::ReadWholeFile(entry.path().string(), bytes));
    ASSERT_TRUE(platform::ReadWholeFile(expected_path.replace_extension(".expected").string(), expected));
    std::string main_line;
    for (char c : expected) {
      if (c != '\r') main_line += c == '\n' ? ' ' : c;
    }
    Game g;
    ASSERT_TRUE(ReadPastedRecord(bytes, g.doc)) << entry.path();
    EXPECT_EQ(MainLine(g.board), main_line) << entry.path();
    ++files;
  }
  EXPECT_EQ(files, 72);
}

}  // namespace
