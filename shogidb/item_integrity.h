// Whether a stored game or problem is whole. An item's parts lie in four tables (its header row, its
// start position in SHGDB_A, its moves in SHGDB_D, its annotations in SHGDB_F), and damage to any of
// them used to go unnoticed: a lost move block shortened the game, a lost annotation piece dropped a
// comment, and exports wrote what was left as if it were the game.
//
// Two things tell a whole item from a damaged one:
//   - its move count column (手数, 詰手数) names how many moves its blocks must hold;
//   - its seal: when the item is stored, a CRC-32 of its row (but for the number and the seal), its
//     start position, its moves and its annotations is written into the row's spare column (予備) as
//     upper-case hex digits (8 for games, 6 for problems). Reading the item recomputes it. A row whose
//     spare column holds anything else (zeros, as other programs leave it) has no seal: only its move
//     count is checked.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rules/board_form.h"
#include "shogidb/board_move.h"

namespace shogidb {

// A result code beside the engine's: the item's stored parts are not whole (see ItemDamage).
constexpr int kDamagedItem = 300;

// Where a header row keeps what the check needs.
struct ItemRowLayout {
  int record_length;
  int count_offset, count_width;   // 手数 / 詰手数 ("%04d", empty for none)
  int position_offset;             // 初期盤面 / 出題図 (the start position's id)
  int number_offset;               // 対局番号 / 詰将棋番号
  int spare_offset, spare_width;   // 予備: the seal
};
inline constexpr ItemRowLayout kGameItemLayout = {250, 77, 4, 227, 236, 242, 8};
inline constexpr ItemRowLayout kProblemItemLayout = {160, 18, 4, 140, 148, 154, 6};

// An item's parts as read back from the tables.
struct ItemParts {
  std::vector<uint8_t> row;
  std::optional<rules::BoardForm> start;  // none when the row names no stored position
  std::vector<BoardMove> moves;          // up to the first free slot or missing block
  std::vector<std::pair<long, std::string>> notes;  // (ply, text) of its annotations, by ply
};

// The seal of an item's parts; nothing when the row has no seal.
uint32_t ItemDigest(const ItemRowLayout& layout, const ItemParts& parts);
std::optional<uint32_t> StoredSeal(const ItemRowLayout& layout, const uint8_t* row);
// Writes the seal of `parts` into `row` (which may be parts.row itself).
void SealRow(const ItemRowLayout& layout, const ItemParts& parts, uint8_t* row);

struct ItemDamage {
  enum Kind {
    kWhole,
    kNoPosition,    // the start position the row names is not stored
    kBadCount,      // the move count column holds no number
    kMissingMoves,  // fewer moves stored than the count names
    kExtraMoves,    // more moves stored than the count names
    kBrokenSeal,    // the parts differ from what was sealed (an annotation lost, a byte changed)
  };
  Kind kind = kWhole;
  long counted = 0;  // the move count column
  long stored = 0;   // the moves stored
  bool whole() const { return kind == kWhole; }
};
ItemDamage FindItemDamage(const ItemRowLayout& layout, const ItemParts& parts);
// "has 35 of its 60 moves", "its annotations or header differ from what was stored", ...
std::string DescribeDamage(const ItemDamage& damage);

}  // namespace shogidb
