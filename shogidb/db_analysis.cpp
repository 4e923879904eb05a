#include "shogidb/db_analysis.h"

#include <algorithm>
#include <cstring>

#include "platform/text_scan.h"
#include "shogidb/annotation_table.h"
#include "shogidb/board_move.h"
#include "shogidb/header_rows.h"
#include "shogidb/joseki_database.h"
#include "shogidb/move_block_table.h"
#include "shogidb/position_key.h"
#include "shogidb/position_table.h"
#include "shogidb/solution_file.h"

using namespace rules;

namespace shogidb {
namespace {

std::string Name(TableId t) { return Table(t).name; }

std::string Text(const uint8_t* at, int width) {
  std::string s(reinterpret_cast<const char*>(at), static_cast<size_t>(width));
  for (char& c : s) {
    if (c == '\0') c = ' ';
  }
  return s;
}

bool IsDigits(const uint8_t* at, int width) {
  return platform::AllDigits(std::string_view(reinterpret_cast<const char*>(at), static_cast<size_t>(width)));
}

// The number in a column of digits, maybe right-aligned with spaces ("%6ld"); -1 when it is not one.
long NumberIn(const uint8_t* at, int width) {
  long value = 0;
  bool any = false;
  for (int i = 0; i < width; ++i) {
    if (at[i] == ' ' && !any) continue;
    if (at[i] < '0' || at[i] > '9') return -1;
    value = value * 10 + (at[i] - '0');
    any = true;
  }
  return any ? value : -1;
}

bool SealHolds(const ItemRowLayout& layout, const ItemParts& parts) {
  return StoredSeal(layout, parts.row.data()) && FindItemDamage(layout, parts).whole();
}

// Whether the moves fit the position one after another (an unsealed item's only witness of its start).
bool MovesFit(const BoardForm& start, const std::vector<BoardMove>& moves) {
  FormBoard board(start);
  for (BoardMove m : moves) {
    if (!board.Apply(m)) return false;
  }
  return true;
}

const ItemRowLayout kGames = kGameItemLayout;
const ItemRowLayout kProblems = kProblemItemLayout;

}  // namespace

void DatabaseAnalysis::Run() {
  const ItemKind games{kTableB, kGameOwner, kGameMoveNote, &kGames, "game"};
  const ItemKind problems{kTableC, kProblemOwner, kProblemMoveNote, &kProblems, "problem"};
  Positions();
  Owners(games, games_);
  Owners(problems, problems_);
  MendPositions();
  for (int32_t id : named_ids_) {
    if (positions_.count(id)) ++rows_naming_[id];
  }
  Joseki();
  Blocks();
  Pieces();
  Reattach(games, problems);
  BlockGaps();
  PieceGaps();
  Items(games);
  Items(problems);
  Strays();
  References();
}

void DatabaseAnalysis::Problem(TableId t, const std::string& text) { report_.problems.push_back(Name(t) + ": " + text); }

void DatabaseAnalysis::Delete(TableId t, const TableRow& row) { fixes[t].push_back({row.number, row.bytes, std::nullopt}); }

void DatabaseAnalysis::Rewrite(TableId t, const TableRow& row, std::vector<uint8_t> bytes) {
  fixes[t].push_back({row.number, row.bytes, std::move(bytes)});
}

void DatabaseAnalysis::Positions() {
  for (const TableRow& row : t_.rows[kTableA]) {
    const long hash = NumberIn(row.bytes.data() + PositionTable::kHashOffset, 6);
    const long synonym = NumberIn(row.bytes.data() + PositionTable::kSynonymOffset, 2);
    BoardForm form;
    std::memcpy(form.data(), row.bytes.data() + PositionTable::kFormOffset, BoardForm::kSize);
    if (hash < 0 || synonym < 0 || !form.IsValid() || PositionHash(form) != hash) {
      damaged_positions_.push_back(&row);
      continue;
    }
    positions_[static_cast<int32_t>(hash * 100 + synonym)] = &row;
  }
}

// A position whose key digits were damaged and whose board still reads: its key is what its board
// gives, when an item names that key and no other position holds it.
void DatabaseAnalysis::MendPositions() {
  for (const TableRow* row : damaged_positions_) {
    const std::string where = "record " + std::to_string(row->number);
    const long synonym = NumberIn(row->bytes.data() + PositionTable::kSynonymOffset, 2);
    BoardForm form;
    std::memcpy(form.data(), row->bytes.data() + PositionTable::kFormOffset, BoardForm::kSize);
    const int32_t id = form.IsValid() && synonym >= 0 ? PositionHash(form) * 100 + static_cast<int32_t>(synonym) : -1;
    if (id >= 0 && !positions_.count(id) && named_ids_.count(id)) {
      Problem(kTableA, where + " holds a damaged key; its board gives position " + PositionIdText(id));
      std::vector<uint8_t> fixed = row->bytes;
      std::memcpy(fixed.data() + PositionTable::kHashOffset, ZeroPadded(PositionHash(form), 6).data(), 6);
      positions_[id] = row;
      Rewrite(kTableA, *row, std::move(fixed));
      continue;
    }
    Problem(kTableA, where + " holds a damaged position" + (remove_damaged_ ? " (removed)" : ""));
    if (remove_damaged_) Delete(kTableA, *row);
  }
}

// Games or problems: finished rows numbered by their record. Unfinished registrations go.
void DatabaseAnalysis::Owners(const ItemKind& kind, std::set<int32_t>& owners) {
  const ItemRowLayout& layout = *kind.layout;
  for (const TableRow& row : t_.rows[kind.table]) {
    const std::string where = "record " + std::to_string(row.number);
    const std::string number = GetText(row.bytes.data() + layout.number_offset, 6);
    if (number == kUnfinishedNumber) {
      Problem(kind.table, where + " is a registration that did not finish (number 999999)");
      Delete(kind.table, row);
      continue;
    }
    if (number != ZeroPadded(row.number, 6)) {
      Problem(kind.table, where + " holds the number \"" + number + "\"");
      std::vector<uint8_t> fixed = row.bytes;
      SetRowNumber(fixed.data(), layout.number_offset, ZeroPadded(row.number, 6));
      Rewrite(kind.table, row, std::move(fixed));
    }
    owners.insert(row.number);
    item_rows_[kind.table][row.number] = &row;
    named_ids_.insert(ParsePositionId(GetText(row.bytes.data() + layout.position_offset, 8)));
  }
}

void DatabaseAnalysis::Joseki() {
  std::set<std::pair<int32_t, rules::Side>> keys;
  for (const TableRow& row : t_.rows[kTableE]) {
    const int32_t id = ParsePositionId(GetText(row.bytes.data() + JosekiDatabase::kKeyOffset, 8));
    const uint8_t side = row.bytes[JosekiDatabase::kSideOffset];
    if (positions_.count(id) == 0 || (side != '0' && side != '1')) {
      Problem(kTableE, "record " + std::to_string(row.number) + " refers to the missing position " +
                           Text(row.bytes.data(), 8));
      Delete(kTableE, row);
      continue;
    }
    keys.insert({id, rules::SideOfBit(side - '0')});
    for (int s = 0; s < JosekiDatabase::kSlots; ++s) {
      const uint8_t* slot = row.bytes.data() + JosekiDatabase::kMovesOffset + 4 * s;
      if (GetU16(slot) != 0xFFFF) joseki_moves_.insert({id, GetU16(slot + 2)});
    }
  }
  for (const auto& key : keys) {
    ++references_[key.first];
    ++rows_naming_[key.first];
    joseki_keys_.insert(key);
  }
}

void DatabaseAnalysis::Blocks() {
  for (const TableRow& row : t_.rows[kTableD]) {
    const char kind = static_cast<char>(row.bytes[MoveBlockTable::kRecIdOffset]);
    const long owner = NumberIn(row.bytes.data() + MoveBlockTable::kRecNoOffset, 6);
    const long block = IsDigits(row.bytes.data() + MoveBlockTable::kBlockOffset, 2)
                           ? NumberIn(row.bytes.data() + MoveBlockTable::kBlockOffset, 2) : -1;
    const std::set<int32_t>* owners = kind == kGameOwner ? &games_ : kind == kProblemOwner ? &problems_ : nullptr;
    if (!owners || owner < 0 || block < 0 || owners->count(static_cast<int32_t>(owner)) == 0) {
      const std::string noun = kind == kProblemOwner ? "problem" : "game";
      Problem(kTableD, "block \"" + Text(row.bytes.data(), 9) + "\" (record " + std::to_string(row.number) + ") belongs to no " +
                           noun + (owners && owner >= 0 ? " (" + noun + " " + ZeroPadded(owner, 6) + " is not stored)" : ""));
      stray_blocks_.push_back(&row);
      continue;
    }
    blocks_[{kind, owner}].emplace_back(static_cast<int>(block), &row);
  }
  for (auto& [owner, blocks] : blocks_) std::sort(blocks.begin(), blocks.end());
}

// A list ends at its first missing block (once strays have gone back where they belong): what follows
// is read by no one.
void DatabaseAnalysis::BlockGaps() {
  for (auto& [owner, blocks] : blocks_) {
    for (size_t i = 0; i < blocks.size(); ++i) {
      if (blocks[i].first == static_cast<int>(i)) continue;
      const TableRow& row = *blocks[i].second;
      Problem(kTableD, "block \"" + Text(row.bytes.data(), 9) + "\" (record " + std::to_string(row.number) +
                           ") follows a missing block");
      stray_blocks_.push_back(&row);
    }
  }
}

bool DatabaseAnalysis::PieceOwnerExists(char kind, const std::string& key) const {
  int32_t id = -1;
  if (kind == kGameMoveNote || kind == kProblemMoveNote) {
    const std::set<int32_t>& owners = kind == kGameMoveNote ? games_ : problems_;
    return ParseMoveNoteKey(key, &id, nullptr) && owners.count(id) > 0;
  }
  if (kind == kJosekiPositionNote) {
    rules::Side side;
    return ParseJosekiPositionKey(key, &id, &side) && joseki_keys_.count({id, side}) > 0;
  }
  BoardMove move;
  return kind == kJosekiMoveNote && ParseJosekiMoveKey(key, &id, &move) && joseki_moves_.count({id, move}) > 0;
}

void DatabaseAnalysis::Pieces() {
  for (const TableRow& row : t_.rows[kTableF]) {
    const char kind = static_cast<char>(row.bytes[AnnotationTable::kIdOffset]);
    const std::string key = GetText(row.bytes.data() + AnnotationTable::kKeyOffset, AnnotationTable::kKeyWidth);
    const long piece = IsDigits(row.bytes.data() + AnnotationTable::kPieceOffset, 2)
                           ? NumberIn(row.bytes.data() + AnnotationTable::kPieceOffset, 2) : -1;
    if (piece < 0 || !PieceOwnerExists(kind, key)) {
      int32_t owner = -1;
      const bool item_note = (kind == kGameMoveNote || kind == kProblemMoveNote) && ParseMoveNoteKey(key, &owner, nullptr);
      Problem(kTableF, "piece " + std::string(1, kind) + " \"" + key + "\" " +
                           Text(row.bytes.data() + AnnotationTable::kPieceOffset, 2) + " (record " +
                           std::to_string(row.number) + ") belongs to nothing" +
                           (item_note ? std::string(kind == kGameMoveNote ? " (game " : " (problem ") +
                                            ZeroPadded(owner, 6) + " is not stored)"
                                      : ""));
      stray_pieces_.push_back(&row);
      continue;
    }
    pieces_[{kind, key}].emplace_back(static_cast<int>(piece), &row);
  }
  for (auto& [key, pieces] : pieces_) std::sort(pieces.begin(), pieces.end());
}

// The pieces after a missing piece of their text, as they stand now.
std::vector<const TableRow*> DatabaseAnalysis::PiecesAfterGaps() const {
  std::vector<const TableRow*> rows;
  for (const auto& [key, pieces] : pieces_) {
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (pieces[i].first != static_cast<int>(i)) rows.push_back(pieces[i].second);
    }
  }
  return rows;
}

