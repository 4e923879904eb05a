// Kakinoki records: the real files of the test data, the converters' rules, and the batch modes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/kakinoki_converter.h"
#include "record/kakinoki_text.h"
#include "record/kif_reader.h"
#include "record/record_file.h"
#include "rules/notation.h"
#include "tests/record/record_test_util.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/small_fs.h"

using namespace rules;
using namespace record;

namespace {

std::string Convert(std::string_view kif, KakinokiStats* stats = nullptr, KakinokiOptions options = {}) {
  Archive out = Archive::ToMemory();
  bool separator_due = false;
  const KakinokiStats s = ConvertKakinokiText(kif, "in.kif", options, out, separator_due);
  if (stats) *stats = s;
  return out.text();
}

// The main line (first children) of a record as CSA moves joined by blanks.
std::string MainLine(const Position& board) {
  std::string line;
  for (const MoveNode* n = board.root()->child; n; n = n->child) line += CsaMoveText(n->move) + " ";
  return line;
}

struct Loaded {
  PlainBoard board;
  GameDocument doc{board};
  DocumentResult result;
};

std::unique_ptr<Loaded> LoadCsa(const std::string& csa) {
  auto l = std::make_unique<Loaded>();
  l->result = ReadDoc(l->doc, csa);
  return l;
}

// --- the test data ------------------------------------------------------------------------------

// The Kakinoki files of the test data (.kif/.kifu/.ki2) with the main line their .expected file lists
// and the ending line their .csa file (written by another program) gives.
struct TestRecord {
  std::string path;
  std::string bytes;
  std::string main_line;  // CSA moves, each followed by a blank
  std::string end_line;   // "%TORYO", or "" when the game has no ending
  std::string csa;        // that .csa file
};

// The first "%" line of a CSA text (LF or CRLF lines); "" when there is none.
std::string EndLineOf(std::string_view csa) {
  for (size_t at = 0; at < csa.size();) {
    const size_t lf = std::min(csa.find('\n', at), csa.size());
    std::string_view line = csa.substr(at, lf - at);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.starts_with("%")) return std::string(line);
    at = lf + 1;
  }
  return "";
}

std::vector<TestRecord> TestRecords(bool kif_only) {
  std::vector<TestRecord> records;
  const std::string dir = TestDataDir();
  if (dir.empty()) return records;
  for (const auto& entry : std::filesystem::directory_iterator(dir + "/kifu")) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".kif" && ext != ".kifu" && (kif_only || ext != ".ki2")) continue;
    TestRecord r;
    r.path = entry.path().string();
    std::string expected, csa;
    std::filesystem::path expected_path = entry.path(), csa_path = entry.path();
    expected_path.replace_extension(".expected");
    csa_path.replace_extension(".csa");
    if (!platform::ReadWholeFile(r.path, r.bytes) || !platform::ReadWholeFile(expected_path.string(), expected) ||
        !platform::ReadWholeFile(csa_path.string(), csa)) {
      ADD_FAILURE() << "cannot read " << r.path;
      continue;
    }
    r.end_line = EndLineOf(csa);
    r.csa = std::move(csa);
    for (char c : expected) {
      if (c == '\n') {
        r.main_line += ' ';
      } else if (c != '\r') {
        r.main_line += c;
      }
    }
    records.push_back(std::move(r));
  }
  return records;
}

