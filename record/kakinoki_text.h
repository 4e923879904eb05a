// Pieces of Kakinoki (KIF/KI2) text shared by the two converters: dates, handicaps, player names,
// game ends and summary lines. All text is CP932.
#pragma once
#include <string>
#include <string_view>

#include "record/game_end.h"
#include "rules/side.h"

namespace record {

// The 手合割 of a record: the CSA line of its start position and who moves first.
struct KakinokiHandicap {
  const char* prefix;  // how the 手合割 value begins
  const char* pi;      // "PI82HI", "PI" for the even game
  bool handicap;       // 上手 (gote) moves first; results speak of 下手/上手
};
// The handicap named by a 手合割 value (first prefix that matches), or the even game.
const KakinokiHandicap& HandicapOf(std::string_view value);

// 対局日/開始日時 values ("2024/01/10 10:00:00", "24/01/10", "2024年1月10日(水)") as yyyymmdd. Values of
// 7 bytes or fewer, and values in no known form, come back unchanged.
std::string ConvertKakinokiDate(std::string_view value);

// A player name with the single-byte punctuation of names turned full-width ("-" becomes "－" and so on);
// double-byte characters are kept.
std::string FullWidthName(std::string_view name);

// The end keyword a move token starts with (投了, 中断, 千日手, 持将棋, 詰み, 切れ負け, 時間切れ, 反則勝ち,
// 反則負け, 入玉勝ち), with the length of the keyword; kNone when the token starts with none.
GameEnd::Kind EndKeywordAt(std::string_view token, size_t* length = nullptr);
// A summary line such as "まで77手で先手の勝ち" or "まで60手で千日手": what it states.
bool IsSummaryLine(std::string_view line);
GameEnd ParseSummaryLine(std::string_view line);

// The second byte of a double-byte character: 0x40..0x7E or 0x80..0xFC.
constexpr bool IsCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The byte offset of `word` in `text`, matching only at character boundaries; npos when absent.
size_t FindChars(std::string_view text, std::string_view word);
// Skips blanks, tabs and full-width spaces.
std::string_view SkipKakinokiBlanks(std::string_view text);

}  // namespace record