void DatabaseAnalysis::PieceGaps() {
  gap_pieces_ = PiecesAfterGaps();
  for (const TableRow* row : gap_pieces_) {
    Problem(kTableF, "piece " + std::string(1, static_cast<char>(row->bytes[AnnotationTable::kIdOffset])) + " \"" +
                         GetText(row->bytes.data() + AnnotationTable::kKeyOffset, AnnotationTable::kKeyWidth) + "\" " +
                         Text(row->bytes.data() + AnnotationTable::kPieceOffset, 2) + " follows a missing piece");
  }
}

// Whether an item that is damaged now would be whole with what has just been put in place: for a
// sealed item its seal decides; an unsealed one must have every counted move, fitting its start.
bool DatabaseAnalysis::Completes(const ItemKind& kind, int32_t owner) const {
  const TableRow& row = *item_rows_[kind.table].at(owner);
  const ItemParts parts = PartsOf(kind, row);
  if (!parts.start || !FindItemDamage(*kind.layout, parts).whole()) return false;
  return StoredSeal(*kind.layout, parts.row.data()) || MovesFit(*parts.start, parts.moves);
}

// Blocks and pieces whose key a damaged byte has turned into no item's: where changing one byte of the
// key back gives exactly one place that makes a damaged item whole, they go back there.
void DatabaseAnalysis::Reattach(const ItemKind& games, const ItemKind& problems) {
  std::vector<const TableRow*> blocks, pieces;
  for (const TableRow* row : stray_blocks_) {
    if (!ReattachBlock(*row, games, problems)) blocks.push_back(row);
  }
  for (const TableRow* row : stray_pieces_) {
    if (!ReattachPiece(*row, games, problems)) pieces.push_back(row);
  }
  // A piece after a missing one may be that one with a damaged number: tried elsewhere without its place.
  for (const TableRow* row : PiecesAfterGaps()) {
    const std::pair<char, std::string> key{static_cast<char>(row->bytes[AnnotationTable::kIdOffset]),
                                           GetText(row->bytes.data() + AnnotationTable::kKeyOffset, AnnotationTable::kKeyWidth)};
    BlockList& own = pieces_[key];
    const auto at = std::find_if(own.begin(), own.end(), [&](const auto& p) { return p.second == row; });
    const std::pair<int, const TableRow*> was = *at;
    own.erase(at);
    if (!ReattachPiece(*row, games, problems)) {
      pieces_[key].push_back(was);
      std::sort(pieces_[key].begin(), pieces_[key].end());
    }
  }
  stray_blocks_ = std::move(blocks);
  stray_pieces_ = std::move(pieces);
}