size_t Count(std::string_view text, std::string_view word) {
  size_t n = 0;
  for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

TEST(KakinokiTestData, EveryRecordConvertsWithItsMainLineAndVariations) {
  const std::vector<TestRecord> records = TestRecords(false);
  if (records.empty()) GTEST_SKIP() << "no test data at " << KOMARAKU_TESTDATA;
  EXPECT_EQ(records.size(), 48u);
  for (const TestRecord& r : records) {
    const std::string text = platform::InputTextToCp932(r.bytes);
    KakinokiStats stats;
    const std::string csa = Convert(text, &stats);
    EXPECT_EQ(stats.games, 1) << r.path;
    EXPECT_EQ(stats.failed_games + stats.failed_variations, 0) << r.path;
    auto loaded = LoadCsa(csa);
    ASSERT_TRUE(loaded->result.ok()) << r.path;
    EXPECT_EQ(MainLine(loaded->board), r.main_line) << r.path;
    // Every 変化 section became a branch, and the header came through.
    EXPECT_EQ(Count(csa, "'手数目:"), Count(text, "変化：")) << r.path;
    EXPECT_NE(loaded->doc.header().Players(), "対局者不詳-対局者不詳") << r.path;
    EXPECT_EQ(loaded->doc.header().Field(GameHeader::kDate).size(), 8u) << r.path;
    // The ending as the other program wrote it: none where the moves just stop, whatever variations say.
    EXPECT_EQ(EndLineOf(csa), r.end_line) << r.path;
    EXPECT_EQ(loaded->doc.header().Field(GameHeader::kResult).empty(), r.end_line.empty()) << r.path;
    // The other program's CSA file, read with its "%" line, states the same result.
    auto original = LoadCsa(platform::InputTextToCp932(r.csa));
    EXPECT_EQ(original->doc.header().Field(GameHeader::kResult), loaded->doc.header().Field(GameHeader::kResult))
        << r.path;
  }
}

TEST(KakinokiTestData, TheSimpleReaderReadsTheEvenKifGamesAndRefusesHandicaps) {
  const std::vector<TestRecord> records = TestRecords(true);
  if (records.empty()) GTEST_SKIP() << "no test data at " << KOMARAKU_TESTDATA;
  int even = 0, refused = 0;
  for (const TestRecord& r : records) {
    platform::RecordingMessageSink messages;
    PlainBoard board;
    GameDocument doc(board, &messages);
    bool converted = false;
    const DocumentResult result = ReadKifIntoGame(r.bytes, doc, &converted);
    if (!converted) {
      ++refused;
      ASSERT_EQ(messages.messages.size(), 1u);
      EXPECT_EQ(messages.messages[0].rfind("手合は平手しか変換できません(手合割：", 0), 0u) << r.path;
      continue;
    }
    ++even;
    EXPECT_TRUE(result.ok()) << r.path;
    EXPECT_EQ(MainLine(board), r.main_line) << r.path;
    EXPECT_EQ(board.root()->ChildCount(), 1) << r.path;  // variations never joined the main line
    EXPECT_EQ(doc.header().Field(GameHeader::kResult).empty(), r.end_line.empty()) << r.path;
  }
  EXPECT_GT(even, 0);
  EXPECT_GT(refused, 0);
}

// --- the batch converter's rules ---------------------------------------------------------------

TEST(KakinokiConverter, KifMoveLinesWithTimesCommentsSummaryAndVariations) {
  const std::string kif = Crlf({
      "#KIF version=2.0 encoding=Shift_JIS", "開始日時：2024/01/10(水) 10:00:00", "先手省略名：羽生", "先手：羽生善治",
      "後手：谷川浩司", "場所：東京", "手合割：平手", "手数----指手---------消費時間--",
      "   1 ７六歩(77)   ( 0:01/00:00:01)", "*初手", "   2 ３四歩(33)   ( 0:02/00:00:02)+",
      "   3 ２二角成(88) ( 0:01/00:00:02)", "   4 同　銀(31)   ( 0:01/00:00:03)", "   5 ５五角打     ( 0:01/00:00:04)",
      "まで5手で先手の勝ち", "", "変化：2手", "   2 ８四歩(83)   ( 0:01/00:00:01)"});
  KakinokiStats stats;
  const std::string csa = Convert(kif, &stats);
  EXPECT_EQ(stats.failed_games + stats.failed_variations, 0);
  EXPECT_EQ(csa, Crlf({"'手数:5", "'手合:平手", "'対局日:20240110", "'試合結果:先手勝", "N+羽生善治", "N-谷川浩司",
                       "'注釈:場所：東京", "'注釈: 変換元ファイル[in.kif]", "PI", "+", "+7776FU", "'注釈:初手",
                       "-3334FU", "+8822UM", "-3122GI", "+0055KA", "'手数目:2", "-8384FU", "%TORYO"}));
  auto loaded = LoadCsa(csa);
  EXPECT_TRUE(loaded->result.ok());
  EXPECT_EQ(loaded->doc.header().Field(GameHeader::kDate), "20240110");
}

TEST(KakinokiConverter, Ki2LinesWithSeveralMovesAndRelativeWords) {
  // Three moves on a line separated by full-width spaces; gote's 右 is the gold on 6一 (gote's right).
  const std::string ki2 = Crlf({"先手：a", "後手：b", "▲７六歩　△３四歩　▲７八金", "△５二金右 ▲６八銀 △４二銀",
                                "▲５八金右 △８四歩 ▲６九玉", "△３二金 ▲５九金引"});
  const std::string csa = Convert(ki2);
  auto loaded = LoadCsa(csa);
  EXPECT_EQ(MainLine(loaded->board),
            "+7776FU -3334FU +6978KI -6152KI +7968GI -3142GI +4958KI -8384FU +5969OU -4132KI +5859KI ");
}

TEST(KakinokiConverter, RelativeWordsChooseAmongPiecesThatReach) {
  // Golds on 6九 and 4九 (the even position): 金右 to 5八 is the one on 4九, 金左 the one on 6九.
  EXPECT_EQ(MainLine(LoadCsa(Convert(Crlf({"▲５八金右"})))->board), "+4958KI ");
  EXPECT_EQ(MainLine(LoadCsa(Convert(Crlf({"▲５八金左"})))->board), "+6958KI ");
  // 直: the gold straight behind; 寄: the one beside.
  EXPECT_EQ(MainLine(LoadCsa(Convert(Crlf({"▲５八金右 △３四歩 ▲６八金 △４四歩 ▲５六歩 △４五歩 ▲５七金直"})))->board),
            "+4958KI -3334FU +6968KI -4344FU +5756FU -4445FU +5857KI ");
  EXPECT_EQ(MainLine(LoadCsa(Convert(Crlf({"▲５八金右 △３四歩 ▲６八金寄"})))->board), "+4958KI -3334FU +5868KI ");
  // A piece that no piece on the board can reach is dropped, 打 or not.
  EXPECT_EQ(MainLine(LoadCsa(Convert(Crlf({"▲７六歩 △３四歩 ▲２二角成 △同　銀 ▲５五角"})))->board),
            "+7776FU -3334FU +8822UM -3122GI +0055KA ");
}

TEST(KakinokiConverter, HandicapGamesStartFromTheirPositionWithUwateToMove) {
  const std::string csa = Convert(Crlf({"手合割：香落ち", "下手：x", "上手：y", "△３四歩 ▲７六歩", "まで2手で下手の勝ち"}));
  EXPECT_NE(csa.find("PI11KY\r\n-\r\n-3334FU\r\n+7776FU\r\n"), std::string::npos);
  EXPECT_NE(csa.find("'試合結果:下手勝\r\n"), std::string::npos);
  EXPECT_NE(csa.find("N+x\r\nN-y\r\n"), std::string::npos);
  // KIF numbers count from 上手's first move.
  const std::string kif = Convert(Crlf({"手合割：角落ち", "手数----指手--", "   1 ３四歩(33)", "   2 ７六歩(77)", "   3 投了"}));
  EXPECT_NE(kif.find("PI22KA\r\n-\r\n-3334FU\r\n+7776FU\r\n%TORYO"), std::string::npos);
  EXPECT_NE(kif.find("'試合結果:下手勝\r\n"), std::string::npos);
}

TEST(KakinokiConverter, AMoveThatDoesNotPlayEndsTheGameWithTheErrorLines) {
  KakinokiStats stats;
  const std::string csa = Convert(Crlf({"   1 ７六歩(77)", "   2 ７五歩(73)", "   3 ２六歩(27)"}), &stats);
  EXPECT_EQ(stats.failed_games, 1);
  const std::vector<std::string> lines = Lines(csa);
  const std::vector<std::string> tail(lines.end() - 4, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"+7776FU", "'注釈: 本棋譜はこれ以降は正常に変換されませんでした。",
                                            "'注釈: 元棋譜に不整合の可能性があります。", "%ERROR"}));
  EXPECT_EQ(csa.find("'試合結果"), std::string::npos);
  // A failing variation is cut alone; the game keeps its result.
  const std::string var = Convert(Crlf({"   1 ７六歩(77)", "   2 投了", "変化：1手", "   1 ７五歩(77)"}), &stats);
  EXPECT_EQ(stats.failed_variations, 1);
  EXPECT_EQ(Lines(var).back(), "%TORYO");
}

