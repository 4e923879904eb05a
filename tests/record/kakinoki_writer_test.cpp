// KIF and KI2 written from games: read back by the Kakinoki reader to the same tree, annotations and
// header; the notation of hand-made positions; two records byte for byte against files written by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/files.h"
#include "platform/message_sink.h"
#include "platform/text_codec.h"
#include "record/foreign_record.h"
#include "record/game_file_format.h"
#include "record/kakinoki_notation.h"
#include "record/kakinoki_writer.h"
#include "record/record_file.h"
#include "rules/notation.h"
#include "tests/record/record_test_util.h"

using namespace record;

namespace {

struct Game {
  platform::RecordingMessageSink messages;
  PlainBoard board;
  GameDocument doc{board, &messages};
};

std::unique_ptr<Game> FromCsa(std::string_view csa) {
  auto g = std::make_unique<Game>();
  EXPECT_TRUE(ReadDoc(g->doc, csa).ok()) << csa;
  return g;
}

std::unique_ptr<Game> FromKakinoki(std::string_view text) {
  auto g = std::make_unique<Game>();
  EXPECT_TRUE(ReadKakinokiGame(text, "written", g->doc)) << platform::Cp932ToUtf8(text);
  EXPECT_TRUE(g->messages.messages.empty()) << platform::Cp932ToUtf8(g->messages.messages.front());
  return g;
}

// Every node's move, annotation lines and children, depth first, as one text.
void DescribeTree(const rules::MoveNode& node, std::string& out) {
  if (node.parent) out += rules::CsaMoveText(node.move);
  if (node.note) {
    for (const std::string& line : node.note->lines) out += "[" + line + "]";
  }
  out += "(";
  for (const rules::MoveNode* c = node.child; c; c = c->next) DescribeTree(*c, out);
  out += ")";
}

std::string StartText(const RecordBoard& board) {
  Archive out = Archive::ToMemory();
  board.WriteCsaPosition(out);
  return out.text();
}

// What a game holds that the Kakinoki text carries: the start, the tree without the start's own
// annotation (which becomes the game's), the header fields and the game annotation without the line the
// reader adds about its source.
std::string Describe(Game& g, bool with_root_note = false) {
  std::string out = StartText(g.board);
  rules::MoveNote* root_note = g.board.root()->note;
  if (!with_root_note) g.board.root()->note = nullptr;
  DescribeTree(*g.board.root(), out);
  g.board.root()->note = root_note;
  const GameHeader& h = g.doc.header();
  for (int i = 0; i < h.FieldCount(); ++i) out += "|" + h.Field(i);
  out += "|" + h.Players() + "|";
  for (std::string_view line : SplitLines(h.Annotation())) {
    if (!line.starts_with(" 変換元ファイル[")) out += std::string(line) + "/";
  }
  return platform::Cp932ToUtf8(out);
}

std::string MainLine(const rules::Position& board) {
  std::string line;
  for (const rules::MoveNode* n = board.root()->child; n; n = n->child) line += rules::CsaMoveText(n->move) + "\n";
  return line;
}

// Where two descriptions part, with some context.
std::string FirstDifference(const std::string& a, const std::string& b) {
  size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  const size_t from = at < 40 ? 0 : at - 40;
  return "read back: ..." + a.substr(from, 120) + "\nwritten:   ..." + b.substr(from, 120);
}

void ExpectRoundTrip(Game& g, const std::string& what) {
  for (KakinokiForm form : {KakinokiForm::kKif, KakinokiForm::kKi2}) {
    const std::string text = WriteKakinokiText(g.doc, form);
    auto back = FromKakinoki(text);
    // A handicap the header did not name is named in the text.
    if (g.doc.header().Field(GameHeader::kHandicap).empty()) back->doc.header().ClearField(GameHeader::kHandicap);
    const std::string a = Describe(*back), b = Describe(g);
    EXPECT_TRUE(a == b) << what << "\n" << FirstDifference(a, b) << "\n" << platform::Cp932ToUtf8(text);
  }
}

// --- the test data --------------------------------------------------------------------------------

TEST(KakinokiWriterTestData, EveryGameReadsBackWholeAndItsMainLineAsExpected) {
  const std::string dir = TestDataDir();
  if (dir.empty()) GTEST_SKIP() << "no test data at " << KOMARAKU_TESTDATA;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir + "/kifu")) {
    const std::string path = entry.path().string();
    if (entry.path().extension() == ".expected") continue;
    std::filesystem::path expected_path = entry.path();
    std::string expected;
    ASSERT_TRUE(platform::ReadWholeFile(expected_path.replace_extension(".expected").string(), expected));
    expected.erase(std::remove(expected.begin(), expected.end(), '\r'), expected.end());
    RecordFile file;
    ASSERT_TRUE(file.Load(path).opened) << path;
    ++files;
    Game g;
    Archive csa = Archive::FromBytes(file.Text());
    g.doc.Serialize(csa);
    ExpectRoundTrip(g, path);
    for (GameFileFormat f : {GameFileFormat::kKifu, GameFileFormat::kKi2}) {
      RecordFile again;
      ASSERT_TRUE(again.LoadText(GameFileBytes(g.doc, f), f == GameFileFormat::kKi2 ? RecordFileKind::kKi2
                                                                                       : RecordFileKind::kKif).complete);
      EXPECT_EQ(MainLine(again.board()), expected) << path;
    }
  }
  EXPECT_EQ(files, 72);
}