bool DatabaseAnalysis::ReattachBlock(const TableRow& row, const ItemKind& games, const ItemKind& problems) {
  constexpr int kKeyBytes = MoveBlockTable::kMovesOffset;
  std::optional<std::pair<std::vector<uint8_t>, std::pair<char, long>>> found;
  for (int at = 0; at < kKeyBytes; ++at) {
    const char* alphabet = at == 0 ? "12" : at < MoveBlockTable::kBlockOffset ? " 0123456789" : "0123456789";
    for (const char* c = alphabet; *c; ++c) {
      std::vector<uint8_t> key(row.bytes.begin(), row.bytes.begin() + kKeyBytes);
      if (key[at] == static_cast<uint8_t>(*c)) continue;
      key[at] = static_cast<uint8_t>(*c);
      const char kind = static_cast<char>(key[0]);
      const ItemKind& item = kind == kGameOwner ? games : problems;
      const long owner = NumberIn(key.data() + MoveBlockTable::kRecNoOffset, 6);
      const long block = NumberIn(key.data() + MoveBlockTable::kBlockOffset, 2);
      if (owner < 0 || block < 0 || !item_rows_[item.table].count(static_cast<int32_t>(owner))) continue;
      BlockList& list = blocks_[{kind, owner}];
      if (std::any_of(list.begin(), list.end(), [&](const auto& b) { return b.first == block; })) continue;
      const ItemParts before = PartsOf(item, *item_rows_[item.table].at(static_cast<int32_t>(owner)));
      if (before.start && FindItemDamage(*item.layout, before).whole()) continue;
      list.emplace_back(static_cast<int>(block), &row);
      std::sort(list.begin(), list.end());
      const bool fits = Completes(item, static_cast<int32_t>(owner));
      list.erase(std::find(list.begin(), list.end(), std::make_pair(static_cast<int>(block), &row)));
      if (!fits) continue;
      if (found) return false;  // two places fit: no telling which
      found.emplace(key, std::make_pair(kind, owner));
    }
  }
  if (!found) return false;
  std::vector<uint8_t> fixed = row.bytes;
  std::copy(found->first.begin(), found->first.end(), fixed.begin());
  const long block = NumberIn(fixed.data() + MoveBlockTable::kBlockOffset, 2);
  BlockList& list = blocks_[found->second];
  list.emplace_back(static_cast<int>(block), &row);
  std::sort(list.begin(), list.end());
  Problem(kTableD, "record " + std::to_string(row.number) + " is block " + std::to_string(block) + " of " +
                       (found->second.first == kGameOwner ? "game " : "problem ") + ZeroPadded(found->second.second, 6) +
                       ": its key is mended");
  Rewrite(kTableD, row, std::move(fixed));
  return true;
}