TEST(KakinokiConverter, SeveralGamesAreSeparatedAndDefaultsFillMissingSlots) {
  KakinokiOptions options;
  options.event = "研究会";
  options.date = "20240501";
  KakinokiStats stats;
  const std::string csa = Convert(Crlf({"先手：a-b", "後手：c", "▲７六歩", "まで1手で先手の勝ち", "", "先手：d",
                                        "棋戦：名人戦", "対局日：平成6年4月1日", "▲２六歩"}),
                                  &stats, options);
  EXPECT_EQ(stats.games, 2);
  const std::vector<std::string> lines = Lines(csa);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "/"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "'棋戦名:研究会"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "'棋戦名:名人戦"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "'対局日:20240501"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "N+a-b"), 1);
  // The full-width option turns the name's "-" round, so it cannot split the players.
  options.full_width_names = true;
  EXPECT_NE(Convert(Crlf({"先手：a-b(c)", "▲７六歩"}), nullptr, options).find("N+a－b（c）\r\n"), std::string::npos);
}

TEST(KakinokiConverter, APositionDiagramGivesTheStartPosition) {
  const std::string kif = Crlf({"後手の持駒：飛　角二　金二　銀四　桂三　香三　歩十七　", "  ９ ８ ７ ６ ５ ４ ３ ２ １",
                                "+---------------------------+", "| ・ ・ ・ ・ ・ ・ ・v桂v香|一",
                                "| ・ ・ ・ ・ ・ ・v玉 ・ ・|二", "| ・ ・ ・ ・ ・ ・v歩 龍 ・|三",
                                "| ・ ・ ・ ・ ・ ・ ・ ・ ・|四", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|五",
                                "| ・ ・ ・ ・ ・ ・ ・ ・ ・|六", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|七",
                                "| ・ ・ ・ ・ ・ ・ ・ ・ ・|八", "| ・ ・ ・ ・ ・ ・ ・ ・ ・|九",
                                "+---------------------------+", "先手の持駒：金二　", "先手：作者", "先手番",
                                "手数----指手---------消費時間--", "   1 ２二金打", "   2 同　玉(32)", "   3 ３二金打",
                                "まで3手で詰み"});
  KakinokiStats stats;
  const std::string csa = Convert(kif, &stats);
  EXPECT_EQ(stats.failed_games, 0);
  EXPECT_NE(csa.find("P3 *  *  *  *  *  * -FU+RY * \r\n"), std::string::npos);
  EXPECT_NE(csa.find("P+00KI00KI\r\n"), std::string::npos);
  EXPECT_NE(csa.find("'試合結果:先手勝\r\n"), std::string::npos);
  EXPECT_EQ(Lines(csa).back(), "%TSUMI");
  auto loaded = LoadCsa(csa);
  ASSERT_TRUE(loaded->result.ok());
  EXPECT_EQ(MainLine(loaded->board), "+0022KI -3222OU +0032KI ");
  EXPECT_EQ(loaded->board.HandCount(kGote, FU), 17);
  EXPECT_EQ(loaded->board.store(kPieceBox).total(), 1);  // sente's king
  EXPECT_EQ(loaded->doc.header().SenteName(), "作者");  // 先手番 and 先手の持駒 are no names
}

