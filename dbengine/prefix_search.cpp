// FindByPrefix / FindNextByPrefix: the engine's single active prefix search.
#include <vector>

#include "dbengine/btree.h"
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
  if (full && s.indexes[index].duplicates == 0) {
    int rc = ReadByKey(table, index, record);
    return rc == kOk ? kPrefixFound : rc;
  }
  // The first entry in key order not less than the key of the string: the first that can match. (Seeking
  // the key and stepping back over the matching entries before it ends on the same entry.)
  std::string key = RecordKey(s, index, record);
  TableIndex& x = table->indexes[index];
  if (int rc = CursorBefore(&x.file, reinterpret_cast<const uint8_t*>(key.data()), static_cast<int>(key.size()));
      rc != kOk) {
    return rc;
  }
  int rc = CursorNext(&x.file, &x.key_buffer);
  if (rc != kOk) return rc;
  bool matches = full ? CompareKeys(x.key_buffer.key, x.key_buffer.key_length,
                                    reinterpret_cast<const uint8_t*>(key.data()), static_cast<int>(key.size())) == 0
                      : EntryMatches(table, index, text);
  if (!matches && full) return kNotFound;
  if (int r = ReadCurrent(table, index, record); r != kOk) return r;
  return matches ? kPrefixFound : kPrefixNext;
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
