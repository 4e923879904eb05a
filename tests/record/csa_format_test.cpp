// Game (CSA) and tsume (PCL) text: the exact lines written, round trips, and the reader's edge cases.
#include <gtest/gtest.h>

#include "platform/message_sink.h"
#include "record/csa_body.h"
#include "record/csa_position_lines.h"
#include "rules/notation.h"
#include "tests/record/record_test_util.h"
#include "tests/support/test_position.h"

using namespace rules;
using namespace record;

namespace {

const char kEvenBody[] =
    "'初期局面\r\n"
    "P1-KY-KE-GI-KI-OU-KI-GI-KE-KY\r\n"
    "P2 * -HI *  *  *  *  * -KA * \r\n"
    "P3-FU-FU-FU-FU-FU-FU-FU-FU-FU\r\n"
    "P4 *  *  *  *  *  *  *  *  * \r\n"
    "P5 *  *  *  *  *  *  *  *  * \r\n"
    "P6 *  *  *  *  *  *  *  *  * \r\n"
    "P7+FU+FU+FU+FU+FU+FU+FU+FU+FU\r\n"
    "P8 * +KA *  *  *  *  * +HI * \r\n"
    "P9+KY+KE+GI+KI+OU+KI+GI+KE+KY\r\n";

class GameText : public testing::Test {
 protected:
  platform::RecordingMessageSink messages;
  PlainBoard board;
  GameDocument doc{board, &messages};
};

TEST_F(GameText, WritesTheDocumentedLines) {
  doc.header().SetField(GameHeader::kDate, "20240110");
  doc.header().SetField(GameHeader::kEvent, "練習");
  doc.header().AppendAnnotationLine("対局の注釈");
  std::string sente = "羽生", gote = "谷川";
  doc.header().SetPlayers(&sente, &gote);
  PlayCsa(board, "+7776FU");
  board.AddAnnotation(board.current(), "好手");
  PlayCsa(board, "-3334FU");
  board.StepBack();
  PlayCsa(board, "-8384FU");
  board.GoToStart();

  EXPECT_EQ(WriteDoc(doc), Crlf({"'----------------------------------------", "'対局日:20240110", "'手数:0002",
                                 "'棋戦名:練習", "'注釈:対局の注釈", "N+羽生", "N-谷川"}) +
                               kEvenBody +
                               Crlf({"'手番", "+", "'以下手順", "+7776FU", "'注釈:好手", "-3334FU", "'手数目:2",
                                     "-8384FU"}));
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(GameText, ReadingRebuildsTheTreeAndWritingAgainGivesTheSameBytes) {
  PlayCsa(board, "+7776FU");
  PlayCsa(board, "-3334FU");
  PlayCsa(board, "+2726FU");
  board.StepBack();
  board.StepBack();
  PlayCsa(board, "-8384FU");
  board.AddAnnotation(board.current(), "分岐");
  board.GoToStart();
  PlayCsa(board, "+2726FU");
  board.GoToStart();
  doc.SetReversed(1);
  const std::string text = WriteDoc(doc);

  PlainBoard other;
  GameDocument again(other, &messages);
  ASSERT_TRUE(ReadDoc(again, text).ok());
  EXPECT_EQ(again.reversed(), 1);
  EXPECT_EQ(other.depth(), 0);
  EXPECT_EQ(other.root()->ChildCount(), 2);
  ASSERT_EQ(other.root()->child->ChildCount(), 2);
  EXPECT_EQ(other.root()->child->child->ChildCount(), 1);
  EXPECT_EQ(*other.Annotation(other.root()->child->ChildAt(1), 0), "分岐");
  EXPECT_EQ(again.header().Field(GameHeader::kMoveCount), "0003");
  EXPECT_EQ(WriteDoc(again), text);
  EXPECT_EQ(other.CheckConsistency(), "");
}

TEST_F(GameText, HandicapGoteToMoveHandsAndPromotedPiecesRoundTrip) {
  board.SetUp(5);  // ２枚落: the two pieces go to the box
  board.SetSideToMove(kGote);
  board.BeginRecord();
  PlayCsa(board, "-5142OU");
  PlayCsa(board, "+7776FU");
  PlayCsa(board, "-4232OU");
  const std::string text = WriteDoc(doc);
  EXPECT_NE(text.find("P2 *  *  *  *  *  *  *  *  * \r\n"), std::string::npos);
  EXPECT_NE(text.find("'手番\r\n-\r\n'以下手順\r\n-5142OU\r\n"), std::string::npos);

  PlainBoard other;
  GameDocument again(other, &messages);
  ASSERT_TRUE(ReadDoc(again, text).ok());
  EXPECT_EQ(other.store(kPieceBox).total(), 2);
  EXPECT_EQ(other.side_to_move(), kGote);
  EXPECT_EQ(WriteDoc(again), text);
  std::string sente, gote;
  EXPECT_EQ(again.GetSideNames(other, sente, gote), kHandicapLabels);
  EXPECT_EQ(sente + gote, "下手上手");
}

TEST(RandomRecords, WriteReadWriteGivesTheSameBytes) {
  std::mt19937 rng(20240110);
  for (int round = 0; round < 40; ++round) {
    PlainBoard board;
    GameDocument doc(board);
    if (round % 2) {
      SetRandomPosition(board, rng);
      board.SetSideToMove(SideOfBit(static_cast<int>(rng() % 2)));
    }
    BuildRandomRecord(board, rng, 10 + round, round % 5);
    doc.SetReversed(round % 3 == 0);
    const std::string text = WriteDoc(doc);

    PlainBoard other;
    GameDocument again(other);
    const DocumentResult r = ReadDoc(again, text);
    ASSERT_TRUE(r.ok()) << r.body.bad_line << "\n" << text;
    EXPECT_EQ(other.initial_form(), board.initial_form());
    ASSERT_EQ(WriteDoc(again), text) << round;
    EXPECT_EQ(other.CheckConsistency(), "");
    EXPECT_EQ(other.SelectedLineLength(), board.SelectedLineLength());
  }
}

TEST(RandomRecords, TsumeDocumentsRoundTripToo) {
  std::mt19937 rng(7);
  for (int round = 0; round < 10; ++round) {
    PlainBoard board;
    ProblemDocument doc(board);
    SetRandomPosition(board, rng);
    BuildRandomRecord(board, rng, 7, 3);
    doc.header().SetField(ProblemHeader::kTitle, "第" + std::to_string(round) + "番");
    doc.header().AppendAnnotationLine("作意");
    const std::string text = WriteDoc(doc);
    PlainBoard other;
    ProblemDocument again(other);
    ASSERT_TRUE(ReadDoc(again, text).ok());
    EXPECT_EQ(WriteDoc(again), text);
  }
}

// Files of the standard CSA format, as other programs and game servers write them: the version line and
// the "$" lines are taken, the known keys fill our fields, and the players are read.
TEST_F(GameText, StandardFormatHeadersAreTakenAndFillTheFields) {
  const std::string text = Crlf({"V2.2", "N+鈴木 一郎", "N-佐藤花子", "$EVENT:竜王戦,第1局", "$SITE:東京",
                                 "$START_TIME:2024/01/10 10:00:00", "$TIME_LIMIT:05:00+60", "$OPENING:相掛かり",
                                 "$END_TIME:2024/01/10 18:00:00", "'対局場所:将棋会館", "PI", "+", "+7776FU", "T12",
                                 "-3334FU", "T3", "%TORYO"});
  const DocumentResult r = ReadDoc(doc, text);
  EXPECT_EQ(r.header, HeaderStatus::kOk);
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(doc.header().Players(), "鈴木 一郎-佐藤花子");
  EXPECT_EQ(doc.header().Field(GameHeader::kEvent), "竜王戦,第1局");
  EXPECT_EQ(doc.header().Field(GameHeader::kPlace), "将棋会館");  // the later line of ours wins
  EXPECT_EQ(doc.header().Field(GameHeader::kDate), "20240110");
  EXPECT_EQ(doc.header().Field(GameHeader::kTimeLimit), "050000");
  EXPECT_EQ(doc.header().Field(GameHeader::kByoyomi), "60");
  EXPECT_EQ(doc.header().Field(GameHeader::kOpening), "相掛かり");
  EXPECT_EQ(board.SelectedLineLength(), 2);

  // A start time without a date, or a limit our fields cannot hold, leaves the fields alone.
  ReadDoc(doc, Crlf({"V2", "$START_TIME: 10:00:00", "$TIME_LIMIT:99:00+0", "PI", "+"}));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(doc.header().Field(GameHeader::kDate), "");
  EXPECT_EQ(doc.header().Field(GameHeader::kTimeLimit), "");
  EXPECT_EQ(doc.header().Field(GameHeader::kByoyomi), "00");
}

TEST_F(GameText, AnUnknownHeaderLineIsASyntaxErrorButTheBodyIsRead) {
  const std::string text = Crlf({"'対局日:20240110", "X2.2", "'棋戦名:練習", "N+a", "PI", "+", "+7776FU", "-3334FU"});
  const DocumentResult r = ReadDoc(doc, text);
  EXPECT_EQ(r.header, HeaderStatus::kSyntaxError);
  EXPECT_EQ(messages.messages, std::vector<std::string>{"文法エラーです。(X2.2)"});
  EXPECT_EQ(doc.header().Field(GameHeader::kDate), "20240110");
  EXPECT_EQ(doc.header().Field(GameHeader::kEvent), "");
  EXPECT_EQ(doc.header().Players(), "対局者不詳-対局者不詳");
  EXPECT_EQ(board.SelectedLineLength(), 2);
  EXPECT_EQ(doc.header().Field(GameHeader::kMoveCount), "0002");
}

TEST_F(GameText, ASecondNameLineIsAPlayerError) {
  const DocumentResult r = ReadDoc(doc, Crlf({"N+a", "N-b", "N+c", "PI", "+"}));
  EXPECT_EQ(r.header, HeaderStatus::kPlayerError);
  EXPECT_EQ(messages.messages, std::vector<std::string>{"対局者指定エラーです。(N+c)"});
  EXPECT_EQ(doc.header().Players(), "a-b");
}

TEST_F(GameText, NamesAreSetTogetherSoALongNameSurvivesTheRoundTrip) {
  const std::string sente = "一二三四五六七八九十", gote = "abcdef";  // 20 + 6 bytes fit in 28
  ReadDoc(doc, Crlf({"N+" + sente, "N-" + gote, "PI", "+"}));
  EXPECT_EQ(doc.header().SenteName(), sente);
  EXPECT_EQ(doc.header().GoteName(), gote);
}

TEST_F(GameText, AHyphenInANameCannotMovePartOfItToTheOtherSide) {
  ReadDoc(doc, Crlf({"N+user-name", "N-other", "PI", "+"}));
  EXPECT_EQ(doc.header().SenteName(), "user－name");
  EXPECT_EQ(doc.header().GoteName(), "other");
  // An empty name line names nobody.
  ReadDoc(doc, Crlf({"N+", "N-b", "PI", "+"}));
  EXPECT_EQ(doc.header().Players(), "対局者不詳-b");
}

TEST_F(GameText, AnEmptySenteNameWritesOnlyTheGoteLine) {
  doc.header().SetPlayersText("-谷川");
  const std::vector<std::string> lines = Lines(WriteDoc(doc));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "N-谷川"), 1);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("N+", 0) == 0; }), 0);
}