TEST(KakinokiConverter, RecordFilesOpenKakinokiRecordsThroughTheConverter) {
  RecordFile file;
  const RecordFileResult r = file.LoadText(Crlf({"先手：a", "▲７六歩 △３四歩", "まで2手で後手の勝ち"}), RecordFileKind::kKi2);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(file.game().header().Field(GameHeader::kResult), "後手勝");  // 試合結果 holds six bytes
  EXPECT_EQ(file.board().SelectedLineLength(), 2);
  const RecordFileResult bad = file.LoadText(Crlf({"▲７六歩 △３五歩"}), RecordFileKind::kKi2);
  EXPECT_TRUE(bad.opened);
  EXPECT_FALSE(bad.complete);
  EXPECT_EQ(file.board().SelectedLineLength(), 1);
}

TEST(KakinokiText, Dates) {
  EXPECT_EQ(ConvertKakinokiDate("2024/01/10 10:00:00"), "20240110");
  EXPECT_EQ(ConvertKakinokiDate("2024/01/10(水) 10:00:00"), "20240110");
  EXPECT_EQ(ConvertKakinokiDate("94/04/01"), "19940401");
  EXPECT_EQ(ConvertKakinokiDate("24/04/01"), "20240401");
  EXPECT_EQ(ConvertKakinokiDate("1994年4月1日"), "19940401");
  EXPECT_EQ(ConvertKakinokiDate("2024年 5月 6日(月)"), "20240506");
  EXPECT_EQ(ConvertKakinokiDate("2024年5月"), "2024年5月");  // no day: kept as it was
  EXPECT_EQ(ConvertKakinokiDate("2024"), "2024");
}

