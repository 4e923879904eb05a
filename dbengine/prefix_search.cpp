// FindByPrefix / FindNextByPrefix: the engine's single active prefix search.
#include <vector>

#include "dbengine/engine_state.h"
#include "dbengine/index.h"
#include "dbengine/index_key.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"

namespace dbengine {
namespace {

// Lays the search string over the index columns of a record image, each column taking the next part up
// to its width and NULs after it.
void LayOver(const DbSchema& s, int index, std::string_view text, uint8_t* record) {
  const IndexDesc& x = s.indexes[index];
  size_t at = 0;
  for (int i = 0; i < x.column_count; ++i) {
    const ColumnDesc& c = s.columns[x.columns[i]];
    size_t n = at < text.size() ? std::min<size_t>(c.width, text.size() - at) : 0;
    std::memcpy(record + c.offset, text.data() + at, n);
    std::memset(record + c.offset + n, 0, static_cast<size_t>(c.width) - n);
    at += static_cast<size_t>(c.width);
  }
}

// Whether the entry in the key buffer begins with the search string, column by column: each index column
// compared over the smaller of its width and the part of the string left.
bool EntryMatches(const DbTable* t, int index, std::string_view text) {
  const DbSchema& s = *t->schema;
  const IndexEntry& e = t->indexes[index].key_buffer;
  std::vector<uint8_t> image(static_cast<size_t>(t->record_length), 0);
  DecodeKey(s, index, e.key, e.key_length, image.data());
  const IndexDesc& x = s.indexes[index];
  size_t at = 0;
  for (int i = 0; i < x.column_count && at < text.size(); ++i) {
    const ColumnDesc& c = s.columns[x.columns[i]];
    size_t n = std::min<size_t>(c.width, text.size() - at);
    if (std::memcmp(image.data() + c.offset, text.data() + at, n) != 0) return false;
    at += static_cast<size_t>(c.width);
  }
  return true;
}

int ReadCurrent(DbTable* t, int index, uint8_t* record) {
  return ReadRecord(t, t->indexes[index].key_buffer.record, record);
}

void EndSearch() { Engine().prefix_search = PrefixSearch{}; }

}  // namespace

int FindByPrefix(DbTable* table, int index, std::string_view text, uint8_t* record) {
  EndSearch();
  if (!table || !table->FilesOpen()) return kNotOpen;
  if (index < 0 || index >= table->index_count || text.empty()) return kInvalid;
  const DbSchema& s = *table->schema;
  LayOver(s, index, text, record);
  PrefixSearch& search = Engine().prefix_search;
  search.table = table;
  search.index = index;
  search.text.assign(text);
  bool full = static_cast<int>(text.size()) >= s.KeyWidth(index);
  bool unique = s.indexes[index].duplicates == 0;
  if (full && unique) {
    int rc = ReadByKey(table, index, record);
    return rc == kOk ? kPrefixFound : rc;
  }
  if (full) {
    std::string key = RecordKey(s, index, record);
    if (int rc = IndexSeekExact(table, index, key); rc != kOk) return rc;
  } else {
    int rc = SeekByImage(table, index, record);
    if (rc == kSeekGreater) {
      if (int r = ReadCurrent(table, index, record); r != kOk) return r;
      return kPrefixNext;
    }
    if (rc != kOk && rc != kSeekPrefix) return rc == kSeekEnd ? kNotFound : rc;
  }
  // Back to the first entry in key order that still matches.
  while (true) {
    int rc = IndexPrev(table, index);
    if (rc == kOk && EntryMatches(table, index, text)) continue;
    if (rc != kOk && rc != kNotFound) return rc;
    if (int r = IndexNext(table, index); r != kOk) return r;
    break;
  }
  int rc = ReadCurrent(table, index, record);
  return rc == kOk ? kPrefixFound : rc;
}

int FindNextByPrefix(uint8_t* record) {
  PrefixSearch& search = Engine().prefix_search;
  DbTable* t = search.table;
  if (!t) return kNotFound;
  int rc = IndexNext(t, search.index);
  if (rc == kOk && !EntryMatches(t, search.index, search.text)) rc = kNotFound;
  if (rc != kOk) {
    EndSearch();
    return rc;
  }
  rc = ReadCurrent(t, search.index, record);
  return rc == kOk ? kPrefixFound : rc;
}

}  // namespace dbengine