bool DatabaseAnalysis::ReattachPiece(const TableRow& row, const ItemKind& games, const ItemKind& problems) {
  constexpr int kKeyBytes = AnnotationTable::kTextOffset;
  std::optional<std::vector<uint8_t>> found;
  for (int at = 0; at < kKeyBytes; ++at) {
    std::string alphabet = at == 0 ? "34" : at >= AnnotationTable::kPieceOffset ? "0123456789" : "0123456789";
    if (at > 0 && at < AnnotationTable::kPieceOffset) alphabet += '\0';
    for (char c : alphabet) {
      std::vector<uint8_t> key(row.bytes.begin(), row.bytes.begin() + kKeyBytes);
      if (key[at] == static_cast<uint8_t>(c)) continue;
      key[at] = static_cast<uint8_t>(c);
      const char kind = static_cast<char>(key[0]);
      const ItemKind& item = kind == kGameMoveNote ? games : problems;
      const std::string text_key = GetText(key.data() + AnnotationTable::kKeyOffset, AnnotationTable::kKeyWidth);
      const long piece = IsDigits(key.data() + AnnotationTable::kPieceOffset, 2)
                             ? NumberIn(key.data() + AnnotationTable::kPieceOffset, 2) : -1;
      int32_t owner = -1;
      // Keys are NUL-padded: a key with bytes after its first NUL is none the writer makes.
      const bool padded = std::all_of(key.begin() + AnnotationTable::kKeyOffset + static_cast<long>(text_key.size()),
                                      key.begin() + AnnotationTable::kPieceOffset, [](uint8_t b) { return b == 0; });
      if (!padded || piece < 0 || !ParseMoveNoteKey(text_key, &owner, nullptr) || !item_rows_[item.table].count(owner)) {
        continue;
      }
      const TableRow& owner_row = *item_rows_[item.table].at(owner);
      // Only a seal can tell where a piece of text belongs.
      if (!StoredSeal(*item.layout, owner_row.bytes.data())) continue;
      BlockList& list = pieces_[{kind, text_key}];
      if (std::any_of(list.begin(), list.end(), [&](const auto& p) { return p.first == piece; })) continue;
      const ItemParts before = PartsOf(item, owner_row);
      if (before.start && FindItemDamage(*item.layout, before).whole()) continue;
      list.emplace_back(static_cast<int>(piece), &row);
      std::sort(list.begin(), list.end());
      const bool fits = Completes(item, owner);
      list.erase(std::find(list.begin(), list.end(), std::make_pair(static_cast<int>(piece), &row)));
      if (list.empty()) pieces_.erase({kind, text_key});
      if (!fits) continue;
      if (found) return false;
      found = key;
    }
  }
  if (!found) return false;
  std::vector<uint8_t> fixed = row.bytes;
  std::copy(found->begin(), found->end(), fixed.begin());
  const char kind = static_cast<char>(fixed[0]);
  const std::string text_key = GetText(fixed.data() + AnnotationTable::kKeyOffset, AnnotationTable::kKeyWidth);
  const long piece = NumberIn(fixed.data() + AnnotationTable::kPieceOffset, 2);
  BlockList& list = pieces_[{kind, text_key}];
  list.emplace_back(static_cast<int>(piece), &row);
  std::sort(list.begin(), list.end());
  Problem(kTableF, "record " + std::to_string(row.number) + " is piece " + std::to_string(piece) + " of \"" + text_key +
                       "\": its key is mended");
  Rewrite(kTableF, row, std::move(fixed));
  return true;
}

