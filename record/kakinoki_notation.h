// The move texts of Kakinoki records, written from a position: KIF ("７六歩(77)", "同　角成(88)",
// "５五角打", "２三銀不成(34)") and KI2 ("７六歩", "同歩", "５八金左", "５五角打"), without side marks.
//
// KI2 names the moving piece by words only where another piece of the same kind (and promotion) of the
// mover's side could reach the square, as the published rules of notation ask: first the motion (上 寄
// 引); where that does not tell the pieces apart, the place (左 右, and 直 for a piece that comes straight
// up; never 直 for a dragon or horse, which compare their places with each other); where neither alone
// does, both ("左上"). A drop says 打 only where such a board piece could have gone there instead. 不成
// is written only where the piece could have promoted.
#pragma once
#include <string>

#include "rules/move_word.h"

namespace rules {
class Position;
}  // namespace rules

namespace record {

// `before` stands where the move is made: its current node is the move's parent (for 同). The move goes
// to a board square.
std::string KifMoveText(const rules::Position& before, rules::MoveWord move);
std::string Ki2MoveText(const rules::Position& before, rules::MoveWord move);

// The words that tell the moving piece apart (KI2), "" when none are needed.
std::string RelativeWords(const rules::Position& before, rules::MoveWord move);

}  // namespace record