TEST(KakinokiText, SummaryLines) {
  const GameEnd a = ParseSummaryLine("まで77手で先手の勝ち", kGote);
  EXPECT_EQ(a.winner, kSente);
  const GameEnd b = ParseSummaryLine("まで64手で時間切れにより後手の勝ち", kSente);
  EXPECT_EQ(b.winner, kGote);
  EXPECT_EQ(b.kind, GameEnd::kTimeUp);
  EXPECT_EQ(ParseSummaryLine("まで31手で上手の反則負け", kSente).winner, kSente);
  EXPECT_EQ(ParseSummaryLine("まで120手で持将棋", kSente).kind, GameEnd::kImpasse);
  EXPECT_EQ(ParseSummaryLine("まで3手", kGote).kind, GameEnd::kNone);
  EXPECT_EQ(ParseSummaryLine("まで5手で不詰", kGote).kind, GameEnd::kNoMate);  // not 詰
  EXPECT_EQ(ParseSummaryLine("まで78手で後手投了", kSente).winner, kSente);  // the side named resigned
}

// --- the batch -------------------------------------------------------------------------------------

class KakinokiBatchTest : public testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("komaraku_k2c_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "out");
    Write("a.kif", Crlf({"先手：a", "手数----", "   1 ７六歩(77)", "   2 投了"}));
    Write("b.ki2", Crlf({"先手：b", "▲２六歩 △８四歩"}));
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void Write(const std::string& name, const std::string& text) {
    ASSERT_TRUE(platform::WriteWholeFile((dir / name).string(), text));
  }
  std::string Read(const std::string& name) {
    std::string text;
    platform::ReadWholeFile((dir / "out" / name).string(), text);
    return text;
  }
  KakinokiBatch Batch() {
    KakinokiBatch b;
    b.inputs = {(dir / "a.kif").string(), (dir / "b.ki2").string()};
    b.out_dir = (dir / "out").string();
    return b;
  }
  std::filesystem::path dir;
  platform::RecordingMessageSink messages;
};

