// Index cursors and key searches: the public interface to a table's B-tree indexes.
//
// Index k of a table is a B-tree in the file P.ix<k> (layout in index_node.h); every entry holds a
// record's key and its record number. The key of a record for an index is made from the index's
// columns (index_key.h): each column's bytes up to its first NUL, padded with 0x01 to the column width,
// the trailing padding dropped. Keys compare as unsigned byte strings, a proper prefix first; so in a
// column of width 4, "ab" sorts before "abc".
//
// Each index of an open table has a cursor and a key buffer (IndexKeyBuffer) that receives the entry
// the cursor lands on. InsertRecord, UpdateRecord and DeleteRecord move the cursors of the indexes they
// touch (to where a search for the key they changed leaves them), so a walk that modifies the table it
// walks must seek again afterwards.
//
// Common results: 4 for an index number out of range or an empty key, 5 for a table that is not open,
// 101..103 when an index file cannot be read or written or is damaged.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "dbengine/btree.h"
#include "dbengine/result_codes.h"
#include "dbengine/schema.h"

namespace dbengine {

// The entry the cursor of an index last landed on (record number, key); null for a bad index.
const IndexEntry* IndexKeyBuffer(const DbTable* table, int index);

// The key a record image has in an index (without the terminating NUL); empty when it would be 100
// bytes or longer.
std::string RecordKey(const DbSchema& schema, int index, const uint8_t* record);

// Cursor before the first key. 0.
int IndexFirst(DbTable* table, int index);
// The next / previous entry in key order into the key buffer: 0, or 10 at the end, after which the cursor
// stands after the last (IndexNext) or before the first (IndexPrev) entry, so the opposite step gives
// the last / first entry.
int IndexNext(DbTable* table, int index);
int IndexPrev(DbTable* table, int index);

// 0 with the cursor on an entry with exactly this key (with duplicates: the first one met descending
// from the root, not necessarily the first in key order), else 10.
int IndexSeekExact(DbTable* table, int index, std::string_view key);
// 0 as IndexSeekExact; otherwise the cursor goes to the first entry with a greater key and the result
// is 21 when that key begins with the searched one, 20 when it does not, 22 when there is none.
int IndexSeek(DbTable* table, int index, std::string_view key);

// IndexNext, then the record the entry names into `record` (0, 10, or ReadRecord's failure).
int ReadAtNext(DbTable* table, int index, uint8_t* record);
// Builds the key from the image's index columns, IndexSeekExact, and reads that record into the image.
int ReadByKey(DbTable* table, int index, uint8_t* image);
// Builds the key from the image's index columns and IndexSeek; for 0, 20 and 21 the key found is decoded
// back into the image's index columns (0x01 padding becomes NUL).
int SeekByImage(DbTable* table, int index, uint8_t* image);
// IndexNext (forward) or IndexPrev, then decodes the key found into the image's index columns.
int StepAndDecode(DbTable* table, int index, bool forward, uint8_t* image);

// Prefix search. The search string is laid over the index's columns in key order (each column takes the
// next part of it, up to its width). A record matches when each of its index columns begins with its
// part. FindByPrefix gives 31 with the first matching record (in key order) in `record`; 30 when no key
// matches but a greater one exists (its record is in `record`); 10 when neither; 4 for an empty string
// or a bad index. A string as long as the whole key looks the key up exactly. The search stays active
// for FindNextByPrefix, which gives 31 with the next matching record, or 10 (and ends the search). One
// prefix search is active at a time for the whole engine; closing its table ends it.
int FindByPrefix(DbTable* table, int index, std::string_view text, uint8_t* record);
int FindNextByPrefix(uint8_t* record);

}  // namespace dbengine
