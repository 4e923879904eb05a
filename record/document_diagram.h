// What a document tells a board picture about its current position: the side labels (先手/後手,
// 下手/上手 or 攻方/受方), the players' names of a game, and the last move's square.
#pragma once
#include "record/diagram_svg.h"

namespace rules {
class Position;
}  // namespace rules

namespace record {

class RecordDocument;

// Options for DiagramSvg of `position` (the document's board); `names` and `last_move` choose whether the
// players' names and the last move's tint are shown. The width stays the default.
DiagramOptions DocumentDiagramOptions(const RecordDocument& document, const rules::Position& position, bool names,
                                      bool last_move);

}  // namespace record
