// Print texts, wrapped text, page breaks, the mail text and the two-column layout.
#include <gtest/gtest.h>

#include "record/print_lines.h"
#include "tests/record/record_test_util.h"

using namespace rules;
using namespace record;

namespace {

// Plays n moves of knights and rooks shuffling (legal for either side for as long as needed).
void PlayShuffle(RecordBoard& board, int n) {
  const char* const moves[] = {"+2838HI", "-8272HI", "+3828HI", "-7282HI"};
  for (int i = 0; i < n; ++i) PlayCsa(board, moves[i % 4]);
  board.GoToStart();
}

class GamePrint : public testing::Test {
 protected:
  std::string Text() { return doc.GetRecordText(); }
  PlainBoard board;
  GameDocument doc{board};
};

TEST_F(GamePrint, HeaderBlockMovesAndAnnotations) {
  GameHeader& h = doc.header();
  h.SetField(GameHeader::kGameNumber, "000012");
  h.SetField(GameHeader::kRegistered, "20240110123456");
  h.SetField(GameHeader::kDate, "20240110");
  h.SetField(GameHeader::kEvent, "竜王戦");
  h.SetField(GameHeader::kTimeLimit, "050000");
  h.SetField(GameHeader::kByoyomi, "60");
  h.SetField(GameHeader::kHandicap, "平手");
  h.SetField(GameHeader::kResult, "先手勝");
  std::string sente = "羽生", gote = "谷川";
  h.SetPlayers(&sente, &gote);
  h.AppendAnnotationLine("名局");
  PlayCsa(board, "+7776FU");
  board.AddAnnotation(board.current(), "12分。好手");
  PlayCsa(board, "-3334FU");
  board.AddAnnotation(board.current(), "3分20秒。");
  PlayCsa(board, "+2726FU");
  board.GoToStart();
  EXPECT_EQ(Text(), Crlf({"========================================",
                          "【 対局番号: 000012   登録日時: 24/01/10 12:34:56 】",
                          "対局日: 24/01/10   棋戦名: 竜王戦",
                          "先手: 羽生 ",
                          "後手: 谷川 ",
                          "手合: 平手     持時間: 05:00:00   秒読: 60",
                          "手数: 0003手  先手勝",
                          "先手残時間:            後手残時間:         ",
                          "戦型: ",
                          "対局場所: ",
                          "対局注釈: ------------",
                          "名局",
                          "",
                          "指し手: ------------",
                          "    先手                      後手",
                          "  1 先手７六歩  12分        2 後手３四歩  3分",
                          "  3 先手２六歩            ",
                          "",
                          "指手注釈: ------------",
                          "  1手目: 好手"}));
}

TEST_F(GamePrint, WithoutMovesThereIsNoMoveSection) {
  const std::string text = Text();
  EXPECT_EQ(text.find("指し手:"), std::string::npos);
  EXPECT_EQ(text.find("指手注釈:"), std::string::npos);
  EXPECT_NE(text.find("手数: ?手"), std::string::npos);
  EXPECT_EQ(text.find("開始局面"), std::string::npos);  // the even position is not shown
}

TEST_F(GamePrint, TwentyOneMoves) {
  PlayShuffle(board, 21);
  const std::vector<std::string> lines = Lines(Text());
  const auto heading = std::find(lines.begin(), lines.end(), "指し手: ------------");
  ASSERT_NE(heading, lines.end());
  const std::vector<std::string> moves(heading + 2, lines.end());
  ASSERT_EQ(moves.size(), 13u);  // ten rows, the blank after move 20, move 21 closed, one more blank
  EXPECT_EQ(moves[9].substr(0, 3), " 19");
  EXPECT_EQ(moves[10], "");
  EXPECT_EQ(moves[11].substr(0, 3), " 21");
  EXPECT_EQ(moves[12], "");
}

TEST_F(GamePrint, AHandicapStartIsShownWithItsLabels) {
  board.SetUp(3);
  board.SetSideToMove(kGote);
  board.BeginRecord();
  PlayCsa(board, "-5142OU");
  board.GoToStart();
  const std::string text = Text();
  EXPECT_NE(text.find("開始局面: ------------\r\n上手持駒：なし\r\n"), std::string::npos);
  EXPECT_NE(text.find("下手持駒：なし\r\n\r\n"), std::string::npos);
  EXPECT_NE(text.find("    上手                      下手\r\n  1 後手４二玉"), std::string::npos);
}

TEST_F(GamePrint, PagesEndWithFormFeeds) {
  PlayShuffle(board, 6);
  const std::string text = doc.GetRecordText(72, 5, true);
  const std::vector<std::string> pages = [&] {
    std::vector<std::string> p;
    size_t start = 0;
    for (size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
      p.push_back(text.substr(start, ff - start));
      start = ff + 1;
    }
    EXPECT_EQ(start, text.size());  // the text ends with a form feed
    return p;
  }();
  ASSERT_GT(pages.size(), 2u);
  for (size_t i = 0; i + 1 < pages.size(); ++i) EXPECT_EQ(std::count(pages[i].begin(), pages[i].end(), '\n'), 5);
  EXPECT_EQ(doc.print_state().line, 0);
  EXPECT_EQ(doc.GetRecordText().find('\f'), std::string::npos);
}

TEST(TsumePrint, ProblemHeaderAndTheRestOfThePiecesInGotesHand) {
  PlainBoard board;
  ProblemDocument doc(board);
  ReadDoc(doc, Crlf({"'表題:第一番", "P1 *  *  *  *  *  *  *  * -OU", "P+00KI", "P-00AL", "+", "+0012KI"}));
  doc.header().SetProblemPosition("00001234");
  const std::string text = doc.GetRecordText();
  EXPECT_EQ(text.substr(0, text.find("  ９")),
            Crlf({"========================================", "【 詰将棋番号:    登録日時:                   】",
                  "表題: 第一番", "作者: 作者不詳", "難易度: ", "ヒント: ", "詰手数: 0001", "出題図: 00001234",
                  "出題局面: ------------", "受方持駒：残り全部"}));
  EXPECT_NE(text.find("攻方持駒：金 \r\n\r\n指し手: ------------\r\n    攻方                      受方\r\n"),
            std::string::npos);
}

TEST(WrappedText, PiecesNeverSplitACharacterAndCarryThePrefix) {
  Archive ar = Archive::ToMemory();
  PrintState state;
  PrintLines out(ar, state);
  out.Text("  1手目: ");
  WriteWrappedText(out, "abcdefghij\r\nあいうえお", 15, "         ");  // six bytes per piece
  EXPECT_EQ(ar.text(), "  1手目: abcdef\r\n         ghij\r\n         あいう\r\n         えお\r\n");
  EXPECT_EQ(state.line, 4);
  Archive odd = Archive::ToMemory();
  PrintLines out2(odd, state);
  WriteWrappedText(out2, "aあいう", 4, "");  // a cut inside い moves one byte earlier
  EXPECT_EQ(odd.text(), "aあ\r\nいう\r\n");
  Archive narrow = Archive::ToMemory();
  PrintLines out3(narrow, state);
  WriteWrappedText(out3, "abc", 5, "12345678");  // never fewer than 2 bytes a piece
  EXPECT_EQ(narrow.text(), "ab\r\n12345678c\r\n");
}

TEST(TimeNotes, MinutesOrMinutesAndSecondsAtTheStart) {
  std::string rest;
  EXPECT_EQ(SplitTimeNote("12分。好手", &rest), "12分");
  EXPECT_EQ(rest, "好手");
  EXPECT_EQ(SplitTimeNote("1分30秒。", &rest), "1分");
  EXPECT_EQ(rest, "");
  EXPECT_EQ(SplitTimeNote("好手12分。", &rest), "");
  EXPECT_EQ(rest, "好手12分。");
  EXPECT_EQ(SplitTimeNote("1234567分。", &rest), "");  // the 。 lies beyond the first ten bytes
}

TEST(MailText, AtTheStartAndAfterMoves) {
  PlainBoard board;
  GameDocument doc(board);
  std::string sente = "羽生", gote = "谷川";
  doc.header().SetPlayers(&sente, &gote);
  const std::vector<std::string> start = Lines(doc.MailPositionText());
  EXPECT_EQ(start.front(), "題名：よろしくお願いいたします。");
  EXPECT_EQ(start[1], "後手：谷川");
  EXPECT_EQ(start[2], "後手持駒：なし");
  EXPECT_EQ(start[start.size() - 2], "先手：羽生");
  EXPECT_EQ(start.back(), "開始局面 まで");
  PlayCsa(board, "+7776FU");
  EXPECT_EQ(Lines(doc.MailPositionText()).front(), "題名：初手、▲７六歩 です。");
  EXPECT_EQ(Lines(doc.MailPositionText()).back(), "初手 ▲７六歩 まで");
  PlayCsa(board, "-3334FU");
  EXPECT_EQ(Lines(doc.MailPositionText()).front(), "題名：第2手、▲７六歩に△３四歩です。");
  EXPECT_EQ(Lines(doc.MailPositionText()).back(), "第2手 △３四歩 まで");
}

TEST(TwoColumns, MoveRowsInBlocksOfTen) {
  PlainBoard board;
  GameDocument doc(board);
  PlayShuffle(board, 50);
  board.GoToStart();
  PlayShuffle(board, 1);
  const std::string text = doc.GetRecordText();
  const std::vector<std::string> lines = Lines(TwoColumnLayout(text));
  const auto heading = std::find(lines.begin(), lines.end(), "指し手: ------------");
  ASSERT_NE(heading, lines.end());
  EXPECT_EQ(heading[1].size(), 34u + 18u + 34u);
  EXPECT_EQ(heading[2].substr(0, 3), "  1");
  EXPECT_EQ(heading[2].substr(52, 3), " 21");  // rows 11..20 stand beside rows 1..10
  EXPECT_EQ(heading[2].size(), 103u);
  EXPECT_EQ(heading[11].substr(52, 3), " 39");
  EXPECT_EQ(heading[12], "");
  EXPECT_EQ(heading[13].substr(0, 3), " 41");  // the last block has no right column
  EXPECT_EQ(heading[13].size(), 51u);
  // Without moves the text stays as it was.
  PlainBoard empty_board;
  GameDocument empty(empty_board);
  EXPECT_EQ(TwoColumnLayout(empty.GetRecordText()), empty.GetRecordText());
}

}  // namespace
