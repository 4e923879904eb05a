#include "app/core/joseki_commands.h"

#include "app/core/command_ids.h"

namespace app {

using namespace cmd;

CommandState JosekiCommandState(int id, const JosekiUiState& s) {
  CommandState c;
  c.handled = true;
  const bool free = !s.search_open;
  switch (id) {
    case kJosekiPositionNote:
      c.enabled = free && !s.note_open && s.has_item;
      break;
    case kJosekiMoveNote:
      c.enabled = free && !s.note_open && s.is_move;
      break;
    case kJosekiMoveProps:
      c.enabled = free && !s.props_open && s.is_move;
      break;
    case kJosekiEval:
      c.enabled = free && !s.eval_open && s.has_item;
      break;
    case kJosekiDelete:
      c.enabled = free && s.is_move;
      break;
    case kJosekiAutoNote:
      c.enabled = true;
      c.checked = s.auto_note;
      break;
    case kDbSearch:
      c.enabled = free && s.search_available;
      c.text = "棋譜検索・選択(&S)";
      break;
    case kPrint:
    case kPrintPreview:
      c.enabled = s.has_item;
      break;
    case kJosekiClose:
    case kStatusBar:
      c.enabled = true;
      break;
    default:
      c.handled = false;
  }
  return c;
}

std::vector<MenuSpec> JosekiMenus() {
  const MenuEntry sep{kSeparator};
  return {
      {"ファイル(&F)", {{kPrint}, {kPrintPreview}, sep, {kJosekiClose}}},
      {"編集(&E)", {{kJosekiPositionNote}, {kJosekiMoveNote}, sep, {kJosekiMoveProps}, {kJosekiEval}, sep, {kJosekiDelete}}},
      {"表示(&V)", {{kStatusBar}, sep, {kJosekiAutoNote}}},
      {"データベース(&D)", {{kDbSearch}}},
  };
}

std::vector<int> JosekiPopup() {
  return {kJosekiPositionNote, kJosekiMoveNote, kJosekiMoveProps, kJosekiEval, kJosekiDelete};
}

}  // namespace app
