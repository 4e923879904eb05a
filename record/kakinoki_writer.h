// Writes a game as Kakinoki text, KIF or KI2, as other shogi programs read it. CP932, CRLF lines.
//
//   開始日時：2024/02/10                from 対局日
//   棋戦：…  戦型：…
//   手合割：香落ち                      a known start position by its standard name; any other start
//                                       is a diagram, with 後手番 when gote moves first
//   先手：…  後手：…                    下手/上手 in handicap games; a name not known is left out
//   手数----指手---------消費時間--      KIF only
//   *…                                  the game annotation
//      1 ７六歩(77)   ( 0:00/00:00:00)  KIF: one numbered move a line, "+" after a move that has
//   *…                                  alternatives, its annotation lines after it;
//   ▲７六歩    △３四歩    …            KI2: six moves a line, relative words where needed
//     5 投了         ( 0:00/00:00:00)   KIF: the ending word the 試合結果 gives
//   まで4手で後手の勝ち                 the summary line of the main line
//
//   変化：3手                           every alternative, after the line it branches from: the latest
//      3 ２六歩(27)   ( 0:00/00:00:00)  branch point first, so a reader stepping back from the line it read
//                                       last finds each branch's parent; nested ones right after their own.
//
// What the format has no line for is not written: see DroppedKakinokiFields.
#pragma once
#include <string>
#include <vector>

namespace record {

class GameDocument;

enum class KakinokiForm { kKif, kKi2 };

// The whole record from its start (the board's place is kept).
std::string WriteKakinokiText(GameDocument& doc, KakinokiForm form);

// The names of what the document holds that a Kakinoki file does not carry ("先手段位", "持時間",
// "試合結果(引分)" ...), CP932; empty when nothing is lost.
std::vector<std::string> DroppedKakinokiFields(const GameDocument& doc);

}  // namespace record
