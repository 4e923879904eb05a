// One-line summaries of a game header and a tsume header, as the select-read lists and the databases'
// result lists show them, with their column headings.
#pragma once
#include <string>
#include <string_view>

#include "record/header_fields.h"

namespace record {

extern const char kGameListHeading[];     // "対局NO  対局日   対局者                結果   戦型      棋戦名"
extern const char kProblemListHeading[];  // "詰将NO  作者          詰手数  表題              難易度       出題図"

// "%s %8s %s %6s %s %s": 対局番号, 対局日, the players cut or padded to 21 bytes, 試合結果, 戦型 cut or
// padded to `opening_width` bytes ("戦型不詳" when empty), 棋戦名 ("棋戦不詳" when empty).
std::string GameListLine(const GameHeader& header, int opening_width = 10);
// "%s %s%4s 手詰 %s %s %8s": 詰将棋番号, 作者 (padded to 14 bytes), 詰手数, 表題 (16), 難易度 (12), 出題図,
// so that the columns stand under the heading.
std::string ProblemListLine(const ProblemHeader& header);

// Text cut to a width (never splitting a double-byte character) and padded with blanks to it.
std::string CutOrPad(std::string_view text, size_t width);

}  // namespace record
