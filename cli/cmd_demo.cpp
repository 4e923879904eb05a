// The first thing a newcomer runs: a real position, real moves, real notation.
#include "cli/command.h"
#include "cli/console.h"
#include "cli/usage.h"
#include "record/board_diagram.h"
#include "record/plain_board.h"
#include "rules/notation.h"

using namespace rules;
using namespace record;

namespace kzb {

extern const Usage kDemoUsage = {
    .usage = "kzb demo",
    .summary = "the even position and a short opening, as board diagrams",
    .about = "Prints the even starting position, ten moves of 相掛かり with their notation, and the position\n"
             "they reach: a first look at what kzb prints.",
    .failed = "a move of the demo could not be played",
};

namespace {

void ShowDiagram(const Position& board) {
  WriteBoardDiagram(board, "先手", "後手", [](std::string_view line) { OutLine(line); });
}

}  // namespace

int RunDemo(const Args&) {
  PlainBoard board;
  OutLine("駒楽工房  平手の初期局面");
  ShowDiagram(board);
  // A common opening: 相掛かり.
  const int moves[][2] = {{27, 26}, {83, 84}, {26, 25}, {84, 85}, {25, 24},
                          {23, 24}, {28, 24}, {85, 86}, {87, 86}, {82, 86}};
  OutLine("");
  for (const auto& m : moves) {
    Piece* p = board.PieceAt(ToBoardIndex(SquareNumber(m[0])));
    if (!p || p->MoveTo(ToBoardIndex(SquareNumber(m[1])), Promotion::kKeep, p->side()) == 0) {
      Err("kzb demo: a move of the demo could not be played");
      return kFailed;
    }
    OutLine(std::to_string(board.depth()) + "  " + NodeMoveText(board, *board.current()) + "  " +
            CsaMoveText(board.current()->move));
  }
  OutLine("");
  ShowDiagram(board);
  OutLine("");
  OutLine("kzb help で他のコマンドを表示します。");
  return kOk;
}

}  // namespace kzb
