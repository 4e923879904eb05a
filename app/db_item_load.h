// Loading a game or problem from the database into a board window (対局選択, 詰将棋選択): the save
// question first, then the item replaces the document's contents, untitled so that a save asks for a
// file; the board, its panes and record window show it, standing at `ply` when given (where a position
// condition matched).
#pragma once
#include <cstdint>
#include <string>

namespace app {

class BoardView;

// False when nothing was loaded: the user kept the changes, the database is busy, or the item does not
// read (the document then keeps what it had; the reason has been shown).
bool LoadDbItem(BoardView& view, const std::string& cp932_dir, int32_t number, int ply);

}  // namespace app
