// MoveBlockTable: the move lists of games and problems in SHGDB_D, twenty board moves to a block.
//
// Record (60 bytes): D_RECID the owner kind ("1" game, "2" tsume problem), D_RECNO the owner's record
// number "%6ld" (right-aligned with spaces), D_SNO the block number "%02d" (00..99), D_BPLAY 20 board
// moves (u16 little-endian, a free slot 0xFFFF), D_DUMMY 11 zero bytes. Ply n (from 1) lies in block
// (n - 1) / 20 at slot (n - 1) % 20; a list ends at its first free slot or its first missing block.
// At most 100 blocks: 2000 plies.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "shogidb/board_move.h"
#include "shogidb/table_object.h"

namespace shogidb {

enum OwnerKind : char { kGameOwner = '1', kProblemOwner = '2' };

class MoveBlockTable : public TableObject {
 public:
  static constexpr int kRecIdOffset = 0, kRecNoOffset = 1, kBlockOffset = 7, kMovesOffset = 9, kDummyOffset = 49;
  static constexpr int kRecordLength = 60;
  static constexpr int kSlots = 20;
  static constexpr int kMaxBlocks = 100;
  static constexpr int kMaxPlies = kSlots * kMaxBlocks;
  static constexpr int kTooManyMoves = 99;  // the result of appending the 2001st move

  MoveBlockTable() : TableObject(kTableD) {}

  // Appends a move to an owner's list: kOk, kTooManyMoves, or the engine's code. Successive appends to
  // one owner remember where its last block is.
  int AppendMove(char kind, int32_t owner, BoardMove move);
  // The move of a ply (from 1), or kNoMove.
  BoardMove ReadMove(char kind, int32_t owner, int ply);
  // Cuts the list from a ply on: the rest of that ply's block becomes free, later blocks are deleted.
  int TruncateMoves(char kind, int32_t owner, int ply);

  // The whole list: kOk (also for an owner without moves), or the engine's code.
  int ReadMoves(char kind, int32_t owner, std::vector<BoardMove>& moves);
  // Stores a whole list for an owner that has none, a block at a time: kOk, kTooManyMoves (nothing
  // beyond 2000 plies is stored), or the engine's code.
  int WriteMoves(char kind, int32_t owner, const std::vector<BoardMove>& moves);
  // Deletes every block of an owner (kOk also when there is none).
  int DeleteMoves(char kind, int32_t owner);
  // The blocks stored under an owner's key, in key order: (block number, record number).
  int ListBlocks(char kind, int32_t owner, std::vector<std::pair<int, int32_t>>& blocks);

  // A block's key and image.
  static void MakeKey(char kind, int32_t owner, int block, uint8_t* record);
  static BoardMove SlotOf(const uint8_t* record, int slot);
  static void SetSlot(uint8_t* record, int slot, BoardMove move);

 private:
  int ReadBlock(char kind, int32_t owner, int block, uint8_t* record, int32_t* number);
  int InsertBlock(char kind, int32_t owner, int block, uint8_t* record, int32_t* number);

  // The last block of the owner appended to last.
  struct Cursor {
    char kind = 0;
    int32_t owner = -1;
    int block = -1;
    int32_t number = -1;
    uint8_t record[kRecordLength] = {};
  } last_;
};

}  // namespace shogidb
