// Deciding which records of a damaged table are in use, and writing that down as its bitmap.
#include "dbengine/bitmap_rebuild.h"

#include <algorithm>
#include <vector>

#include "dbengine/bitmap_cache.h"
#include "dbengine/bytes.h"
#include "dbengine/index_check.h"
#include "dbengine/index_key.h"
#include "dbengine/result_codes.h"

namespace dbengine {
namespace {

bool BitSet(const std::vector<uint8_t>& bits, int64_t r) { return bits[static_cast<size_t>(r / 8)] & (0x80 >> (r % 8)); }
void SetBit(std::vector<uint8_t>& bits, int64_t r) { bits[static_cast<size_t>(r / 8)] |= static_cast<uint8_t>(0x80 >> (r % 8)); }

// What the bitmap file still tells.
struct OldBitmap {
  bool trusted = false;       // its bytes can be taken as they are
  uint16_t header_length = 0;
  uint16_t header_count = 0;  // N as the header says
  std::vector<uint8_t> bytes; // the bitmap bytes the file holds, when trusted
};

OldBitmap ReadOldBitmap(const DbFile& bitmap, int record_length) {
  OldBitmap old;
  int64_t size = bitmap.Size();
  uint8_t header[kBitmapHeaderBytes];
  if (size < kBitmapHeaderBytes || !bitmap.ReadAt(0, header, sizeof header)) return old;
  old.header_length = GetU16(header);
  old.header_count = GetU16(header + 2);
  int64_t in_file = std::min<int64_t>(size - kBitmapHeaderBytes, kMaxBitmapBytes);
  // One damaged field of the header leaves the other right; a zeroed or foreign header has neither.
  old.trusted = old.header_length == record_length || (old.header_count >= 1 && old.header_count == in_file);
  if (old.trusted) {
    old.bytes.resize(static_cast<size_t>(in_file));
    if (bitmap.ReadUpTo(kBitmapHeaderBytes, old.bytes.data(), old.bytes.size()) != static_cast<long>(in_file)) {
      old.bytes.clear();
      old.trusted = false;
    }
  }
  return old;
}

// The records that index entries name with the keys the records' bytes give. The trees are walked by
// the check's walk, which goes around damage; whatever it reaches is evidence when the key matches. An
// index read without a problem also speaks by its silence: a record it does not name with its key has
// changed, or was not in use when the index was written.
struct Evidence {
  std::vector<bool> vouched;          // named by some index, by record number up to the whole records
  std::vector<uint8_t> sound_matches; // how many sound indexes name it
  int sound_indexes = 0;

  bool Confirmed(int64_t r) const {
    return vouched[static_cast<size_t>(r)] && sound_matches[static_cast<size_t>(r)] == sound_indexes;
  }
};

Evidence GatherEvidence(const std::string& path, const DbSchema& schema, const DbFile& data, int64_t whole) {
  Evidence ev;
  ev.vouched.assign(static_cast<size_t>(whole), false);
  ev.sound_matches.assign(static_cast<size_t>(whole), 0);
  std::vector<uint8_t> record(static_cast<size_t>(schema.RecordLength()));
  for (int k = 0; k < static_cast<int>(schema.indexes.size()); ++k) {
    IndexFile ix;
    if (OpenIndexFile(IndexFilePath(path, k), schema.indexes[k].duplicates, &ix) != kOk) continue;
    std::vector<CheckProblem> problems;
    std::vector<bool> named(static_cast<size_t>(whole), false);
    for (const KeyedEntry& e : CheckIndexTree(&ix, k, &problems)) {
      if (e.record < 0 || e.record >= whole || named[static_cast<size_t>(e.record)]) continue;
      uint64_t at = static_cast<uint64_t>(e.record) * record.size();
      uint8_t key[kMaxKeyLength + 1];
      int length;
      if (!data.ReadAt(at, record.data(), record.size()) || BuildKey(schema, k, record.data(), key, &length) != kOk) continue;
      named[static_cast<size_t>(e.record)] =
          e.key == std::string_view(reinterpret_cast<const char*>(key), static_cast<size_t>(length));
    }
    DiscardIndexFile(&ix);
    const bool sound = problems.empty();
    ev.sound_indexes += sound;
    for (size_t r = 0; r < named.size(); ++r) {
      if (!named[r]) continue;
      ev.vouched[r] = true;
      ev.sound_matches[r] = static_cast<uint8_t>(ev.sound_matches[r] + sound);
    }
  }
  return ev;
}

// Reads the data file in large pieces, for telling which slots hold bytes other than zero.
class SlotReader {
 public:
  SlotReader(const DbFile& data, size_t record_length) : data_(data), length_(record_length) {}
  bool HoldsData(int64_t r) {
    uint64_t at = static_cast<uint64_t>(r) * length_;
    if (at < start_ || at + length_ > start_ + window_.size()) {
      window_.resize(std::max<size_t>(64 * 1024 / length_, 1) * length_);
      long got = data_.ReadUpTo(at, window_.data(), window_.size());
      window_.resize(got < 0 ? 0 : static_cast<size_t>(got));
      start_ = at;
      if (window_.size() < length_) return false;
    }
    auto begin = window_.begin() + static_cast<std::ptrdiff_t>(at - start_);
    return std::any_of(begin, begin + static_cast<std::ptrdiff_t>(length_), [](uint8_t b) { return b != 0; });
  }

