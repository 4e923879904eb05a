#include "shogidb/header_rows.h"

#include <cstdio>
#include <cstring>

#include "platform/clock.h"
#include "platform/text_scan.h"
#include "shogidb/table_object.h"

using namespace record;

namespace shogidb {
namespace {

// Offsets of the game header fields 0..13 (対局日 .. 登録日時) in a SHGDB_B row.
constexpr int kGameOffsets[GameHeader::kGameNumber] = {29, 37, 47, 57, 63, 69, 71, 77, 81, 87, 93, 133, 173, 213};
int GameFieldOffset(int field) { return kGameOffsets[field]; }

constexpr int kProblemOffsets[ProblemHeader::kFieldCount] = {0, 18, 22, 62, 76, 126, 148};

}  // namespace

std::string NormalizedMoveCount(const std::string& value) {
  if (value.empty() || value.size() >= 4) return value;
  for (char c : value) {
    if (c < '0' || c > '9') return value;
  }
  char text[8];
  std::snprintf(text, sizeof text, "%04d", std::stoi(value));
  return text;
}

std::string RegistrationTimeNow() {
  const platform::LocalTime t = platform::Now();
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

long DecimalValue(std::string_view text) {
  if (text.size() > 9 || !platform::AllDigits(text)) return -1;
  long value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

std::string RowNumber(const uint8_t* row, int offset) { return GetText(row + offset, 6); }

void SetRowNumber(uint8_t* row, int offset, const std::string& number) { PutText(row + offset, 6, number); }

void WriteGameRow(const GameRow& game, uint8_t* row) {
  std::memset(row, 0, GameRowLayout::kRecordLength);
  const GameHeader& h = game.header;
  PutText(row + GameRowLayout::kPlayers, GameRowLayout::kPlayersWidth, h.ShortPlayers());
  for (int i = 0; i < GameHeader::kGameNumber; ++i) {
    std::string value = h.Field(i);
    if (i == GameHeader::kMoveCount) value = NormalizedMoveCount(value);
    PutText(row + GameFieldOffset(i), h.FieldSpec(i).width, value);
  }
  PutText(row + GameRowLayout::kStartPosition, 8, game.start_position);
  row[GameRowLayout::kSide] = static_cast<uint8_t>(game.side == rules::kGote ? '1' : '0');
  PutText(row + GameRowLayout::kNumber, 6, h.Field(GameHeader::kGameNumber));
}

void ReadGameRow(const uint8_t* row, GameRow& game) {
  GameHeader& h = game.header;
  h.Clear();
  h.SetPlayersText(GetText(row + GameRowLayout::kPlayers, GameRowLayout::kPlayersWidth));
  for (int i = 0; i < GameHeader::kGameNumber; ++i) h.SetField(i, GetText(row + GameFieldOffset(i), h.FieldSpec(i).width));
  h.SetField(GameHeader::kGameNumber, GetText(row + GameRowLayout::kNumber, 6));
  game.start_position = GetText(row + GameRowLayout::kStartPosition, 8);
  game.side = row[GameRowLayout::kSide] == '1' ? rules::kGote : rules::kSente;
}

void WriteProblemRow(const ProblemHeader& h, uint8_t* row) {
  std::memset(row, 0, ProblemRowLayout::kRecordLength);
  for (int i = 0; i < ProblemHeader::kFieldCount; ++i) {
    std::string value = h.Field(i);
    if (i == ProblemHeader::kMateLength) value = NormalizedMoveCount(value);
    PutText(row + kProblemOffsets[i], h.FieldSpec(i).width, value);
  }
  PutText(row + ProblemRowLayout::kProblemPosition, 8, h.ProblemPosition());
}

void ReadProblemRow(const uint8_t* row, ProblemHeader& h) {
  h.Clear();
  for (int i = 0; i < ProblemHeader::kFieldCount; ++i) {
    h.SetField(i, GetText(row + kProblemOffsets[i], h.FieldSpec(i).width));
  }
  // A cleared header names 作者不詳; a stored empty author stays empty.
  if (GetText(row + kProblemOffsets[ProblemHeader::kAuthor], 18).empty()) h.ClearField(ProblemHeader::kAuthor);
  h.SetProblemPosition(GetText(row + ProblemRowLayout::kProblemPosition, 8));
}

}  // namespace shogidb
