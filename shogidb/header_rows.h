// The header records of the game and tsume databases as table rows.
//
// SHGDB_B (250 bytes), columns in order with offset and width:
//   対局者 0/29 (sente name "-" gote name)   対局日 29/8    先手段位 37/10   後手段位 47/10   手合 57/6
//   持時間 63/6    秒読 69/2    試合結果 71/6    手数 77/4 ("%04d")   先手残時間 81/6   後手残時間 87/6
//   戦型 93/40     棋戦名 133/40   対局場所 173/40   登録日時 213/14   初期盤面 227/8 (start position id)
//   手番 235/1 ("0" sente, "1" gote)   対局番号 236/6 (the record number "%06ld")   予備 242/8 (zero)
// SHGDB_C (160 bytes):
//   作者 0/18   詰手数 18/4 ("%04d")   ヒント 22/40   難易度 62/14   表題 76/50   登録日時 126/14
//   出題図 140/8 (problem position id)   詰将棋番号 148/6 (the record number "%06ld")   予備 154/6 (zero)
// The header fields (game: 15 of them from 対局日 to 対局番号 in this order, with 初期盤面 and 手番 between
// 登録日時 and 対局番号; tsume: the 7 fields and 出題図) map to the columns one to one.
//
// While a record is being registered its number column holds "999999"; the number is set once the
// record's moves and annotations are stored, so a record still holding "999999" is one whose
// registration did not finish (the check reports it, the repair removes it).
#pragma once
#include <cstdint>
#include <string>

#include "record/header_fields.h"
#include "rules/side.h"

namespace shogidb {

constexpr char kUnfinishedNumber[] = "999999";

struct GameRowLayout {
  static constexpr int kPlayers = 0, kPlayersWidth = 29;
  static constexpr int kFirstField = 29;  // 対局日; the fields up to 登録日時 follow without gaps
  static constexpr int kStartPosition = 227, kSide = 235, kNumber = 236, kSpare = 242, kSpareWidth = 8;
  static constexpr int kRecordLength = 250;
};

struct ProblemRowLayout {
  static constexpr int kProblemPosition = 140, kNumber = 148, kSpare = 154, kSpareWidth = 6;
  static constexpr int kRecordLength = 160;
};

// A game as its header row holds it.
struct GameRow {
  record::GameHeader header;
  std::string start_position;  // 初期盤面, eight digits
  rules::Side side = rules::kSente;  // 手番
};

// Writes a row (the move count normalised to four digits); `number` replaces 対局番号 when given.
void WriteGameRow(const GameRow& game, uint8_t* row);
// Reads a row; values that break their field's rule are dropped, as a header would drop them.
void ReadGameRow(const uint8_t* row, GameRow& game);
void WriteProblemRow(const record::ProblemHeader& header, uint8_t* row);
void ReadProblemRow(const uint8_t* row, record::ProblemHeader& header);

// The value of a text of one to nine decimal digits; -1 for anything else (a damaged column or key).
long DecimalValue(std::string_view text);

// The number column of a row (6 bytes, up to a NUL).
std::string RowNumber(const uint8_t* row, int offset);
void SetRowNumber(uint8_t* row, int offset, const std::string& number);

// "%04d" for a move count shorter than four characters and below 10000; other values as they are.
std::string NormalizedMoveCount(const std::string& value);
// 登録日時 for now: "%04d%02d%02d%02d%02d%02d".
std::string RegistrationTimeNow();

}  // namespace shogidb
