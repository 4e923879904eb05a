// 名前を付けて保存 of a game record: the formats offered (CSA, the program's own, and KIF, KIFU, KI2), the
// file name a choice gives, and the question asked before a format that cannot carry the whole game is
// written. Texts for the dialog are UTF-8; the question is CP932, as the message sink takes it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "record/game_file_format.h"

namespace app {

// The dialog's filters, the game's own format first; `csa_filter` is its template's.
std::vector<std::string> GameSaveFilters(std::string_view csa_filter);
// The filter a path's format has (the dialog's first choice); the first for a path of no game format.
std::string GameSaveFilterFor(std::string_view csa_filter, std::string_view path);
// The chosen name as it is when it ends in a game format's extension, else with the chosen filter's.
std::string GameSavePath(std::string_view csa_filter, std::string_view chosen, std::string_view filter);

// "KIF形式では次の項目が保存されません。\n  先手段位、持時間\n保存しますか？" for the names (CP932) of
// what the format drops.
std::string DroppedFieldsQuestion(record::GameFileFormat format, const std::vector<std::string>& dropped);

}  // namespace app
