// Pieces of Kakinoki (KIF/KI2) text shared by the two converters: dates, handicaps, player names,
// game ends, summary lines and variation headers. All text is CP932.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/game_end.h"
#include "rules/side.h"

namespace record {

// A 手合割 name: the CSA line of its start position and who moves first.
struct KakinokiHandicap {
  const char* name;  // "香落ち"
  const char* pi;    // "PI11KY"; "PI" for the even game; "" for その他, whose position a diagram gives
  bool handicap;     // 上手 (gote) moves first; results speak of 下手/上手
};
// The handicap a 手合割 value names (blanks after the name aside); the even game for an empty value;
// nullptr for a name this reader does not know, which must not be taken for the even game.
const KakinokiHandicap* HandicapOf(std::string_view value);
// Every 手合割 name known, in the order writers prefer them: the standard name of a position comes
// before its other names.
std::span<const KakinokiHandicap> KnownHandicaps();

// 対局日/開始日時 values ("2024/01/10 10:00:00", "24/01/10", "2024年1月10日(水)") as yyyymmdd. Values of
// 7 bytes or fewer, and values in no known form, come back unchanged.
std::string ConvertKakinokiDate(std::string_view value);

// A player name with the single-byte punctuation of names turned full-width ("-" becomes "－" and so on);
// double-byte characters are kept.
std::string FullWidthName(std::string_view name);

// The ending word a move token starts with (投了, 中断, 千日手, 持将棋, 詰み, 不詰, 切れ負け, 時間切れ,
// 反則勝ち, 反則負け, 入玉勝ち, 不戦勝, 不戦敗, 封じ手, トライ), with the length of the word; kNone when the
// token starts with none. The word is said by the side to move.
GameEnd::Kind EndKeywordAt(std::string_view token, size_t* length = nullptr);
// A summary line such as "まで77手で先手の勝ち", "まで60手で千日手" or "まで61手詰": what it states, with
// `side_to_move` (after the last move) standing for the side a line names no side for.
bool IsSummaryLine(std::string_view line);
GameEnd ParseSummaryLine(std::string_view line, rules::Side side_to_move);

// The CSA line of an ending that another reader, reading it with `side_to_move`, takes for the same
// ending and winner; "" when CSA has no word for it or its word would be read otherwise.
std::string CsaEndLineFor(const GameEnd& end, rules::Side side_to_move);

// A variation header "変化：3手" (blanks after the colon, full-width digits and a half-width colon are
// taken): the number of the move it replaces, 0 when the number does not read, -1 for any other line.
int VariationMove(std::string_view line);

// The second byte of a double-byte character: 0x40..0x7E or 0x80..0xFC.
constexpr bool IsCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The byte offset of `word` in `text`, matching only at character boundaries; npos when absent.
size_t FindChars(std::string_view text, std::string_view word);
// Skips blanks, tabs and full-width spaces.
std::string_view SkipKakinokiBlanks(std::string_view text);

}  // namespace record
