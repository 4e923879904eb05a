// SFEN positions and USI lines: written and read back over the test data, the tsume SFENs against their
// problem files, and what a broken text is told.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "record/record_file.h"
#include "record/sfen.h"
#include "rules/notation.h"
#include "tests/record/record_test_util.h"

using namespace record;

namespace {

rules::BoardForm FormOf(const SfenPosition& p) {
  rules::BoardForm form;
  form.Encode(p.pieces);
  return form;
}

std::string MainLine(const rules::Position& board) {
  std::string line;
  for (const rules::MoveNode* n = board.root()->child; n; n = n->child) line += rules::CsaMoveText(n->move) + " ";
  return line;
}

std::string ReadError(std::string_view sfen) {
  SfenPosition p;
  return ReadSfen(sfen, p);
}

TEST(Sfen, EvenGameAndAHandWrittenPosition) {
  PlainBoard board;
  EXPECT_EQ(PositionSfen(board, 1), kStartSfen);
  PlayCsa(board, "+7776FU");
  PlayCsa(board, "-3334FU");
  PlayCsa(board, "+8822UM");
  EXPECT_EQ(PositionSfen(board, 4), "lnsgkgsnl/1r5+B1/pppppp1pp/6p2/9/2P6/PP1PPPPPP/7R1/LNSGKGSNL w B 4");

  SfenPosition p;
  ASSERT_EQ(ReadSfen("1+R6l/7k1/7p1/9/9/9/9/9/K8 b 2G3Pr2b2g4s4n3l14p 7", p), "");
  EXPECT_EQ(p.side, rules::kSente);
  EXPECT_EQ(p.move_number, 7);
  UsiLine line{p, {}};
  ASSERT_EQ(LoadUsiLine(line, board), "");
  EXPECT_EQ(PositionSfen(board, 7), "1+R6l/7k1/7p1/9/9/9/9/9/K8 b 2G3Pr2b2g4s4n3l14p 7");
  EXPECT_EQ(board.HandCount(rules::kGote, rules::FU), 14);
  EXPECT_EQ(board.CountIn(rules::kPieceBox, rules::FU), 0);
}

TEST(Sfen, BrokenTextsSayWhatIsWrong) {
  EXPECT_EQ(ReadError("lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1 b - 1"), "SFENの盤面が9段9マスではありません(lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1)");
  EXPECT_EQ(ReadError("lnsgkgsnl/1r5b/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1"),
            "SFENの盤面の2段目が9マスではありません(lnsgkgsnl/1r5b/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL)");
  EXPECT_EQ(ReadError("lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNX b - 1"), "SFENの駒の文字が間違っています(X)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b 3R 1"), "SFENの駒の数が多すぎます(R)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4+G4 b - 1"), "SFENの成れない駒が成っています(+G)");
  EXPECT_EQ(ReadError("4P4/9/9/9/9/9/9/9/4K4 b - 1"), "SFENに行き所のない駒があります(５一)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/1n7/4K4 b - 1"), "SFENに行き所のない駒があります(８八)");
  EXPECT_EQ(ReadError("4k4/9/9/4P4/4P4/9/9/9/4K4 b - 1"), "SFENに二歩があります(５五)");
  EXPECT_EQ(ReadError("9/9/9/9/9/9/9/9/3KK4 b - 1"), "SFENに先手の玉が二枚あります");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 x - 1"), "SFENの手番が間違っています(x)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b K 1"), "SFENの持駒が間違っています(K)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b 2P3P 1"), "SFENの持駒に同じ駒が二度あります(P)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b 19P 1"), "SFENの持駒の数が間違っています(19P)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b 2 1"), "SFENの持駒が間違っています(2)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b - 0"), "SFENの手数が間違っています(0)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b"), "SFENの欄が足りません(4k4/9/9/9/9/9/9/9/4K4 b)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b - 1 x"), "SFENの後に余分な文字があります(x)");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b - 1"), "");
  EXPECT_EQ(ReadError("4k4/9/9/9/9/9/9/9/4K4 b -"), "");  // the move number may be left out

  // The side that is not to move may not stand in check.
  PlainBoard board;
  UsiLine line;
  ASSERT_EQ(ReadUsiLine("sfen 4k4/9/9/9/9/9/9/4r4/4K4 w - 1", line), "");
  EXPECT_EQ(LoadUsiLine(line, board), "SFENの局面で手番でない先手の玉に王手がかかっています");
  ASSERT_EQ(ReadUsiLine("sfen 4k4/4R4/9/9/9/9/9/9/4K4 b - 1", line), "");
  EXPECT_EQ(LoadUsiLine(line, board), "SFENの局面で手番でない後手の玉に王手がかかっています");
  EXPECT_EQ(PositionSfen(board, 1), kStartSfen);  // left as it was
  ASSERT_EQ(ReadUsiLine("sfen 4k4/4R4/9/9/9/9/9/9/4K4 w - 1", line), "");
  EXPECT_EQ(CheckSfenPosition(line.start), "");  // the side to move may be in check
}

