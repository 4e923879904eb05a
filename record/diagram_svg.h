// A position as an SVG picture in the look of printed shogi diagrams (newspapers, tsume books): the 9x9
// grid with a heavy frame and four star points, file numerals above and rank kanji at the right, pieces
// as kanji (gote's turned upside down), each side's hand written down a column beside the board (gote's
// at the left, sente's at the right), the last move's square tinted, and an optional caption below.
#pragma once
#include <string>

namespace rules {
class Position;
}  // namespace rules

namespace record {

struct DiagramOptions {
  int width = 800;          // pixels of the picture; the height follows the diagram's proportions
  std::string sente_label;  // CP932; empty: 先手
  std::string gote_label;   // CP932; empty: 後手
  std::string sente_name;   // CP932 player names, written after the labels when not empty
  std::string gote_name;
  std::string caption;      // CP932 line under the board, none when empty
  int marked_square = 0;    // square number 11..99 to tint (the last move's destination); 0 none
};

// The height in pixels DiagramSvg gives a picture `width` pixels wide (at least 1).
int DiagramHeight(int width, bool with_caption);

// The SVG document (UTF-8 text). Every text the caller gives is converted from CP932 and escaped for XML.
std::string DiagramSvg(const rules::Position& position, const DiagramOptions& options);

// The square number (11..99) the current node's move went to, or 0 at the start or for a move into a
// hand or the box (editing).
int LastMoveSquare(const rules::Position& position);

}  // namespace record