TEST_F(GameText, AnAnnotationBeforeTheFirstMoveAnnotatesTheStartAndTheGame) {
  ReadDoc(doc, Crlf({"'注釈:前書き", "PI", "+", "'以下手順", "'注釈:開始局面について", "+7776FU"}));
  EXPECT_EQ(doc.header().Annotation(), "前書き\r\n開始局面について\r\n");
  ASSERT_NE(board.Annotation(board.root(), 0), nullptr);
  EXPECT_EQ(*board.Annotation(board.root(), 0), "開始局面について");
  // The annotation lines of moves are not the game's.
  ReadDoc(doc, Crlf({"PI", "+", "+7776FU", "'注釈:一手目"}));
  EXPECT_EQ(doc.header().Annotation(), "");
}

TEST_F(GameText, PositionLines) {
  // "00AL" after the ranks gives gote every remaining non-king piece, as tsume files do.
  ReadDoc(doc, Crlf({"P1 *  *  *  *  *  *  * -OU * ", "P2 *  *  *  *  *  *  *  *  * ", "P3 *  *  *  *  *  * +TO *  * ",
                     "P+00HI00KI", "P-00AL", "+"}));
  EXPECT_EQ(board.HandCount(kSente, HI), 1);
  EXPECT_EQ(board.HandCount(kSente, KI), 1);
  EXPECT_EQ(board.HandCount(kGote, HI), 1);
  EXPECT_EQ(board.HandCount(kGote, KI), 3);
  EXPECT_EQ(board.HandCount(kGote, FU), 17);
  EXPECT_EQ(board.store(kPieceBox).total(), 1);  // sente's king
  EXPECT_TRUE(board.PieceAt(Sq(3, 3))->promoted());
  EXPECT_EQ(board.PieceAt(Sq(3, 3))->side(), kSente);

  // A third sente rook is ignored, not replaced by another piece.
  ReadDoc(doc, Crlf({"P1+HI+HI+HI *  *  *  *  *  * ", "+"}));
  EXPECT_EQ(board.PieceAt(Sq(7, 1)), nullptr);
  EXPECT_EQ(board.store(kPieceBox).total(), 38);

  // PI with pieces removed, and side "-".
  ReadDoc(doc, Crlf({"PI82HI22KA", "-"}));
  EXPECT_EQ(board.PieceAt(Sq(8, 2)), nullptr);
  EXPECT_EQ(board.PieceAt(Sq(2, 2)), nullptr);
  EXPECT_EQ(board.store(kPieceBox).total(), 2);
  EXPECT_EQ(board.side_to_move(), kGote);
  EXPECT_EQ(board.CheckConsistency(), "");
}