TEST(Sfen, UsiLinesPlayTheirMovesAndWriteBack) {
  PlainBoard board;
  UsiLine line;
  const std::string text = "position startpos moves 7g7f 3c3d 8h2b+ 3a2b B*4e";
  ASSERT_EQ(ReadUsiLine(text, line), "");
  ASSERT_EQ(LoadUsiLine(line, board), "");
  EXPECT_EQ(MainLine(board), "+7776FU -3334FU +8822UM -3122GI +0045KA ");
  EXPECT_EQ(board.depth(), 0);  // left at the start
  EXPECT_EQ(RecordUsiLine(board), text);

  ASSERT_EQ(ReadUsiLine("1+R6l/7k1/7p1/9/9/9/9/9/K8 b 2G3Pr2b2g4s4n3l14p 1 moves G*3b", line), "");
  ASSERT_EQ(LoadUsiLine(line, board), "");
  EXPECT_EQ(RecordUsiLine(board), "position sfen 1+R6l/7k1/7p1/9/9/9/9/9/K8 b 2G3Pr2b2g4s4n3l14p 1 moves G*3b");

  // A move that cannot be played ends the record before it, and says which it was.
  ASSERT_EQ(ReadUsiLine("position startpos moves 7g7f 3c3d 7f7d", line), "");
  EXPECT_EQ(LoadUsiLine(line, board),
            "USIの指し手が間違っています(3手目 7f7d: 指し手が間違っています(+7674FU))");
  EXPECT_EQ(MainLine(board), "+7776FU -3334FU ");
  ASSERT_EQ(ReadUsiLine("sfen 4k4/9/9/9/4r4/9/9/4G4/4K4 b - 1 moves 5h4h", line), "");  // a pinned gold
  EXPECT_EQ(LoadUsiLine(line, board), "USIの指し手が間違っています(1手目 5h4h: 王手を放置する手です)");
  EXPECT_EQ(MainLine(board), "");
  EXPECT_EQ(board.PieceAt(rules::BoardIndex::At(5, 8))->kind(), rules::KI);
  ASSERT_EQ(ReadUsiLine("startpos moves 7g7f 5e5d", line), "");
  EXPECT_EQ(LoadUsiLine(line, board), "USIの指し手が間違っています(2手目 5e5d)");
  ASSERT_EQ(ReadUsiLine("startpos moves 7g7f x", line), "");
  EXPECT_EQ(LoadUsiLine(line, board), "USIの指し手が間違っています(2手目 x)");
  EXPECT_EQ(ReadUsiLine("position startpos 7g7f", line), "局面の後に余分な文字があります(7g7f)");
  EXPECT_EQ(ReadUsiLine("position", line), "局面の指定がありません(position)");

  EXPECT_TRUE(LooksLikeSfenOrUsi("  position startpos\r\n"));
  EXPECT_TRUE(LooksLikeSfenOrUsi(std::string(kStartSfen)));
  EXPECT_TRUE(LooksLikeSfenOrUsi("sfen x"));
  EXPECT_FALSE(LooksLikeSfenOrUsi("+7776FU"));
  EXPECT_FALSE(LooksLikeSfenOrUsi("a/b/c"));
}

