#include "tests/record/record_test_util.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "record/csa_body.h"
#include "rules/notation.h"
#include "tests/support/reference_rules.h"

using namespace rules;
using namespace record;

void PlayCsa(RecordBoard& board, std::string_view csa) {
  CsaMove m;
  ASSERT_TRUE(ParseCsaMoveLine(board, csa, m)) << csa;
  ASSERT_EQ(board.piece(m.piece).MoveTo(m.to, PromotionTo(m.promote), m.side), 1) << csa;
}

std::string WriteDoc(RecordDocument& doc) {
  Archive ar = Archive::ToMemory();
  doc.Serialize(ar);
  return ar.text();
}

DocumentResult ReadDoc(RecordDocument& doc, std::string_view text) {
  Archive ar = Archive::FromText(text);
  return doc.Serialize(ar);
}

namespace {

// Plays a random move of play for the side to move; false when there is none.
bool PlayRandomMove(RecordBoard& board, std::mt19937& rng) {
  const RefPosition p = Snapshot(board);
  const Side side = board.side_to_move() == kSideUnset ? kSente : board.side_to_move();
  std::vector<RefMove> moves = RefLegalMoves(p, SideIndex(side), true);
  if (moves.empty()) return false;
  const RefMove& m = moves[rng() % moves.size()];
  const BoardIndex to = BoardIndex::At(m.to_file, m.to_rank);
  if (m.is_drop()) {
    const int index = board.LastPieceOfKind(Location::Hand(side), m.kind);
    return board.piece(index).MoveTo(to, Promotion::kDemote, side) == 1;
  }
  Piece* piece = board.PieceAt(BoardIndex::At(m.from_file, m.from_rank));
  return piece && piece->MoveTo(to, PromotionTo(m.promote)) == 1;
}

}  // namespace

void BuildRandomRecord(RecordBoard& board, std::mt19937& rng, int moves, int branches) {
  board.BeginRecord();
  for (int i = 0; i < moves && PlayRandomMove(board, rng); ++i) {
    if (rng() % 5 == 0) board.AddAnnotation(board.current(), "注釈" + std::to_string(i));
  }
  for (int b = 0; b < branches; ++b) {
    board.GoToStart();
    const int depth = static_cast<int>(rng() % (moves + 1));
    for (int d = 0; d < depth && board.StepForward(); ++d) {
    }
    const int length = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < length && PlayRandomMove(board, rng); ++i) {
      if (rng() % 4 == 0) board.AddAnnotation(board.current(), "分岐の注釈");
    }
  }
  board.GoToStart();
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 2);
  }
  return lines;
}

std::string Crlf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view l : lines) text.append(l).append("\r\n");
  return text;
}

std::string TestDataDir() {
  struct stat st;
  return ::stat(KOMARAKU_TESTDATA, &st) == 0 ? KOMARAKU_TESTDATA : "";
}
