// The board diagram of a position as text lines (CP932, without line ends): gote's hand, the file
// numbers, the framed board with gote's pieces marked "v", sente's hand.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "rules/side.h"

namespace rules {
class Position;
}  // namespace rules

namespace record {

// Names of pieces in diagrams and hands, by code & 15 (promoted silver, knight and lance are 全 圭 杏).
extern const char* const kDiagramPieceNames[16];
// Kanji count numerals 一 .. 十八, by count.
extern const char* const kCountNumerals[19];

// "飛 角二 歩三 " style list of a hand, or "なし".
std::string HandText(const rules::Position& position, rules::Side side);

// Calls `line` for each line of the diagram.
void WriteBoardDiagram(const rules::Position& position, std::string_view sente_label, std::string_view gote_label,
                       const std::function<void(std::string_view)>& line);

}  // namespace record