 private:
  const DbFile& data_;
  size_t length_;
  std::vector<uint8_t> window_;
  uint64_t start_ = 0;
};

// Opens an existing file for writing, or creates it when it is missing.
bool OpenOrCreate(DbFile& file, const std::string& name) {
  return file.Open(name, DbFile::Mode::kReadWrite) || file.Open(name, DbFile::Mode::kCreateTruncate);
}

}  // namespace

int RebuildRecordUse(const std::string& path, const DbSchema& schema, RebuildReport* report) {
  const int length = schema.RecordLength();
  DbFile bitmap, data;
  if (!OpenOrCreate(data, path + ".dat") || !OpenOrCreate(bitmap, path + ".bmp")) return kCannotOpen;
  int64_t data_size = data.Size();
  if (data_size < 0) return kCannotOpen;
  const OldBitmap old = ReadOldBitmap(bitmap, length);
  const int64_t whole = std::min<int64_t>(data_size / length, 8ll * kMaxBitmapBytes);
  const int64_t trusted_bytes = static_cast<int64_t>(old.bytes.size());
  const int64_t count = std::clamp<int64_t>(std::max(trusted_bytes, (whole + 7) / 8), 1, kMaxBitmapBytes);
  report->bitmap_restored = !old.trusted || old.header_length != length || old.header_count != count;

  const Evidence evidence = GatherEvidence(path, schema, data, whole);
  SlotReader slots(data, static_cast<size_t>(length));
  std::vector<uint8_t> bits(static_cast<size_t>(count), 0);
  for (int64_t r = 0; r < 8 * count; ++r) {
    const bool was = r < 8 * trusted_bytes && BitSet(old.bytes, r);
    if (r >= whole) {
      if (was) ++report->slots_freed;
      continue;
    }
    const bool vouched = evidence.vouched[static_cast<size_t>(r)];
    const bool derived = r >= 8 * trusted_bytes && slots.HoldsData(r);
    if (!was && !vouched && !derived) continue;
    SetBit(bits, r);
    if (!was) report->restored.push_back(static_cast<int32_t>(r));
    if (!evidence.Confirmed(r) && (!was || evidence.sound_indexes > 0)) report->unconfirmed.push_back(static_cast<int32_t>(r));
  }

  std::vector<uint8_t> image(kBitmapHeaderBytes);
  PutU16(image.data(), static_cast<uint16_t>(length));
  PutU16(image.data() + 2, static_cast<uint16_t>(count));
  image.insert(image.end(), bits.begin(), bits.end());
  const uint64_t data_bytes = 8ull * static_cast<uint64_t>(count) * static_cast<uint64_t>(length);
  if (!bitmap.WriteAt(0, image.data(), image.size()) || !bitmap.Truncate(image.size())) return kCannotOpen;
  if (static_cast<uint64_t>(data_size) != data_bytes && !data.Truncate(data_bytes)) return kCannotOpen;
  return kOk;
}

}  // namespace dbengine
