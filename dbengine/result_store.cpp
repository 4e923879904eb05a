#include "dbengine/result_store.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "dbengine/result_codes.h"
#include "platform/environment.h"
#include "platform/files.h"

namespace dbengine {
namespace {

constexpr size_t kSpillPiece = 64 * 1024;

int64_t BlockStart(size_t b) { return static_cast<int64_t>(b) * kStoreBlockBytes; }
int64_t BlockLength(size_t b) { return std::min<int64_t>(kStoreBlockBytes, kStoreMemoryBytes - BlockStart(b)); }

bool MakeSpillFile(DbFile* file) {
  std::string dir = platform::GetEnv("TMP").value_or("");
  if (dir.empty()) dir = platform::CurrentDirectory();
  std::string name = platform::NativePath(dir);
  if (name.back() != '/') name += '/';
  name += "stXXXXXX";
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  ::unlink(name.c_str());
  file->Adopt(fd);
  return true;
}

}  // namespace

int ResultStore::Write(int64_t at, const uint8_t* bytes, int64_t length) {
  while (length > 0 && at < kStoreMemoryBytes) {
    size_t b = static_cast<size_t>(at / kStoreBlockBytes);
    while (blocks_.size() <= b) {
      blocks_.emplace_back(new (std::nothrow) uint8_t[static_cast<size_t>(BlockLength(blocks_.size()))]);
      if (!blocks_.back()) {
        blocks_.pop_back();
        return kNoMemory;
      }
    }
    int64_t in_block = at - BlockStart(b);
    int64_t n = std::min(length, BlockLength(b) - in_block);
    std::memcpy(blocks_[b].get() + in_block, bytes, static_cast<size_t>(n));
    at += n, bytes += n, length -= n;
  }
  if (length == 0) return kOk;
  if (!spill_.IsOpen() && !MakeSpillFile(&spill_)) return kSchemaOpen;
  // Rows are only ever appended, so the pending bytes always end the file.
  if (pending_.empty()) pending_at_ = static_cast<uint64_t>(at - kStoreMemoryBytes);
  pending_.insert(pending_.end(), bytes, bytes + length);
  return pending_.size() >= kSpillPiece ? FlushPending() : kOk;
}

int ResultStore::FlushPending() {
  if (pending_.empty()) return kOk;
  bool ok = spill_.WriteAt(pending_at_, pending_.data(), pending_.size());
  pending_.clear();
  return ok ? kOk : kSchemaIo;
}

int ResultStore::ReadSpill(uint64_t at, uint8_t* out, size_t length) {
  if (int rc = FlushPending(); rc != kOk) return rc;
  if (at < ahead_at_ || at + length > ahead_at_ + ahead_.size()) {
    if (at != next_read_) {  // a jump: read just what is asked
      next_read_ = at + length;
      return spill_.ReadAt(at, out, length) ? kOk : kSchemaIo;
    }
    ahead_.resize(std::max(kSpillPiece, length));
    long got = spill_.ReadUpTo(at, ahead_.data(), ahead_.size());
    ahead_.resize(got < 0 ? 0 : static_cast<size_t>(got));
    ahead_at_ = at;
    if (ahead_.size() < length) return kSchemaIo;
  }
  std::memcpy(out, ahead_.data() + (at - ahead_at_), length);
  next_read_ = at + length;
  return kOk;
}

int ResultStore::Append(const uint8_t* row) {
  int rc = Write(rows_ * row_size_, row, row_size_);
  if (rc == kOk) ++rows_;
  return rc;
}

int ResultStore::Read(int64_t n, uint8_t* row) {
  int64_t at = n * row_size_, length = row_size_;
  while (length > 0 && at < kStoreMemoryBytes) {
    size_t b = static_cast<size_t>(at / kStoreBlockBytes);
    int64_t in_block = at - BlockStart(b);
    int64_t k = std::min(length, BlockLength(b) - in_block);
    std::memcpy(row, blocks_[b].get() + in_block, static_cast<size_t>(k));
    at += k, row += k, length -= k;
  }
  if (length == 0) return kOk;
  return ReadSpill(static_cast<uint64_t>(at - kStoreMemoryBytes), row, static_cast<size_t>(length));
}

}  // namespace dbengine