TEST_F(KakinokiBatchTest, OneFilePerInput) {
  KakinokiBatch b = Batch();
  b.inputs.push_back((dir / "missing.kif").string());
  std::vector<std::pair<int, int>> progress;
  b.on_input = [&](int input, int inputs) { progress.emplace_back(input, inputs); };
  const KakinokiBatchResult r = RunKakinokiBatch(b, messages);
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
  EXPECT_EQ(r.files_converted, 2);
  EXPECT_EQ(r.files_failed, 1);
  EXPECT_NE(Read("a.csa").find("+7776FU\r\n%TORYO\r\n"), std::string::npos);
  EXPECT_NE(Read("b.csa").find("+2726FU\r\n-8384FU\r\n"), std::string::npos);
  EXPECT_EQ(messages.messages, (std::vector<std::string>{"入力[" + b.inputs[2] + "]が開けません",
                                                         "ディレクトリ " + b.out_dir + " に個別出力しました"}));
}

TEST_F(KakinokiBatchTest, InputsSharingANameGetNumberedOutputsAndNothingIsReplacedUnasked) {
  KakinokiBatch b = Batch();
  b.inputs.clear();
  for (const char* name : {"g.kif", "g.kifu", "g.ki2"}) {
    Write(name, Crlf({std::string("先手：") + name, "▲７六歩"}));
    b.inputs.push_back((dir / name).string());
  }
  // A record whose start position is not known gives no file at all.
  Write("h.kif", Crlf({"手合割：七枚落ち", "△３四歩"}));
  b.inputs.push_back((dir / "h.kif").string());
  const KakinokiBatchResult first = RunKakinokiBatch(b, messages);
  EXPECT_EQ(first.files_written, 3);
  EXPECT_EQ(first.stats.refused_games, 1);
  EXPECT_EQ(messages.messages[0], "入力[" + b.inputs[3] + "]の手合割が読めません(手合割：七枚落ち)");
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "h.csa"));
  b.inputs.pop_back();
  EXPECT_NE(Read("g.csa").find("N+g.kif\r\n"), std::string::npos);
  EXPECT_NE(Read("g-2.csa").find("N+g.kifu\r\n"), std::string::npos);
  EXPECT_NE(Read("g-3.csa").find("N+g.ki2\r\n"), std::string::npos);
  // Run again over a file of the user's own: every output exists, none is written.
  Write("out/g.csa", "mine");
  messages.messages.clear();
  const KakinokiBatchResult again = RunKakinokiBatch(b, messages);
  EXPECT_EQ(again.files_written, 0);
  EXPECT_EQ(again.files_skipped, 3);
  EXPECT_EQ(Read("g.csa"), "mine");
  EXPECT_EQ(messages.messages[0], "出力[" + (dir / "out" / "g.csa").string() + "]は既にあるので書きませんでした");
  b.overwrite = true;
  EXPECT_EQ(RunKakinokiBatch(b, messages).files_written, 3);
  EXPECT_NE(Read("g.csa").find("N+g.kif\r\n"), std::string::npos);
}

TEST_F(KakinokiBatchTest, AllIntoOneFileAppendingWithASeparator) {
  KakinokiBatch b = Batch();
  b.bulk = true;
  b.out_file = "all";
  RunKakinokiBatch(b, messages);
  const std::string first = Read("all.csa");
  const std::vector<std::string> lines = Lines(first);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "/"), 1);
  EXPECT_EQ(lines[0], "'手数:1");
  // 追加: the first new game begins with "/".
  const KakinokiBatchResult again = RunKakinokiBatch(b, messages);
  const std::string both = Read("all.csa");
  EXPECT_EQ(both.substr(0, first.size()), first);
  EXPECT_EQ(both.substr(first.size(), 3), "/\r\n");
  EXPECT_EQ(again.csa_file, (dir / "out" / "all.csa").string());
  EXPECT_EQ(messages.messages.back(), "ファイル " + again.csa_file + " に一括出力しました");
  // 上書: anew.
  b.overwrite = true;
  RunKakinokiBatch(b, messages);
  EXPECT_EQ(Read("all.csa"), first);
  // The file of games reads back game by game.
  RecordFile file;
  ASSERT_TRUE(file.Load(again.csa_file, 1).complete);
  EXPECT_EQ(file.game().header().SenteName(), "b");
}

