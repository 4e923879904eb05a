// The rows of a sorted run, by row number: row n at byte n * row size. The first 991,232 bytes are kept
// in memory (15 blocks of 64,000 bytes and one of 31,232); bytes beyond go to a temporary file made from
// the template "stXXXXXX" in the directory named by TMP (else the current directory), created on first
// need and removed from the directory at once, so it vanishes with the run even when the process dies.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "dbengine/db_file.h"

namespace dbengine {

constexpr int kStoreBlockBytes = 64000;
constexpr int64_t kStoreMemoryBytes = 15 * 64000 + 31232;

class ResultStore {
 public:
  explicit ResultStore(int row_size) : row_size_(row_size) {}
  // kOk, kSchemaOpen (the temporary file cannot be made), kSchemaIo (it cannot be written), kNoMemory.
  int Append(const uint8_t* row);
  // kOk or kSchemaIo.
  int Read(int64_t n, uint8_t* row);
  int64_t Rows() const { return rows_; }
  int RowSize() const { return row_size_; }

 private:
  int Write(int64_t at, const uint8_t* bytes, int64_t length);
  int ReadSpill(uint64_t at, uint8_t* out, size_t length);
  int FlushPending();

  int row_size_;
  int64_t rows_ = 0;
  std::vector<std::unique_ptr<uint8_t[]>> blocks_;
  DbFile spill_;
  // The temporary file is written in large pieces and read ahead while reads go front to back.
  std::vector<uint8_t> pending_;  // bytes appended but not yet written, ending the file
  uint64_t pending_at_ = 0;
  std::vector<uint8_t> ahead_;    // bytes read ahead
  uint64_t ahead_at_ = 0;
  uint64_t next_read_ = 0;        // where a read that goes on front to back would start
};

}  // namespace dbengine