TEST(Sfen, AGameWrittenAsAUsiLineSaysWhatItLeavesOut) {
  PlainBoard board;
  GameDocument doc(board);
  EXPECT_TRUE(DroppedUsiParts(doc).empty());
  PlayCsa(board, "+7776FU");
  board.StepBack();
  PlayCsa(board, "+2726FU");
  board.AddAnnotation(board.current(), "note");
  doc.header().SetField(GameHeader::kEvent, "x");
  EXPECT_EQ(DroppedUsiParts(doc), (std::vector<std::string>{"対局情報", "注釈", "変化"}));
}

// Every position along the main line of every test data game, written and read back, is the same
// position; the whole main line goes through a USI line and back.
TEST(Sfen, TestDataGamesRoundTrip) {
  const std::string dir = TestDataDir();
  if (dir.empty()) GTEST_SKIP() << "no test data";
  int games = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir + "/kifu")) {
    if (entry.path().extension() != ".csa") continue;
    RecordFile file;
    ASSERT_TRUE(file.Load(entry.path().string()).opened) << entry.path();
    PlainBoard& board = file.board();
    const std::string usi = RecordUsiLine(board);
    for (int ply = 0;; ++ply) {
      const std::string sfen = PositionSfen(board, ply + 1);
      SfenPosition p;
      ASSERT_EQ(ReadSfen(sfen, p), "") << entry.path() << " ply " << ply;
      ASSERT_TRUE(FormOf(p) == board.CurrentBoardForm()) << entry.path() << " ply " << ply << ": " << sfen;
      ASSERT_EQ(p.side, board.side_to_move());
      ASSERT_EQ(p.move_number, ply + 1);
      if (!board.StepForward()) break;
    }
    PlainBoard again;
    UsiLine line;
    ASSERT_EQ(ReadUsiLine(usi, line), "");
    ASSERT_EQ(LoadUsiLine(line, again), "") << entry.path();
    EXPECT_EQ(MainLine(again), MainLine(board)) << entry.path();
    ++games;
  }
  EXPECT_GT(games, 0);
}

// The sfen column of the tsume index gives each problem's position as its PCL file does, and the
// problem written as SFEN gives that column back (but for the move number, which PCL does not keep).
TEST(Sfen, TsumeIndexAgreesWithTheProblemFiles) {
  const std::string dir = TestDataDir();
  if (dir.empty()) GTEST_SKIP() << "no test data";
  std::ifstream index(dir + "/tsume/index.tsv");
  std::string row;
  std::getline(index, row);  // the heading
  int problems = 0;
  while (std::getline(index, row)) {
    std::vector<std::string> cols;
    std::stringstream cells(row);
    for (std::string c; std::getline(cells, c, '\t');) cols.push_back(c);
    if (cols.size() < 5 || cols[4].empty()) continue;
    RecordFile file;
    ASSERT_TRUE(file.Load(dir + "/tsume/" + cols[0] + ".pcl").opened) << cols[0];
    SfenPosition p;
    ASSERT_EQ(ReadSfen(cols[4], p), "") << cols[0];
    EXPECT_TRUE(FormOf(p) == file.board().CurrentBoardForm()) << cols[0];
    EXPECT_EQ(p.side, file.board().side_to_move()) << cols[0];
    const std::string written = PositionSfen(file.board(), p.move_number);
    EXPECT_EQ(written, cols[4]) << cols[0];
    ++problems;
  }
  EXPECT_GT(problems, 0);
}

}  // namespace