TEST_F(KakinokiBatchTest, NoOutputOverAnInputNorIntoAMissingFolderAndNamesAcrossFolders) {
  KakinokiBatch b = Batch();
  std::filesystem::create_directories(dir / "x");
  Write("x/a.kif", Crlf({"先手：x", "▲７六歩"}));
  Write("out/b.csa", "input");
  b.inputs = {(dir / "a.kif").string(), (dir / "x" / "a.kif").string(), (dir / "out" / "b.csa").string()};
  KakinokiBatchResult r = RunKakinokiBatch(b, messages);
  EXPECT_EQ(r.files_written, 2);
  EXPECT_EQ(r.files_failed, 1);
  EXPECT_NE(Read("a-2.csa").find("N+x\r\n"), std::string::npos);
  EXPECT_EQ(Read("b.csa"), "input");
  EXPECT_EQ(messages.messages[0], "出力[" + (dir / "out" / "b.csa").string() + "]は入力と同じファイルなので書きませんでした");
  // 一括 into an input: refused whole.
  b.bulk = true;
  b.out_file = "b";
  EXPECT_EQ(RunKakinokiBatch(b, messages).files_written, 0);
  EXPECT_EQ(Read("b.csa"), "input");

  messages.messages.clear();
  b.out_dir = (dir / "nowhere").string();
  r = RunKakinokiBatch(b, messages);
  EXPECT_TRUE(r.ran);
  EXPECT_EQ(r.files_written, 0);
  EXPECT_EQ(r.files_failed, 1);
  EXPECT_EQ(messages.messages, std::vector<std::string>{"出力ディレクトリ[" + b.out_dir + "]がありません"});
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
}

TEST_F(KakinokiBatchTest, AppendingNothingNewLeavesTheFileUntouched) {
  KakinokiBatch b = Batch();
  b.bulk = true;
  b.out_file = "all";
  Write("out/all.csa", "mine");
  Write("empty.kif", "");
  b.inputs = {(dir / "empty.kif").string(), (dir / "missing.kif").string()};
  const KakinokiBatchResult r = RunKakinokiBatch(b, messages);
  EXPECT_EQ(r.files_written, 0);
  EXPECT_EQ(r.files_failed, 2);
  EXPECT_EQ(Read("all.csa"), "mine");
  EXPECT_TRUE(std::find(messages.messages.begin(), messages.messages.end(),
                        "ファイル " + (dir / "out" / "all.csa").string() + " に一括出力しました") == messages.messages.end());
}

// Converting onto a full disk reports every output it could not write and leaves each old one whole.
TEST(KakinokiBatchOnAFullDisk, OldOutputsStayWholeAndTheFailureIsCounted) {
  test_support::SmallFileSystem fs(test_support::ScratchPath("k2c", "full"));
  SKIP_UNLESS_MOUNTED(fs);
  const std::string in = test_support::ScratchPath("k2c", "input");
  test_support::RemoveAfterPassingTest(in);
  ASSERT_TRUE(platform::MakeDirectory(in));
  ASSERT_TRUE(platform::WriteWholeFile(in + "/g.ki2", Crlf({"先手：a", "▲２六歩 △８四歩"})));
  const std::string old = "'old\r\n";
  for (const char* name : {"/g.csa", "/all.csa"}) ASSERT_TRUE(platform::WriteWholeFile(fs.path() + name, old));
  ASSERT_TRUE(fs.Fill());
  platform::RecordingMessageSink messages;
  KakinokiBatch b;
  b.inputs = {in + "/g.ki2"};
  b.out_dir = fs.path();
  b.out_file = "all";
  for (bool bulk : {false, true}) {
    b.bulk = bulk;
    b.overwrite = !bulk;  // 個別 replaces g.csa, 一括 appends to all.csa
    const KakinokiBatchResult r = RunKakinokiBatch(b, messages);
    EXPECT_EQ(r.files_written, 0) << "bulk " << bulk;
    EXPECT_EQ(r.files_failed, 1) << "bulk " << bulk;
    EXPECT_EQ(messages.messages.back(), "出力[" + fs.path() + (bulk ? "/all.csa" : "/g.csa") + "]に書き込めません");
  }
  for (const char* name : {"/g.csa", "/all.csa"}) {
    std::string back;
    ASSERT_TRUE(platform::ReadWholeFile(fs.path() + name, back));
    EXPECT_EQ(back, old) << name;
  }
}