// The moves of a KI2 text's main line, as tokens ("▲５八金左").
std::vector<std::string> Ki2MainLineMoves(std::string_view text) {
  std::vector<std::string> moves;
  for (std::string_view line : SplitLines(text)) {
    if (line.starts_with("まで") || line.starts_with("変化")) break;
    if (!line.starts_with("▲") && !line.starts_with("△")) continue;
    // Moves part at blanks, or where the next mark follows a move of twelve bytes directly.
    std::string spaced(line);
    for (const char* mark : {"▲", "△"}) {
      for (size_t at = spaced.find(mark, 1); at != std::string::npos; at = spaced.find(mark, at + 3)) spaced.insert(at, " ");
    }
    for (size_t at = 0; at < spaced.size();) {
      size_t end = std::min(spaced.find(' ', at), spaced.size());
      if (end > at) moves.push_back(spaced.substr(at, end - at));
      at = end + 1;
    }
  }
  return moves;
}

// The relative words, 同 and 打 as the program that wrote the test data chose them.
TEST(KakinokiWriterTestData, Ki2NotationAsAnotherProgramWritesIt) {
  const std::string dir = TestDataDir();
  if (dir.empty()) GTEST_SKIP() << "no test data at " << KOMARAKU_TESTDATA;
  for (const auto& entry : std::filesystem::directory_iterator(dir + "/kifu")) {
    if (entry.path().extension() != ".ki2") continue;
    std::string bytes;
    ASSERT_TRUE(platform::ReadWholeFile(entry.path().string(), bytes));
    auto g = FromKakinoki(bytes);
    const std::vector<std::string> ours = Ki2MainLineMoves(WriteKakinokiText(g->doc, KakinokiForm::kKi2));
    const std::vector<std::string> theirs = Ki2MainLineMoves(bytes);
    ASSERT_EQ(ours.size(), theirs.size()) << entry.path();
    for (size_t i = 0; i < ours.size(); ++i) {
      EXPECT_EQ(platform::Cp932ToUtf8(ours[i]), platform::Cp932ToUtf8(theirs[i])) << entry.path() << " move " << i + 1;
    }
  }
}

// Random games with branches and annotations: every relative word must lead the reader to the piece
// that moved.
TEST(KakinokiWriter, RandomGamesReadBackWhole) {
  std::mt19937 rng(18);
  for (int game = 0; game < 40; ++game) {
    Game g;
    g.doc.NewGame();
    BuildRandomRecord(g.board, rng, 60 + game, 4);
    g.doc.UpdateMoveCountField();
    ExpectRoundTrip(g, "random game " + std::to_string(game));
  }
}

// --- hand-made records ------------------------------------------------------------------------------

// A game from CSA lines (header, position, moves), written as KIF and KI2 and read back whole.
struct Written {
  std::unique_ptr<Game> game;
  std::string kif, ki2;
};

Written Write(std::initializer_list<std::string_view> csa_lines) {
  Written w{FromCsa(Crlf(csa_lines)), "", ""};
  w.kif = WriteKakinokiText(w.game->doc, KakinokiForm::kKif);
  w.ki2 = WriteKakinokiText(w.game->doc, KakinokiForm::kKi2);
  ExpectRoundTrip(*w.game, platform::Cp932ToUtf8(w.kif));
  return w;
}

bool Has(const std::string& text, std::string_view line) { return text.find(line) != std::string::npos; }
#define EXPECT_HAS(text, part) \
  EXPECT_TRUE(Has(text, part)) << platform::Cp932ToUtf8(std::string(part)) << "\nnot in\n" << platform::Cp932ToUtf8(text)

// The KI2 text of each first move of the record (the alternatives at move 1), from its start.
std::vector<std::string> FirstMovesKi2(Game& g) {
  std::vector<std::string> texts;
  for (const rules::MoveNode* n = g.board.root()->child; n; n = n->next) {
    texts.push_back(Ki2MoveText(g.board, n->move));
  }
  return texts;
}

