// Where the board stands, in words: the status bar's "30手目 ▲７六歩" (or "初期局面" at the start) and a
// board window's title with the ply added ("sample-game.csa — 30手目"). UTF-8.
#pragma once
#include <string>

#include "rules/position.h"

namespace app {

// The ply and the move that led to the current position, named as the record window names it.
std::string PositionCaption(const rules::Position& board);
// The document title, with the ply after a dash once the board has left the start.
std::string TitleWithPly(const std::string& title, int ply);

}  // namespace app
