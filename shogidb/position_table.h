// PositionTable: the positions of SHGDB_A, stored once under their board form and found by their hash.
//
// Record (56 bytes): A_HASH "%06ld" (the hash), A_SYNONYM "%02d" (0..99), A_BFORM the 44-byte board form,
// A_REFCOUNT u32 little-endian: how many records of SHGDB_B, SHGDB_C and SHGDB_E refer to the position
// (a joseki position, all of whose SHGDB_E records share one key, counts once). A position lives while
// its count is above zero. Positions whose hashes collide take the synonym numbers 00, 01, ... in turn;
// the smallest number not in use is taken, so a freed number is used again.
#pragma once
#include <cstdint>

#include "rules/board_form.h"
#include "shogidb/table_object.h"

namespace shogidb {

class PositionTable : public TableObject {
 public:
  static constexpr int kHashOffset = 0, kSynonymOffset = 6, kFormOffset = 8, kRefCountOffset = 52;
  static constexpr int kRecordLength = 56;

  PositionTable() : TableObject(kTableA) {}

  // The position id of a stored board form, or the bitwise complement of its hash (a negative value)
  // when it is not stored (or the index cannot be read; last_code() tells).
  int32_t FindPosition(const rules::BoardForm& form);
  // Stores a board form with a reference count under the first free synonym number: its id, or a
  // negative value on failure (last_code(): the engine's code, kTableFull when all 100 numbers of the
  // hash are taken).
  int32_t AddPosition(const rules::BoardForm& form, uint32_t reference_count);
  // One more / one fewer reference; the position is deleted when its last reference goes. kNotFound
  // when the id names no position.
  int AddReference(int32_t id);
  int DropReference(int32_t id);
  // The stored form and count of a position: kOk, kNotFound, or kInvalid when the stored form is damaged.
  int ReadPosition(int32_t id, rules::BoardForm& form, uint32_t* reference_count = nullptr);
  // Sets the count (the repair's recount).
  int SetReferenceCount(int32_t id, uint32_t count);
  // Deletes a position whatever its count.
  int DeletePosition(int32_t id);

  int last_code() const { return last_code_; }

 private:
  // Reads the record of an id into `record` and gives its record number.
  int ReadById(int32_t id, uint8_t* record, int32_t* number);

  int last_code_ = 0;
};

}  // namespace shogidb
