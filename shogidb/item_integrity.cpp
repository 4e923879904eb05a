#include "shogidb/item_integrity.h"

#include <algorithm>

#include "platform/crc32.h"
#include "platform/text_scan.h"
#include "shogidb/header_rows.h"
#include "shogidb/table_object.h"

namespace shogidb {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The count column's number: 0 when empty, -1 when it is not a number.
long CountedMoves(const ItemRowLayout& layout, const uint8_t* row) {
  const std::string text = GetText(row + layout.count_offset, layout.count_width);
  if (text.empty()) return 0;
  return platform::AllDigits(text) ? DecimalValue(text) : -1;
}

}  // namespace

uint32_t ItemDigest(const ItemRowLayout& layout, const ItemParts& parts) {
  platform::Crc32 crc;
  // The number is set after the seal and may be corrected by the repair; the seal does not seal itself.
  std::vector<uint8_t> row = parts.row;
  row.resize(static_cast<size_t>(layout.record_length));
  std::fill_n(row.begin() + layout.number_offset, 6, 0);
  std::fill_n(row.begin() + layout.spare_offset, layout.spare_width, 0);
  crc.Add(row.data(), row.size());
  if (parts.start) crc.Add(parts.start->data(), rules::BoardForm::kSize);
  crc.AddU32(static_cast<uint32_t>(parts.moves.size()));
  for (BoardMove m : parts.moves) crc.AddU32(m);
  for (const auto& [ply, text] : parts.notes) {
    crc.AddU32(static_cast<uint32_t>(ply));
    crc.AddU32(static_cast<uint32_t>(text.size()));
    crc.Add(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  }
  return crc.value();
}

std::optional<uint32_t> StoredSeal(const ItemRowLayout& layout, const uint8_t* row) {
  uint32_t value = 0;
  for (int i = 0; i < layout.spare_width; ++i) {
    const uint8_t c = row[layout.spare_offset + i];
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

void SealRow(const ItemRowLayout& layout, const ItemParts& parts, uint8_t* row) {
  uint32_t digest = ItemDigest(layout, parts);
  for (int i = layout.spare_width - 1; i >= 0; --i, digest >>= 4) row[layout.spare_offset + i] = kHexDigits[digest & 0xF];
}

ItemDamage FindItemDamage(const ItemRowLayout& layout, const ItemParts& parts) {
  ItemDamage d;
  d.counted = CountedMoves(layout, parts.row.data());
  d.stored = static_cast<long>(parts.moves.size());
  if (!parts.start) {
    d.kind = ItemDamage::kNoPosition;
  } else if (d.counted < 0) {
    d.kind = ItemDamage::kBadCount;
  } else if (d.stored < d.counted) {
    d.kind = ItemDamage::kMissingMoves;
  } else if (d.stored > d.counted) {
    d.kind = ItemDamage::kExtraMoves;
  } else if (const std::optional<uint32_t> seal = StoredSeal(layout, parts.row.data())) {
    const uint32_t mask = layout.spare_width >= 8 ? 0xFFFFFFFFu : (1u << (4 * layout.spare_width)) - 1;
    if ((ItemDigest(layout, parts) & mask) != *seal) d.kind = ItemDamage::kBrokenSeal;
  }
  return d;
}

std::string DescribeDamage(const ItemDamage& d) {
  switch (d.kind) {
    case ItemDamage::kWhole: return "is whole";
    case ItemDamage::kNoPosition: return "has lost its start position";
    case ItemDamage::kBadCount: return "holds a damaged move count";
    case ItemDamage::kMissingMoves:
      return "has " + std::to_string(d.stored) + " of its " + std::to_string(d.counted) + " moves";
    case ItemDamage::kExtraMoves:
      return "holds " + std::to_string(d.stored) + " moves where its row counts " + std::to_string(d.counted);
    case ItemDamage::kBrokenSeal: return "differs from what was stored (an annotation, a move or its row damaged)";
  }
  return "";
}

}  // namespace shogidb
