// 局面図の保存: the current position of a game or tsume window as a printed-style diagram, an SVG picture
// or a PNG image, with the window's side labels, the players' names and the last move tinted.
#pragma once
#include <QString>

namespace app {

class BoardView;

// Asks for the file (PNG or SVG; the dialog confirms replacing one), then WriteBoardDiagram.
void SaveBoardDiagram(BoardView& view);

// Writes the diagram of the view's current position to `path`, whose extension (.png or .svg) chooses the
// kind. False, after "局面図を保存できません。(path)" on the view's message sink, when it cannot.
bool WriteBoardDiagram(BoardView& view, const QString& path);

}  // namespace app