// The parts of an item as the reading functions of the databases would see them.
ItemParts DatabaseAnalysis::PartsOf(const ItemKind& kind, const TableRow& row) const {
  ItemParts parts;
  parts.row = row.bytes;
  const int32_t id = ParsePositionId(GetText(row.bytes.data() + kind.layout->position_offset, 8));
  if (auto it = positions_.find(id); it != positions_.end()) {
    BoardForm form;
    std::memcpy(form.data(), it->second->bytes.data() + PositionTable::kFormOffset, BoardForm::kSize);
    parts.start = form;
  }
  if (auto it = blocks_.find({kind.owner_kind, row.number}); it != blocks_.end()) {
    for (size_t block = 0; block < it->second.size() && it->second[block].first == static_cast<int>(block); ++block) {
      const uint8_t* record = it->second[block].second->bytes.data();
      int slot = 0;
      for (; slot < MoveBlockTable::kSlots; ++slot) {
        const BoardMove m = MoveBlockTable::SlotOf(record, slot);
        if (IsNoMove(m)) break;
        parts.moves.push_back(m);
      }
      if (slot < MoveBlockTable::kSlots) break;
    }
  }
  const std::string prefix = MoveNoteKeyPrefix(row.number);
  for (auto it = pieces_.lower_bound({kind.note_kind, prefix});
       it != pieces_.end() && it->first.first == kind.note_kind && it->first.second.starts_with(prefix); ++it) {
    int32_t owner = -1;
    long ply = -1;
    if (!ParseMoveNoteKey(it->first.second, &owner, &ply) || owner != row.number) continue;
    std::string text;
    for (const auto& [piece, record] : it->second) {
      text += GetText(record->bytes.data() + AnnotationTable::kTextOffset, AnnotationTable::kPieceBytes);
    }
    parts.notes.emplace_back(ply, std::move(text));
  }
  std::stable_sort(parts.notes.begin(), parts.notes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return parts;
}

// The start position of an item whose reference names none: the one stored position that its seal (or,
// unsealed, its moves and an unclaimed reference) accepts.
std::optional<int32_t> DatabaseAnalysis::StartOf(const ItemKind& kind, const ItemParts& parts) const {
  const ItemRowLayout& layout = *kind.layout;
  const bool sealed = StoredSeal(layout, parts.row.data()).has_value();
  std::optional<int32_t> found;
  for (const auto& [id, row] : positions_) {
    ItemParts trial = parts;
    BoardForm form;
    std::memcpy(form.data(), row->bytes.data() + PositionTable::kFormOffset, BoardForm::kSize);
    trial.start = form;
    PutText(trial.row.data() + layout.position_offset, 8, PositionIdText(id));
    bool fits;
    if (sealed) {
      fits = SealHolds(layout, trial);
    } else {
      auto naming = rows_naming_.find(id);
      const uint32_t named = naming == rows_naming_.end() ? 0 : naming->second;
      fits = GetU32(row->bytes.data() + PositionTable::kRefCountOffset) > named && MovesFit(form, parts.moves);
    }
    if (!fits) continue;
    if (found) return std::nullopt;  // two fit: no telling which
    found = id;
  }
  return found;
}

// A sealed item whose move count column was damaged: the count its moves give, if the seal accepts it.
bool DatabaseAnalysis::SealedWithCount(const ItemKind& kind, ItemParts& parts) const {
  const ItemRowLayout& layout = *kind.layout;
  if (!StoredSeal(layout, parts.row.data())) return false;
  ItemParts trial = parts;
  PutText(trial.row.data() + layout.count_offset, layout.count_width,
          trial.moves.empty() ? std::string() : ZeroPadded(static_cast<long>(trial.moves.size()), layout.count_width));
  if (!SealHolds(layout, trial)) return false;
  parts = std::move(trial);
  return true;
}

void DatabaseAnalysis::Items(const ItemKind& kind) {
  const std::set<int32_t>& owners = kind.table == kTableB ? games_ : problems_;
  for (const TableRow& row : t_.rows[kind.table]) {
    if (owners.count(row.number)) CheckItem(kind, row);
  }
}

void DatabaseAnalysis::CheckItem(const ItemKind& kind, const TableRow& row) {
  const ItemRowLayout& layout = *kind.layout;
  const std::string where = std::string(kind.noun) + " " + ZeroPadded(row.number, 6) + " (record " + std::to_string(row.number) + ")";
  ItemParts parts = PartsOf(kind, row);
  const std::string named = Text(row.bytes.data() + layout.position_offset, 8);
  if (!parts.start) {
    if (const std::optional<int32_t> id = StartOf(kind, parts)) {
      Problem(kind.table, where + " refers to the missing position " + named + "; its start is position " +
                              PositionIdText(*id));
      PutText(parts.row.data() + layout.position_offset, 8, PositionIdText(*id));
      BoardForm form;
      std::memcpy(form.data(), positions_.at(*id)->bytes.data() + PositionTable::kFormOffset, BoardForm::kSize);
      parts.start = form;
    } else {
      unknown_start_ = true;
    }
  }
  ItemDamage damage = FindItemDamage(layout, parts);
  if (!damage.whole() && damage.kind != ItemDamage::kNoPosition && damage.kind != ItemDamage::kBrokenSeal &&
      SealedWithCount(kind, parts)) {
    Problem(kind.table, where + " holds a damaged move count; its moves and seal give " +
                            std::to_string(parts.moves.size()));
    damage = ItemDamage{};
  }
  if (parts.row != row.bytes && damage.whole()) {
    std::vector<uint8_t> fixed = parts.row;
    SetRowNumber(fixed.data(), layout.number_offset, ZeroPadded(row.number, 6));  // as Owners() sets it
    Rewrite(kind.table, row, std::move(fixed));
  }
  if (!damage.whole()) {
    const std::string what = damage.kind == ItemDamage::kNoPosition
                                 ? "refers to the missing position " + named + " (its start cannot be found)"
                                 : DescribeDamage(damage);
    Problem(kind.table, where + " " + what + (remove_damaged_ ? " (removed)" : " (kept, marked damaged)"));
    report_.damaged.push_back({kind.table, row.number});
    damaged_owners_.insert({kind.owner_kind, row.number});
    if (remove_damaged_) {
      Delete(kind.table, row);
      return;
    }
  }
  const int32_t id = ParsePositionId(GetText(parts.row.data() + layout.position_offset, 8));
  if (parts.start) ++references_[id];
  if (kind.table != kTableC || !damage.whole()) return;
  const std::string name = GetText(parts.row.data() + layout.position_offset, 8);
  if (ReadSolutionFile(directory_, name, *parts.start, parts.moves) == SolutionFileState::kDamaged) {
    Problem(kind.table, where + ": its solution file pcl/" + name + ".pcl does not hold it");
    bad_solution_files.push_back({row.number, name});
  }
}

// Blocks and pieces that no whole item can own: deleted, unless a damaged item of their kind may have
// lost them.
void DatabaseAnalysis::Strays() {
  auto damaged_of = [this](char owner_kind) {
    return std::any_of(damaged_owners_.begin(), damaged_owners_.end(), [&](const auto& d) { return d.first == owner_kind; });
  };
  for (const TableRow* row : stray_blocks_) {
    const char kind = static_cast<char>(row->bytes[MoveBlockTable::kRecIdOffset]);
    const bool maybe_lost = kind == kGameOwner || kind == kProblemOwner ? damaged_of(kind) : !damaged_owners_.empty();
    if (maybe_lost) {
      Problem(kTableD, "record " + std::to_string(row->number) + " kept: it may be a block a damaged item lost");
    } else {
      Delete(kTableD, *row);
    }
  }
  for (const TableRow* row : gap_pieces_) {
    const char kind = static_cast<char>(row->bytes[AnnotationTable::kIdOffset]);
    int32_t owner = -1;
    const std::string key = GetText(row->bytes.data() + AnnotationTable::kKeyOffset, AnnotationTable::kKeyWidth);
    const bool item_note = (kind == kGameMoveNote || kind == kProblemMoveNote) && ParseMoveNoteKey(key, &owner, nullptr);
    if (item_note && damaged_owners_.count({kind == kGameMoveNote ? kGameOwner : kProblemOwner, owner})) {
      Problem(kTableF, "record " + std::to_string(row->number) + " kept: it is part of a damaged item's annotation");
    } else {
      Delete(kTableF, *row);
    }
  }
  for (const TableRow* row : stray_pieces_) {
    const char kind = static_cast<char>(row->bytes[AnnotationTable::kIdOffset]);
    bool maybe_lost = !damaged_owners_.empty();  // a damaged kind byte: it may be anyone's
    if (kind == kGameMoveNote) maybe_lost = damaged_of(kGameOwner);
    if (kind == kProblemMoveNote) maybe_lost = damaged_of(kProblemOwner);
    if (kind == kJosekiPositionNote || kind == kJosekiMoveNote) maybe_lost = false;
    if (maybe_lost) {
      Problem(kTableF, "record " + std::to_string(row->number) + " kept: it may be a piece a damaged item lost");
    } else {
      Delete(kTableF, *row);
    }
  }
}

void DatabaseAnalysis::References() {
  for (const auto& [id, row] : positions_) {
    const uint32_t counted = GetU32(row->bytes.data() + PositionTable::kRefCountOffset);
    auto it = references_.find(id);
    const uint32_t referring = it == references_.end() ? 0 : it->second;
    if (counted == referring && referring > 0) continue;
    const std::string where = "position " + PositionIdText(id);
    if (referring == 0) {
      if (unknown_start_) {
        Problem(kTableA, where + " is referred to by nothing; kept: it may be the start of a damaged item");
        continue;
      }
      Problem(kTableA, where + " is referred to by nothing (count " + std::to_string(counted) + ")");
      Delete(kTableA, *row);
      continue;
    }
    Problem(kTableA, where + " counts " + std::to_string(counted) + " references, " + std::to_string(referring) +
                         " records refer to it");
    std::vector<uint8_t> fixed = row->bytes;
    PutU32(fixed.data() + PositionTable::kRefCountOffset, referring);
    Rewrite(kTableA, *row, std::move(fixed));
  }
}

}  // namespace shogidb
