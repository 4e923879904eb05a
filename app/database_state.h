// What the database windows share while the program runs: the lists of the last game and tsume searches
// (the export, deletion and batch-solving dialogs offer them) and which database windows are open, since
// only one of them may work on the database at a time.
#pragma once
#include <vector>

#include "shogidb/item_database.h"

namespace app {

struct DatabaseState {
  std::vector<shogidb::ListEntry> last_games;     // "選択リスト(前回検索結果)" of the game dialogs
  std::vector<shogidb::ListEntry> last_problems;  // the same for the tsume dialogs
  bool search_open = false;  // a search dialog (game or tsume)
  bool joseki_open = false;  // the joseki browser
  bool batch_open = false;   // 詰将棋ＤＢの思考

  bool any_open() const { return search_open || joseki_open || batch_open; }
};

}  // namespace app