// The one reader of position lines under its two policies: what a document takes, registration refuses;
// a line that does not read is refused by both.
TEST(PositionLineReader, LenientTakesWhatItCanStrictRefuses) {
  struct Case {
    std::vector<const char*> lines;
    bool strict_ok;
    const char* lenient_form;  // the position lines a document ends up with; null: refused as well
  };
  const Case cases[] = {
      {{"P1 *  *  *  *  *  *  *  * -OU", "P+00FU00FU"}, true, "P1 *  *  *  *  *  *  *  * -OU|P+00FU00FU"},
      {{"P1-OU", "P1+OU"}, false, "P1+OU *  *  *  *  *  *  *  * "},  // a square given twice keeps the later
      {{"P+00TO"}, false, "P+00FU"},                                // a piece in hand is unpromoted
      {{"P+00OU"}, false, "P+00OU"},                                // a king in hand is taken as given
      {{"PI55FU"}, false, "P1-KY-KE-GI-KI-OU-KI-GI-KE-KY"},         // a removal of no such piece changes nothing
      {{"P+55KA00"}, false, nullptr},                               // a group cut short
      {{"P1-XX+OU"}, false, nullptr},                               // an unknown code
      {{"P8 * +KA * * * * * +HI *"}, false, nullptr},               // cells out of shape
      {{"P9 *  *  *  *  *  *  *  *  *  * "}, false, nullptr},       // ten cells
      {{"P+00AL"}, true, "P+00HI00HI00KA00KA00KI00KI00KI00KI00GI00GI00GI00GI00KE00KE00KE00KE00KY00KY00KY00KY"
                         "00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU00FU"},
  };
  for (const Case& c : cases) {
    BoardForm::Expanded strict, lenient;
    bool ok = true, lenient_ok = true;
    for (const char* line : c.lines) {
      ok = ok && ApplyCsaPositionLine(line, CsaPolicy::kStrict, strict);
      lenient_ok = lenient_ok && ApplyCsaPositionLine(line, CsaPolicy::kLenient, lenient);
    }
    EXPECT_EQ(ok, c.strict_ok) << c.lines[0];
    EXPECT_EQ(lenient_ok, c.lenient_form != nullptr) << c.lines[0];
    if (!c.lenient_form) continue;
    BoardForm form;
    form.Encode(lenient);
    std::string text;
    for (const std::string& line : CsaPositionLines(form)) {
      if (line.find_first_not_of(" *", 2) == std::string::npos) continue;  // empty ranks
      text += (text.empty() ? "" : "|") + line;
    }
    EXPECT_EQ(text.substr(0, std::string(c.lenient_form).size()), c.lenient_form) << c.lines[0];
  }
  EXPECT_TRUE(IsCsaPositionLine("Pi82HI", CsaPolicy::kLenient));
  EXPECT_FALSE(IsCsaPositionLine("Pi82HI", CsaPolicy::kStrict));
  EXPECT_FALSE(IsCsaPositionLine("PX", CsaPolicy::kLenient));
}

