// Keys of records for an index.
//
// For each column of the index, in the index's column order: the column's bytes up to (not including)
// the first NUL or the column width, then bytes 0x01 up to the width. The key ends right after the last
// real (non-padding) byte of the last column that had one, so trailing empty columns add nothing and an
// empty column in the middle is a run of 0x01. The 0x01 padding makes a short value sort before every
// longer value that begins with it. Decoding copies each column's part back, 0x01 turned into NUL.
#pragma once
#include <cstdint>

#include "dbengine/schema.h"

namespace dbengine {

// Builds the key into key[0..99] (NUL-terminated) and *length. kOk, or kIndexState when it would be 100
// bytes or more (only a schema whose index columns are 100 bytes wide or more allows that).
int BuildKey(const DbSchema& schema, int index, const uint8_t* record, uint8_t* key, int* length);
// Copies a key back into the index columns of a record image.
void DecodeKey(const DbSchema& schema, int index, const uint8_t* key, int length, uint8_t* record);

}  // namespace dbengine