// Alternatives at move 1 from a position: "+6958KI", then "'手数目:1" before each other one.
Written Alternatives(std::string_view position, std::initializer_list<std::string_view> moves) {
  std::string csa = std::string(position);
  bool first = true;
  for (std::string_view m : moves) {
    if (!first) csa += "'手数目:1\r\n";
    csa += std::string(m) + "\r\n";
    first = false;
  }
  Written w{FromCsa(csa), "", ""};
  ExpectRoundTrip(*w.game, csa);
  return w;
}

TEST(KakinokiWriter, RelativeWordsAsThePublishedRulesSayThem) {
  const std::string kings = "P+99OU\r\nP-11OU\r\n";
  // Three golds that all come up: the place alone tells them apart.
  auto up = Alternatives(kings + "P+69KI59KI49KI\r\n+\r\n", {"+6958KI", "+5958KI", "+4958KI"});
  EXPECT_EQ(FirstMovesKi2(*up.game), (std::vector<std::string>{"５八金左", "５八金直", "５八金右"}));
  // The motion first; where place and motion are both shared, both words.
  auto mixed = Alternatives(kings + "P+69KI68KI49KI\r\n+\r\n", {"+6958KI", "+6858KI", "+4958KI"});
  EXPECT_EQ(FirstMovesKi2(*mixed.game), (std::vector<std::string>{"５八金左上", "５八金寄", "５八金右"}));
  auto back = Alternatives(kings + "P+57KI59KI\r\n+\r\n", {"+5758KI", "+5958KI"});
  EXPECT_EQ(FirstMovesKi2(*back.game), (std::vector<std::string>{"５八金引", "５八金上"}));
  // Gote's left and right are its own: the gold from 4一 is on gote's left.
  auto gote = Alternatives(kings + "P-41KI61KI\r\n-\r\n", {"-4152KI", "-6152KI"});
  EXPECT_EQ(FirstMovesKi2(*gote.game), (std::vector<std::string>{"５二金左", "５二金右"}));
  // Two dragons or horses compare their places with each other and never say 直.
  auto dragons = Alternatives(kings + "P+13RY22RY\r\n+\r\n", {"+1324RY", "+2224RY"});
  EXPECT_EQ(FirstMovesKi2(*dragons.game), (std::vector<std::string>{"２四龍右", "２四龍左"}));
  auto horses = Alternatives("P+99OU\r\nP-19OU\r\nP+91UM81UM\r\n+\r\n", {"+9182UM", "+8182UM"});
  EXPECT_EQ(FirstMovesKi2(*horses.game), (std::vector<std::string>{"８二馬左", "８二馬右"}));
  // 打 only where a board piece of the kind could go instead; a board move says nothing of the hand.
  auto drops = Alternatives(kings + "P+59KI00KI\r\n+\r\n", {"+0058KI", "+5958KI", "+0055KI"});
  EXPECT_EQ(FirstMovesKi2(*drops.game), (std::vector<std::string>{"５八金打", "５八金", "５五金"}));
}

TEST(KakinokiWriter, HandicapsNameTheirPositionAndSides) {
  Written lance = Write({"N+下手の人", "N-上手の人", "'手合:香落ち", "PI11KY", "-", "-5142OU", "+7776FU"});
  EXPECT_HAS(lance.kif, Crlf({"手合割：香落ち", "下手：下手の人", "上手：上手の人"}));
  EXPECT_HAS(lance.kif, "   1 ４二玉(51)   ( 0:00/00:00:00)\r\n   2 ７六歩(77)");
  EXPECT_HAS(lance.ki2, "△４二玉    ▲７六歩");
  Written two = Write({"'試合結果:上手勝", "PI82HI22KA", "-", "-5142OU", "+7776FU", "-3334FU"});
  EXPECT_HAS(two.kif, "手合割：二枚落ち");
  // The loser, 下手, is to move: it resigned.
  EXPECT_HAS(two.kif, Crlf({"   4 投了         ( 0:00/00:00:00)", "まで3手で上手の勝ち"}));
  EXPECT_HAS(two.ki2, Crlf({"△４二玉    ▲７六歩    △３四歩", "まで3手で上手の勝ち"}));
}

TEST(KakinokiWriter, SetUpPositionIsADiagramWithItsSideToMove) {
  Written w = Write({"P-51OU", "P+59OU58KI00KI00FU", "-", "-5141OU", "+0052KI"});
  const std::string& kif = w.kif;
  EXPECT_FALSE(Has(kif, "手合割"));
  EXPECT_HAS(kif, "上手の持駒：なし\r\n  ９ ８ ７ ６ ５ ４ ３ ２ １\r\n");
  EXPECT_HAS(kif, "| ・ ・ ・ ・v玉 ・ ・ ・ ・|一");
  EXPECT_HAS(kif, "下手の持駒：金　歩　\r\n後手番\r\n");
}

