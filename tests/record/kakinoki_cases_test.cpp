// Kakinoki records as other programs, sites and people write them, each with the CSA that must come out:
// the endings they state (or do not), variation headers with padding, position diagrams, handicaps by
// name. Both readers, the converter and the simple reader, are held to the same answers.
#include <gtest/gtest.h>

#include <algorithm>

#include "record/kakinoki_converter.h"
#include "record/kakinoki_diagram.h"
#include "record/kakinoki_text.h"
#include "record/kif_reader.h"
#include "tests/record/record_test_util.h"

using namespace rules;
using namespace record;

namespace {

std::vector<std::string> Converted(std::string_view kif, KakinokiStats* stats = nullptr) {
  Archive out = Archive::ToMemory();
  bool separator_due = false;
  const KakinokiStats s = ConvertKakinokiText(kif, "in.kif", KakinokiOptions{}, out, separator_due);
  if (stats) *stats = s;
  return Lines(out.text());
}

std::vector<std::string> ReadSimply(std::string_view kif, platform::MessageSink* messages = nullptr,
                                    bool* ok = nullptr) {
  KifReader reader(messages);
  std::string csa;
  const bool converted = reader.Convert(kif, csa);
  if (ok) *ok = converted;
  return Lines(csa);
}

// The result another reader takes from the CSA text.
std::string ResultReadBack(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  PlainBoard board;
  GameDocument doc(board);
  EXPECT_TRUE(ReadDoc(doc, text).ok()) << text;
  return doc.header().Field(GameHeader::kResult);
}

// --- endings ---------------------------------------------------------------------------------------

// After 2 moves sente is to move, so an ending word is sente's.
struct Ending {
  const char* text;    // the word as move 3, or the summary line
  const char* result;  // 試合結果, "" for none
  const char* line;    // the CSA ending, "" for none
};

const Ending kEndingWords[] = {
    {"投了", "後手勝", "%TORYO"},          {"中断", "中断", "%CHUDAN"},
    {"千日手", "千日手", "%SENNICHITE"},    {"持将棋", "持将棋", "%JISHOGI"},
    {"詰み", "後手勝", "%TSUMI"},          {"不詰", "", "%FUZUMI"},
    {"切れ負け", "後手勝", "%TIME_UP"},    {"時間切れ", "後手勝", "%TIME_UP"},
    {"反則勝ち", "先手勝", "%-ILLEGAL_ACTION"},  // gote's foul: never %ILLEGAL_MOVE, the mover's loss
    {"反則負け", "後手勝", "%ILLEGAL_MOVE"}, {"入玉勝ち", "先手勝", "%KACHI"},
    {"不戦勝", "先手勝", ""},              {"不戦敗", "後手勝", ""},  // no CSA word: the header keeps it
    {"封じ手", "", ""},                    {"トライ", "先手勝", ""},
};

const Ending kSummaryLines[] = {
    {"まで2手で後手の勝ち", "後手勝", "%TORYO"},
    {"まで2手で先手の反則勝ち", "先手勝", "%-ILLEGAL_ACTION"},
    {"まで2手で後手の反則負け", "先手勝", "%-ILLEGAL_ACTION"},
    {"まで2手で時間切れにより後手の勝ち", "後手勝", "%TIME_UP"},
    // Gote lost on time with sente to move: %TIME_UP would say sente lost, so only the header says it.
    {"まで2手で時間切れにより先手の勝ち", "先手勝", ""},
    {"まで2手詰", "後手勝", "%TSUMI"},
    {"まで2手で封じ手", "", ""},
    {"まで 2 手で千日手", "千日手", "%SENNICHITE"},
};

// The CSA both readers must give for two moves and an ending, from a record naming sente "a".
std::vector<std::string> Expected(const Ending& e, bool converter, const char* source) {
  std::vector<std::string> lines = {"'手数:2"};
  if (*e.result) lines.push_back(std::string("'試合結果:") + e.result);
  lines.push_back("N+a");
  if (converter) lines.push_back(std::string("'注釈: 変換元ファイル[") + source + "]");
  for (const char* l : {"PI", "+", "+7776FU", "-3334FU"}) lines.push_back(l);
  if (*e.line) lines.push_back(e.line);
  return lines;
}

TEST(KakinokiEndings, MovesThatJustStopHaveNoResult) {
  const Ending none = {"", "", ""};
  const std::string kif = Crlf({"先手：a", "手数----指手--", "   1 ７六歩(77)", "   2 ３四歩(33)"});
  EXPECT_EQ(Converted(kif), Expected(none, true, "in.kif"));
  EXPECT_EQ(ReadSimply(kif), Expected(none, false, ""));
  EXPECT_EQ(Converted(Crlf({"先手：a", "▲７六歩 △３四歩"})), Expected(none, true, "in.kif"));
  // A line beginning with a side's name ends the moves without a result as well.
  EXPECT_EQ(Converted(Crlf({"先手：a", "▲７六歩 △３四歩 先手考慮中"})), Expected(none, true, "in.kif"));
}

TEST(KakinokiEndings, EveryEndingWordInBothReaders) {
  for (const Ending& e : kEndingWords) {
    const std::string kif = Crlf({"先手：a", "手数----指手--", "   1 ７六歩(77)", "   2 ３四歩(33)",
                                  std::string("   3 ") + e.text + "   ( 0:01/00:00:03)"});
    const std::vector<std::string> csa = Converted(kif);
    EXPECT_EQ(csa, Expected(e, true, "in.kif")) << e.text;
    EXPECT_EQ(ReadSimply(kif), Expected(e, false, "")) << e.text;
    EXPECT_EQ(ResultReadBack(csa), e.result) << e.text;
  }
}

TEST(KakinokiEndings, SummaryLinesInKifAndKi2) {
  for (const Ending& e : kSummaryLines) {
    const std::string ki2 = Crlf({"先手：a", "▲７六歩 △３四歩", e.text});
    const std::vector<std::string> csa = Converted(ki2);
    EXPECT_EQ(csa, Expected(e, true, "in.kif")) << e.text;
    EXPECT_EQ(ResultReadBack(csa), e.result) << e.text;
    const std::string kif = Crlf({"先手：a", "手数----指手--", "   1 ７六歩(77)", "   2 ３四歩(33)", e.text});
    EXPECT_EQ(Converted(kif), Expected(e, true, "in.kif")) << e.text;
    EXPECT_EQ(ReadSimply(kif), Expected(e, false, "")) << e.text;
  }
}

// --- variations ------------------------------------------------------------------------------------

TEST(KakinokiVariations, PaddedHeadersStartBranchesAndTheirSummariesGiveNoResult) {
  const std::string kif = Crlf({"先手：a", "手数----指手---------消費時間--", "   1 ７六歩(77)   ( 0:01/00:00:01)",
                                "   2 ３四歩(33)   ( 0:01/00:00:02)", "   3 ２六歩(27)   ( 0:01/00:00:03)", "",
                                "変化：   3手", "   3 ６六歩(67)   ( 0:01/00:00:03)", "   4 ８四歩(83)   ( 0:01/00:00:04)",
                                "まで4手で後手の勝ち", "", "変化：　3手", "   3 １六歩(17)", "", "変化：２手",
                                "   2 ８四歩(83)"});
  const std::string ki2 = Crlf({"先手：a", "▲７六歩    △３四歩    ▲２六歩", "", "変化： 3手", "▲６六歩    △８四歩",
                                "まで4手で後手の勝ち", "", "変化：　3手", "▲１六歩", "", "変化：２手", "△８四歩"});
  const std::vector<std::string> expected = {
      "'手数:3", "N+a",     "'注釈: 変換元ファイル[in.kif]", "PI",      "+",       "+7776FU", "-3334FU", "+2726FU",
      "'手数目:3", "+6766FU", "-8384FU", "'手数目:3",        "+1716FU", "'手数目:2", "-8384FU"};
  for (const std::string& text : {kif, ki2}) {
    KakinokiStats stats;
    EXPECT_EQ(Converted(text, &stats), expected);
    EXPECT_EQ(stats.failed_variations, 0);
  }
  EXPECT_EQ(ReadSimply(kif), (std::vector<std::string>{"'手数:3", "N+a", "PI", "+", "+7776FU", "-3334FU", "+2726FU"}));
}

TEST(KakinokiVariations, AVariationThatCannotBePlacedIsCountedAndSaid) {
  KakinokiStats stats;
  const std::vector<std::string> csa =
      Converted(Crlf({"   1 ７六歩(77)", "   2 投了", "変化：9手", "   9 ７五歩(76)"}), &stats);
  EXPECT_EQ(stats.failed_variations, 1);
  EXPECT_EQ(csa, (std::vector<std::string>{"'手数:1", "'試合結果:先手勝", "'注釈: 変化：9手 は変換されませんでした。",
                                           "'注釈: 変換元ファイル[in.kif]", "PI", "+", "+7776FU", "%TORYO"}));
}

// --- position diagrams -----------------------------------------------------------------------------

// Gote in check from the dragon, to move.
std::vector<std::string> DiagramRecord(std::string_view rank_three, std::string_view last_row) {
  return {"後手の持駒：歩", "  ９ ８ ７ ６ ５ ４ ３ ２ １", "+---------------------------+",
          "| ・ ・ ・ ・ ・ ・ ・v桂v香|一", "| ・ ・ ・ ・ ・ ・v玉 ・ ・|二", std::string(rank_three),
          "| ・ ・ ・ ・ ・ ・ ・ ・ ・|四", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|五", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|六",
          "| ・ ・ ・ ・ ・ ・ ・ ・ ・|七", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|八", std::string(last_row),
          "+---------------------------+", "先手の持駒：金二", "先手：作者", "後手番", "手数----指手--",
          "   1 ２三玉(32)", "   2 ２四金打"};
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

TEST(KakinokiDiagrams, BothReadersStartFromTheDiagramWithItsSideToMove) {
  const std::string kif = Joined(DiagramRecord("| ・ ・ ・ ・ ・ ・v歩 龍 ・|三", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|九"));
  const std::vector<std::string> position = {
      "P1 *  *  *  *  *  *  * -KE-KY", "P2 *  *  *  *  *  * -OU *  * ", "P3 *  *  *  *  *  * -FU+RY * ",
      "P4 *  *  *  *  *  *  *  *  * ", "P5 *  *  *  *  *  *  *  *  * ", "P6 *  *  *  *  *  *  *  *  * ",
      "P7 *  *  *  *  *  *  *  *  * ", "P8 *  *  *  *  *  *  *  *  * ", "P9 *  *  *  *  *  *  *  *  * ",
      "P+00KI00KI", "P-00FU", "-", "-3223OU", "+0024KI"};
  std::vector<std::string> simple = {"'手数:2", "N+作者"};
  simple.insert(simple.end(), position.begin(), position.end());
  EXPECT_EQ(ReadSimply(kif), simple);
  // The converter writes the position its board was set up in, with the body's own comment lines.
  std::vector<std::string> converted = {"'手数:2", "N+作者", "'注釈: 変換元ファイル[in.kif]", "'初期局面"};
  converted.insert(converted.end(), position.begin(), position.end());
  converted.insert(converted.end() - 3, "'手番");
  EXPECT_EQ(Converted(kif), converted);
}

TEST(KakinokiDiagrams, ADiagramThatDoesNotReadIsRefusedNeverReplaced) {
  struct Case {
    std::string row3, row9;
    std::string problem;
  } cases[] = {
      {"| ・ ・ ・ ・ ・ ・v歩 龍 ・|", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|九", "局面図が読めません(| ・ ・ ・ ・ ・ ・v歩 龍 ・|)"},
      {"| ・ ・ ・ ・ ・ ・v歩 象 ・|三", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|九", "局面図が読めません(| ・ ・ ・ ・ ・ ・v歩 象 ・|三)"},
      {"| ・ ・ ・ ・ ・ ・v歩 龍 ・|三", "", "局面図の九段目がありません"},
      {"| ・ ・ ・ ・ ・ ・v歩 龍 ・|三", "| 飛 飛 飛 ・ ・ ・ ・ ・ ・|九", "局面図の駒の数が合いません"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> record = DiagramRecord(c.row3, c.row9);
    if (c.row9.empty()) record.erase(record.begin() + 11);
    const std::string kif = Joined(record);
    KakinokiStats stats;
    EXPECT_TRUE(Converted(kif, &stats).empty()) << c.problem;
    EXPECT_EQ(stats.games, 0);
    EXPECT_EQ(stats.refused_games, 1);
    EXPECT_EQ(stats.problems, std::vector<std::string>{"入力[in.kif]の" + c.problem});
    platform::RecordingMessageSink messages;
    bool ok = true;
    ReadSimply(kif, &messages, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(messages.messages, std::vector<std::string>{c.problem + "。"});
  }
}

// --- handicaps -------------------------------------------------------------------------------------

TEST(KakinokiHandicaps, EveryNameOfTheFormatStartsFromItsPosition) {
  struct Case {
    const char* name;
    const char* pi;
    size_t pieces;  // the count the name gives
  } cases[] = {
      {"香落ち", "PI11KY", 1},
      {"右香落ち", "PI91KY", 1},
      {"角落ち", "PI22KA", 1},
      {"飛車落ち", "PI82HI", 1},
      {"飛香落ち", "PI82HI11KY", 2},
      {"二枚落ち", "PI82HI22KA", 2},
      {"三枚落ち", "PI82HI22KA11KY", 3},
      {"四枚落ち", "PI82HI22KA11KY91KY", 4},
      {"五枚落ち", "PI82HI22KA11KY91KY81KE", 5},
      {"左五枚落ち", "PI82HI22KA11KY91KY21KE", 5},
      {"六枚落ち", "PI82HI22KA11KY91KY21KE81KE", 6},
      {"左七枚落ち", "PI82HI22KA11KY91KY21KE81KE31GI", 7},
      {"右七枚落ち", "PI82HI22KA11KY91KY21KE81KE71GI", 7},
      {"八枚落ち", "PI82HI22KA11KY91KY21KE81KE31GI71GI", 8},
      {"十枚落ち", "PI82HI22KA11KY91KY21KE81KE31GI71GI41KI61KI", 10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ((std::string_view(c.pi).size() - 2) / 4, c.pieces) << c.name;
    // Kakinoki pads the name with full-width spaces.
    const std::vector<std::string> csa =
        Converted(Crlf({std::string("手合割：") + c.name + "　　", "手数----指手--", "   1 ３四歩(33)", "   2 投了"}));
    EXPECT_EQ(csa, (std::vector<std::string>{"'手数:1", std::string("'手合:") + c.name + "　　", "'試合結果:上手勝",
                                             "'注釈: 変換元ファイル[in.kif]", c.pi, "-", "-3334FU", "%TORYO"}));
    EXPECT_EQ(ResultReadBack(csa), "上手勝") << c.name;
  }
  const std::vector<std::string> even = Converted(Crlf({"手合割：平手", "▲７六歩"}));
  EXPECT_NE(std::find(even.begin(), even.end(), "PI"), even.end());
}

TEST(KakinokiHandicaps, ANameNotKnownIsRefusedNotTakenForTheEvenGame) {
  for (const char* name : {"七枚落ち", "その他", "駒落ち"}) {
    KakinokiStats stats;
    EXPECT_TRUE(Converted(Crlf({std::string("手合割：") + name, "△３四歩"}), &stats).empty()) << name;
    EXPECT_EQ(stats.problems, std::vector<std::string>{std::string("入力[in.kif]の手合割が読めません(手合割：") + name + ")"});
  }
  // その他 with its diagram is a position of its own; the simple reader takes it too.
  std::vector<std::string> record = DiagramRecord("| ・ ・ ・ ・ ・ ・v歩 龍 ・|三", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|九");
  record.insert(record.begin(), "手合割：その他");
  KakinokiStats stats;
  EXPECT_EQ(Converted(Joined(record), &stats).back(), "+0024KI");
  EXPECT_EQ(stats.games, 1);
  bool ok = false;
  EXPECT_EQ(ReadSimply(Joined(record), nullptr, &ok).back(), "+0024KI");
  EXPECT_TRUE(ok);
}

}  // namespace