TEST_F(GameText, AGameWithoutMovesOrSeparatorIsAPositionWithAnEmptyTree) {
  EXPECT_TRUE(ReadDoc(doc, Crlf({"PI", "+"})).ok());
  EXPECT_EQ(board.root()->child, nullptr);
  EXPECT_EQ(doc.header().Field(GameHeader::kMoveCount), "");
}

TEST_F(GameText, TheFirstMoveMayStandWhereTheSideLineShould) {
  ReadDoc(doc, Crlf({"PI", "+7776FU", "-3334FU"}));
  EXPECT_EQ(board.SelectedLineLength(), 2);
}

TEST_F(GameText, TimeLinesAreIgnoredAndExtraCharactersAfterTheMove) {
  ReadDoc(doc, Crlf({"PI", "+", "+7776FU,T12", "T3", "-3334FU", "T4"}));
  EXPECT_EQ(board.SelectedLineLength(), 2);
}

// A standard CSA file states its result only in its last "%" line; a result the header gives stays, and
// the document never writes a "%" line itself.
TEST_F(GameText, TheEndingLineGivesTheResultTheHeaderLacks) {
  struct Case {
    std::string text;
    const char* result;
  };
  const Case cases[] = {
      {Crlf({"PI", "+", "+7776FU", "-3334FU", "%TORYO"}), "後手勝"},  // sente to move resigns
      {Crlf({"PI", "+", "+7776FU", "%TORYO,T3"}), "先手勝"},
      {Crlf({"PI", "+", "+7776FU", "%TIME_UP"}), "先手勝"},
      {Crlf({"PI", "+", "+7776FU", "-3334FU", "%KACHI"}), "先手勝"},  // the side to move declares the win
      {Crlf({"PI", "+", "+7776FU", "%-ILLEGAL_ACTION"}), "先手勝"},   // gote's foul
      {Crlf({"PI", "+", "+7776FU", "-3334FU", "%SENNICHITE"}), "千日手"},
      {Crlf({"PI", "+", "%CHUDAN"}), "中断"},
      {Crlf({"PI", "+", "+7776FU", "%JISHOGI"}), "持将棋"},
      {Crlf({"PI", "+", "+7776FU", "%ERROR"}), ""},
      {Crlf({"PI82HI", "-", "-3334FU", "%TORYO"}), "上手勝"},  // a handicap game names 上手 and 下手
      {Crlf({"'試合結果:先手勝", "PI", "+", "+7776FU", "-3334FU", "%TORYO"}), "先手勝"},
  };
  for (const Case& c : cases) {
    ReadDoc(doc, c.text);
    EXPECT_EQ(doc.header().Field(GameHeader::kResult), c.result) << c.text;
    EXPECT_EQ(WriteDoc(doc).find("%"), std::string::npos);
  }
}

