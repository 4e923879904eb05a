// The texts of the two small panes a board picture can hold: the header pane (the record's header at a
// glance, beside the upper stand) and the guide pane (whose turn it is and which move is shown). Lines
// are UTF-8, ready for the window; header texts cross in as CP932.
#pragma once
#include <string>
#include <vector>

#include "record/header_fields.h"
#include "record/record_board.h"

namespace app {

// "先手: …", "後手: …", "対局日: …", "棋戦名:" and its value, "戦型:" and its value, "対局番号: …";
// a value that stands on a line of its own starts with a blank.
std::vector<std::string> GameHeaderLines(const record::GameHeader& header);
// "表題:" and its value, "作者: …", "難易度:" and its value, "ヒント:" and its value, "出題図: …",
// "詰将番号: …".
std::vector<std::string> ProblemHeaderLines(const record::ProblemHeader& header);

// The guide: "手  番: 先  手" (攻  方/受  方 outside a game window, 未  定 when the side to move is not
// set), "指し手: 初手" at the start or "指し手:  12 手目", then the current move's text, then "まで"
// when no move follows.
std::vector<std::string> GuideLines(const record::RecordBoard& board, bool game_window);

}  // namespace app