TEST_F(KakinokiBatchTest, SettingsAreCheckedFirst) {
  KakinokiBatch b;
  EXPECT_FALSE(RunKakinokiBatch(b, messages).ran);
  b.inputs = {"x.kif"};
  EXPECT_FALSE(RunKakinokiBatch(b, messages).ran);
  b.out_dir = "/tmp";
  b.bulk = true;
  EXPECT_FALSE(RunKakinokiBatch(b, messages).ran);
  EXPECT_EQ(messages.messages, (std::vector<std::string>{"入力ファイル未設定", "出力ディレクトリ未設定", "出力ファイル未設定"}));
}

// --- the simple reader -----------------------------------------------------------------------------

TEST(KifReaderTest, LinesAndInsertedHeader) {
  KifReader reader;
  std::string csa;
  ASSERT_TRUE(reader.Convert(Crlf({"開始日時：2024/01/10 10:00:00", "棋戦：竜王戦", "先手：", "後手：谷川", "手数----",
                                   "   1 ７六歩(77)   ( 0:01/00:00:01)", "*初手", "   2 ３四歩(33)",
                                   "   3 ２二角成(88)", "   4 同　銀(31)", "   5 ５五角打   ( 0:00/00:00:00)",
                                   "まで5手で先手の勝ち", "変化：2手", "   2 ８四歩(83)"}),
                             csa));
  EXPECT_EQ(csa, Crlf({"'棋戦名:竜王戦", "'対局日:20240110", "'手数:5", "'試合結果:先手勝", "N+対局者不詳", "N-谷川",
                       "PI", "+", "+7776FU", "'注釈:初手", "-3334FU", "+8822UM", "-3122GI", "+0055KA",
                       "%TORYO"}));
}

TEST(KifReaderTest, WithoutASenteLineThereIsNoInsertedHeader) {
  KifReader reader;
  std::string csa;
  ASSERT_TRUE(reader.Convert(Crlf({"開始日時：2024/01/10", "手数----", "   1 ７六歩(77)", "   2 投了"}), csa));
  EXPECT_EQ(csa, Crlf({"PI", "+", "+7776FU", "%TORYO"}));
}

TEST(KifReaderTest, FailuresStopWithTheirMessage) {
  platform::RecordingMessageSink messages;
  KifReader reader(&messages);
  std::string csa;
  EXPECT_FALSE(reader.Convert(Crlf({"手合割：香落ち"}), csa));
  EXPECT_FALSE(reader.Convert(Crlf({"手数--", "   1 ７六歩(77)", "   2 ３四"}), csa));
  EXPECT_EQ(messages.messages, (std::vector<std::string>{"手合は平手しか変換できません(手合割：香落ち)。",
                                                         "指し手エラーです。(   2 ３四)"}));
  EXPECT_EQ(csa, Crlf({"PI", "+", "+7776FU"}));
  EXPECT_FALSE(reader.Convert("", csa));
  // Neither a move list nor a diagram (a KI2 record, any other text): nothing is taken for a header.
  messages.messages.clear();
  EXPECT_FALSE(reader.Convert(Crlf({"先手：a", "▲７六歩 △３四歩"}), csa));
  EXPECT_EQ(csa, "");
  EXPECT_EQ(messages.messages, std::vector<std::string>{"柿木形式の棋譜ではありません。"});
}

}  // namespace