// A position line that does not read is refused with the registration's message, not read in part.
TEST_F(GameText, APositionRowThatDoesNotReadStopsTheReading) {
  const DocumentResult r = ReadDoc(doc, Crlf({"PI", "P8 * +KA * * * * * +HI *", "+", "+7776FU", "/", "PI", "+"}));
  EXPECT_EQ(r.body.status, CsaBodyResult::kBadPosition);
  EXPECT_EQ(CsaBodyProblemText(r.body), "駒配置指定エラーです。(P8 * +KA * * * * * +HI *)");
  EXPECT_TRUE(r.body.game_end);  // the stream stands at the next game
  EXPECT_EQ(board.root()->child, nullptr);
}

TEST_F(GameText, ABadMoveStopsTheMovesAndKeepsThoseBefore) {
  const DocumentResult r = ReadDoc(doc, Crlf({"PI", "+", "+7776FU", "-3334FU", "+7775FU", "-2234KA"}));
  EXPECT_EQ(r.body.status, CsaBodyResult::kBadMove);
  EXPECT_EQ(r.body.bad_line, "+7775FU");  // 77 is empty after the first move
  EXPECT_EQ(board.SelectedLineLength(), 2);
  EXPECT_EQ(board.depth(), 0);
  // Each refusal says why, in the words of the database's registration.
  const std::pair<const char*, const char*> bad[] = {
      {"-7776FU", "指し手の手番が間違っています(-7776FU)"}, {"+8877KA", "指し手の移動先が間違っています(+8877KA)"},
      {"+0055FU", "指し手の移動元が間違っています(+0055FU)"}, {"+2858KA", "指し手の駒種が間違っています(+2858KA)"},
      {"+5958KI", "指し手の駒種が間違っています(+5958KI)"},   {"+7776F", "指し手の形式が間違っています(+7776F)"},
      {"+8833UM", "指し手が間違っています(+8833UM)"},        // the bishop would jump over the pawn on 7七
      {"+2726TO", "指し手が間違っています(+2726TO)"},        // no promotion outside the zone
  };
  for (const auto& [line, message] : bad) {
    const DocumentResult r = ReadDoc(doc, Crlf({"PI", "+", line}));
    EXPECT_EQ(r.body.bad_line, line);
    EXPECT_EQ(CsaBodyProblemText(r.body), message);
  }
}

