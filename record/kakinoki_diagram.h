// The position diagram (BOD) a Kakinoki record may carry in its header, read whole or refused. CP932.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "rules/side.h"

namespace record {

// A position diagram (BOD) in the header of a Kakinoki record, taken line by line:
//   後手の持駒：飛　角二　歩十七          (or なし, or 残り全部; 上手の持駒 in handicap games)
//     ９ ８ ７ ６ ５ ４ ３ ２ １
//   +---------------------------+
//   |v香v桂 ・ ・v玉 ・ ・v桂v香|一       nine cells of a mark (" ", "v" for gote) and a name, the rank
//   ...
//   +---------------------------+
//   先手の持駒：なし
//   手数＝0                               (the count of a diagram taken mid-game; ignored)
//   後手番                                (or 先手番, 上手番, 下手番; sente when absent)
// A diagram is read whole or refused: a row without its rank, a name it does not know or a missing row
// must never leave the even position or an empty board in its place.
class KakinokiDiagram {
 public:
  // Takes a line that belongs to a diagram; false for any other line. A row or hand that does not read
  // spoils the diagram.
  bool Take(std::string_view line);
  // Whether a board, a frame or a hand was given.
  bool present() const { return present_; }
  // The side the diagram says is to move; kSideUnset when no side line was given.
  rules::Side side_to_move() const { return side_; }
  // Why the diagram gives no position ("局面図が読めません(|...)", "局面図の五段目がありません"); "" when
  // it gives one.
  std::string Problem() const;
  // The position as CSA position lines ("P1".."P9", "P+", "P-"), when Problem() is "".
  std::vector<std::string> PositionLines() const;

 private:
  bool TakeHand(std::string_view list, rules::Side side);
  bool TakeRow(std::string_view line);
  void Spoil(std::string_view line);

  bool present_ = false;
  rules::Side side_ = rules::kSideUnset;
  std::string rows_[10];    // "P1 * -KY..." by rank; empty until given
  std::string hands_[2];    // "00KI00FU" by side
  bool rest_to_[2] = {};    // 残り全部: every piece left goes to that hand
  std::string problem_;
};

}  // namespace record
