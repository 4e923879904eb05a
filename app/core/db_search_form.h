// What the search dialogs (対局検索・選択, 詰将棋検索・選択) work out without their windows: the target
// position a finished set-up hands back, the position condition made from the dialog's controls, and
// 指手比較, the comparison of the current window's game with a stored one.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "record/record_board.h"
#include "rules/board_form.h"
#include "shogidb/board_move.h"
#include "shogidb/item_database.h"

namespace app {

// The position the search looks for, as the set-up window left it.
struct SearchTarget {
  bool entered = false;
  rules::BoardForm form;
  rules::Side side = rules::kSideUnset;  // unset: either side to move
};

// The target from the bytes a finished set-up hands back (the position file's layout); false, with the
// target unchanged, when the bytes are not such a file or hold an impossible form.
bool TargetFromSetupBytes(std::string_view bytes, SearchTarget& target);
// The set-up file bytes of a target, so that 修正入力 starts from it.
std::string SetupBytesOfTarget(const SearchTarget& target);

// The position controls of the dialog as the user left them.
struct PositionControls {
  int mode = shogidb::PositionSpec::kNone;  // the radio buttons: none, 局面一致, 盤上駒の一致
  bool reversed = false;                    // 反転局面を検索する
  std::string first_ply = "1";              // F 手目から
  std::string ply_count;                    // C 手を検索する ("" for every ply)
};

// The position condition of a search; "" when it is sound, else the message (CP932) to show. A mode
// without an entered target, or plies that are not numbers in range, are refused rather than searched
// with a guess.
std::string MakePositionSpec(const PositionControls& controls, const SearchTarget& target,
                             shogidb::PositionSpec& spec);

// A game as 指手比較 sees it: whether its record branches, its start and its moves as board moves.
struct ComparedGame {
  bool branched = false;
  rules::BoardForm start;
  rules::Side side = rules::kSente;
  std::vector<shogidb::BoardMove> moves;
};

// The game of a record (read from a copy, so the board shown does not move).
ComparedGame GameOfRecord(const record::RecordBoard& board);
ComparedGame GameOfStoredItem(const shogidb::ItemDatabase::StoredItem& item);

// The message of 指手比較 (CP932): one of its five results, then "現バッファ=" and "選択棋譜  =" with the
// two games' list lines.
std::string CompareGamesText(const ComparedGame& current, const ComparedGame& selected, const std::string& current_line,
                             const std::string& selected_line);

}  // namespace app
