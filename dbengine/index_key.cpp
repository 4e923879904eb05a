#include "dbengine/index_key.h"

#include <cstring>

#include "dbengine/index_node.h"
#include "dbengine/result_codes.h"

namespace dbengine {

int BuildKey(const DbSchema& schema, int index, const uint8_t* record, uint8_t* key, int* length) {
  const IndexDesc& x = schema.indexes[index];
  int out = 0, end = 0;
  for (int i = 0; i < x.column_count; ++i) {
    const ColumnDesc& c = schema.columns[x.columns[i]];
    const uint8_t* v = record + c.offset;
    int n = 0;
    while (n < c.width && v[n] != 0) ++n;
    if (n > 0) {
      if (out + n > kMaxKeyLength) return kIndexState;
      std::memcpy(key + out, v, static_cast<size_t>(n));
      end = out + n;
    }
    // Padding is written only as far as the buffer goes; it counts only when a later byte follows.
    int pad_to = out + c.width;
    for (int k = out + n; k < pad_to && k < kMaxKeyLength; ++k) key[k] = 0x01;
    out = pad_to;
  }
  key[end] = 0;
  *length = end;
  return kOk;
}

void DecodeKey(const DbSchema& schema, int index, const uint8_t* key, int length, uint8_t* record) {
  const IndexDesc& x = schema.indexes[index];
  int at = 0;
  for (int i = 0; i < x.column_count; ++i) {
    const ColumnDesc& c = schema.columns[x.columns[i]];
    uint8_t* v = record + c.offset;
    for (int k = 0; k < c.width; ++k, ++at) {
      uint8_t b = at < length ? key[at] : 0;
      v[k] = b == 0x01 ? 0 : b;
    }
  }
}

}  // namespace dbengine