TEST_F(GameText, BranchMarkersStepBackToTheMoveTheyName) {
  ReadDoc(doc, Crlf({"PI", "+", "+7776FU", "-3334FU", "+2726FU", "'手数目:1", "+2726FU", "'  手数目:2", "-8384FU"}));
  ASSERT_EQ(board.root()->ChildCount(), 2);
  EXPECT_EQ(board.root()->child->ChildCount(), 1);
  EXPECT_EQ(board.root()->child->child->ChildCount(), 1);
  ASSERT_EQ(board.root()->ChildAt(1)->ChildCount(), 1);
  EXPECT_EQ(CsaMoveText(board.root()->ChildAt(1)->child->move), "-8384FU");
}

// --- tsume documents ---------------------------------------------------------------------------

class TsumeText : public testing::Test {
 protected:
  platform::RecordingMessageSink messages;
  PlainBoard board;
  ProblemDocument doc{board, &messages};
};

const char kProblem[] =
    "P1 *  *  *  *  *  *  * -KE-KY\r\n"
    "P2 *  *  *  *  *  * -OU *  * \r\n"
    "P3 *  *  *  *  *  * -FU-FU * \r\n"
    "P+00KI00KI\r\n"
    "P-00AL\r\n"
    "+\r\n"
    "+0022KI\r\n"
    "-3222OU\r\n"  // a sham: the king takes
    "+0032KI\r\n";

TEST_F(TsumeText, NamesAreFixedAndTheMoveCountComesFromTheTree) {
  const std::string text = Crlf({"'作者:伊藤看寿", "'詰手数:0099", "N+羽生", "N-谷川"}) + kProblem;
  ASSERT_TRUE(ReadDoc(doc, text).ok());
  EXPECT_EQ(doc.header().Field(ProblemHeader::kMateLength), "0003");
  const std::string out = WriteDoc(doc);
  EXPECT_EQ(out.substr(0, out.find("'初期局面")),
            Crlf({"'----------------------------------------", "'作者:伊藤看寿", "'詰手数:0003", "N+攻方", "N-受方"}));
  std::string sente, gote;
  EXPECT_EQ(doc.GetSideNames(board, sente, gote), kProblemLabels);
  EXPECT_EQ(sente + gote, "攻方受方");
}

TEST_F(TsumeText, AHeaderErrorLoadsNothing) {
  ReadDoc(doc, kProblem);
  ASSERT_GT(board.SelectedLineLength(), 0);
  const DocumentResult r = ReadDoc(doc, Crlf({"'作者:x", "X2.2"}) + kProblem);
  EXPECT_FALSE(r.loaded);
  EXPECT_EQ(messages.messages, std::vector<std::string>{"文法エラーです。(X2.2)"});
  EXPECT_EQ(board.store(kPieceBox).total(), 40);
  EXPECT_EQ(board.root()->child, nullptr);
}