TEST(KakinokiWriter, SameSquareAfterABranchAndADeclinedPromotion) {
  Written w = Write({"PI", "+", "+7776FU", "-3334FU", "+8822KA", "-5142OU", "'手数目:4", "-3122GI"});
  EXPECT_HAS(w.kif, "   3 ２二角不成(88) ( 0:00/00:00:00)");
  EXPECT_HAS(w.kif, Crlf({"変化：4手", "   4 同　銀(31)   ( 0:00/00:00:00)"}));
  EXPECT_HAS(w.ki2, "▲２二角不成 △４二玉");
  EXPECT_HAS(w.ki2, Crlf({"変化：4手", "△同　銀"}));
}

TEST(KakinokiWriter, CommentsBeginningWithMarksAndBranchesAtTheFirstAndLastMove) {
  Written w = Write({"'注釈:#見出し", "'注釈:*星", "PI", "+", "'以下手順", "+7776FU", "'注釈:*印", "'注釈:#番号",
                     "-3334FU", "'手数目:2", "-8384FU", "'手数目:1", "+2726FU"});
  EXPECT_HAS(w.kif, Crlf({"手数----指手---------消費時間--", "*#見出し", "**星"}) + "   1 ７六歩(77)");
  EXPECT_HAS(w.kif, Crlf({"   1 ７六歩(77)   ( 0:00/00:00:00)+", "**印", "*#番号"}));
  // The later branch point first: a reader steps back from the line it read last.
  EXPECT_LT(w.kif.find("変化：2手"), w.kif.find("変化：1手"));
  EXPECT_HAS(w.ki2, Crlf({"*#見出し", "**星", "▲７六歩", "**印", "*#番号", "△３四歩"}));
}

TEST(KakinokiWriter, ALineBreakInsideACommentOrNameStaysAComment) {
  auto g = FromCsa(Crlf({"N+a", "PI", "+", "+7776FU", "-3334FU"}));
  const std::string sente = "名前\r   3 ２六歩(27)";
  g->doc.header().SetPlayers(&sente, nullptr);
  g->board.AddAnnotation(g->board.root()->child, "一行目\r   2 ８四歩(83)\nまで1手で先手の勝ち");
  const std::string kif = WriteKakinokiText(g->doc, KakinokiForm::kKif);
  EXPECT_HAS(kif, Crlf({"*一行目", "*   2 ８四歩(83)", "*まで1手で先手の勝ち"}));
  EXPECT_HAS(kif, "先手：名前    3 ２六歩(27)\r\n");
  EXPECT_EQ(MainLine(FromKakinoki(kif)->board), MainLine(g->board));
}

TEST(KakinokiWriter, GoldenFilesWrittenByHand) {
  const std::string dir = std::filesystem::path(__FILE__).parent_path().string() + "/golden/";
  Written even = Write({"'対局日:20240301", "'手合:平手", "'棋戦名:駒楽杯", "'試合結果:後手勝", "N+先手太郎",
                        "N-後手花子", "PI", "+", "+7776FU", "-3334FU", "+8822UM", "-3122GI", "+0045KA",
                        "'注釈:角打ちの狙い", "-6152KI", "+4534KA", "-2133KE", "'手数目:8", "-4132KI", "'手数目:2",
                        "-8384FU", "+2726FU"});
  Written setup = Write({"'棋戦名:駒落ち研究", "'試合結果:中断", "'注釈:#見出し", "N+研究者A", "N-研究者B",
                         "P1-KY-KE-GI-KI-OU-KI-GI-KE-KY", "P2 * -HI *  *  *  *  * -KA * ",
                         "P3-FU-FU-FU-FU-FU-FU * -FU-FU", "P4 *  *  *  *  *  * -FU *  * ",
                         "P5 *  *  *  *  *  *  *  *  * ", "P6 *  *  *  *  *  *  *  *  * ",
                         "P7+FU+FU+FU+FU+FU+FU+FU+FU+FU", "P8 *  *  *  *  *  *  * +HI * ",
                         "P9+KY+KE+GI+KI+OU+KI+GI+KE+KY", "P-00KA", "-", "'以下手順", "-0055KA", "+4958KI",
                         "'注釈:*強気", "-5577KA", "+8977KE", "'手数目:4", "+7968GI"});
  for (const auto& [name, text] : {std::pair{"even-game.kif", even.kif}, std::pair{"even-game.ki2", even.ki2},
                                   std::pair{"setup-position.kif", setup.kif}, std::pair{"setup-position.ki2", setup.ki2}}) {
    std::string golden;
    ASSERT_TRUE(platform::ReadWholeFile(dir + name, golden)) << name;
    EXPECT_EQ(platform::Cp932ToUtf8(text), platform::Cp932ToUtf8(golden)) << name;
  }
}

}  // namespace