TEST_F(TsumeText, OneProblemThenSeparatorThenTheEnd) {
  Archive ar = Archive::FromText(std::string(kProblem) + "/\r\n");
  EXPECT_TRUE(doc.Serialize(ar).ok());
  EXPECT_EQ(board.SelectedLineLength(), 3);
  const DocumentResult again = doc.Serialize(ar);
  EXPECT_FALSE(again.loaded);
  EXPECT_EQ(board.SelectedLineLength(), 3);
}

TEST_F(TsumeText, ClearedHeaderNamesTheAuthorUnknownAndInvalidValuesAreIgnored) {
  ReadDoc(doc, Crlf({"'詰手数:12345", "'登録日時:2024", "'詰将棋番号:000012"}) + kProblem);
  EXPECT_EQ(doc.header().Field(ProblemHeader::kAuthor), "作者不詳");
  EXPECT_EQ(doc.header().Field(ProblemHeader::kRegistered), "");
  EXPECT_EQ(doc.header().Field(ProblemHeader::kProblemNumber), "000012");
}

TEST_F(GameText, SelectedLineOnlyWritesAndReadsTheMainLine) {
  PlayCsa(board, "+7776FU");
  PlayCsa(board, "-3334FU");
  board.StepBack();
  PlayCsa(board, "-8384FU");
  PlayCsa(board, "+2726FU");
  board.GoToStart();
  Archive out = Archive::ToMemory();
  doc.SerializeRecord(out, true);
  EXPECT_EQ(out.text().find("'手数目"), std::string::npos);
  EXPECT_NE(out.text().find("-8384FU\r\n+2726FU\r\n"), std::string::npos);
  EXPECT_EQ(board.root()->child->ChildCount(), 2);  // the document itself keeps everything

  PlainBoard other;
  GameDocument again(other);
  Archive in = Archive::FromText(WriteDoc(doc));
  again.SerializeRecord(in, true);
  EXPECT_EQ(other.root()->child->ChildCount(), 1);
  EXPECT_EQ(other.SelectedLineLength(), 3);
}

TEST_F(GameText, RecordCopyStartsAtTheCurrentPositionAndPasteAsksFirst) {
  PlayCsa(board, "+7776FU");
  PlayCsa(board, "-3334FU");
  PlayCsa(board, "+2726FU");
  board.GoToStart();
  board.StepForward();
  const std::string copied = doc.CopyRecordText();
  const std::string tail = "'手番\r\n-\r\n'以下手順\r\n-3334FU\r\n+2726FU\r\n";
  ASSERT_GT(copied.size(), tail.size());
  EXPECT_EQ(copied.substr(copied.size() - tail.size()), tail);
  EXPECT_NE(copied.find("P6 *  * +FU *  *  *  *  *  * \r\nP7+FU+FU * +FU"), std::string::npos);

  PlainBoard other;
  GameDocument target(other, &messages);
  target.header().SetField(GameHeader::kEvent, "x");
  messages.answers = {platform::Answer::kNo};
  EXPECT_FALSE(target.PasteRecordText(copied, true));
  EXPECT_EQ(target.header().Field(GameHeader::kEvent), "x");
  EXPECT_EQ(messages.questions, std::vector<std::string>{"バッファは変更されています。更新してもよろしいですか？"});
  EXPECT_TRUE(target.PasteRecordText(copied, false));
  EXPECT_EQ(other.SelectedLineLength(), 2);
  EXPECT_EQ(target.header().Field(GameHeader::kMoveCount), "0002");
  EXPECT_EQ(other.side_to_move(), kGote);
}

TEST_F(GameText, Utf8FilesAreReadToo) {
  // "N+羽生" and "'棋戦名:竜王戦" in UTF-8, with a BOM.
  const std::string utf8 = "\xEF\xBB\xBFN+\xE7\xBE\xBD\xE7\x94\x9F\r\n'\xE6\xA3\x8B\xE6\x88\xA6\xE5\x90\x8D:"
                           "\xE7\xAB\x9C\xE7\x8E\x8B\xE6\x88\xA6\r\nPI\r\n+\r\n+7776FU\r\n";
  ASSERT_TRUE(ReadDoc(doc, utf8).ok());
  EXPECT_EQ(doc.header().SenteName(), "羽生");
  EXPECT_EQ(doc.header().Field(GameHeader::kEvent), "竜王戦");
  EXPECT_EQ(board.SelectedLineLength(), 1);
}

}  // namespace
