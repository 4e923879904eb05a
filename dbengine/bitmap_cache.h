// The record-use bitmap of a table, P + ".bmp", and the page cache in front of it.
//
// Bitmap file layout (little-endian):
//   offset 0  u16  record length
//   offset 2  u16  N, the number of bitmap bytes (1..65535)
//   offset 4  N bitmap bytes; record r is in use when bit (0x80 >> (r % 8)) of byte r / 8 is set
// The file is 4 + N bytes long. Page p holds bitmap bytes p*2048 .. p*2048+2047 at offset 4 + p*2048.
//
// The cache has a few slots shared by every open table. A slot serves one bitmap file: a copy of its
// header, and the pages of it read so far, each clean or dirty. Changes stay in the slot until the slot
// is taken for another file or the table is closed or flushed; then the header and the dirty pages are
// written back (the last page only up to byte N), so the file after close is the same whatever the
// number of slots or pages held. Growth of N is written to the file at once as well.
//
// Slot choice for a file: the slot already serving it; else the first empty slot; else the first slot
// without unsaved changes; else the slot loaded longest ago (smallest load stamp), written back first.
// Loading reads the header and page 0 and stamps the slot from an engine-wide counter; when the counter
// reaches 65535 the slots are renumbered 0, 1, ... in stamp order and counting goes on from there.
#pragma once
#include <cstdint>
#include <vector>

#include "dbengine/db_file.h"

namespace dbengine {

constexpr int kBitmapHeaderBytes = 4;
constexpr int kBitmapPageBytes = 2048;
constexpr int kMaxBitmapBytes = 65535;
// A shogi database has six tables, so eight slots keep the bitmaps of all of them loaded at once, with
// room to spare. The number only decides what stays in memory; the files are the same with any.
constexpr int kBitmapSlots = 8;

struct BitmapSlot {
  enum PageState : uint8_t { kAbsent = 0, kClean = 1, kDirty = 2 };
  DbFile* file = nullptr;            // the bitmap file served, or none
  uint8_t header[kBitmapHeaderBytes] = {};
  uint16_t stamp = 0;
  std::vector<uint8_t> bytes;       // bitmap bytes of the loaded pages, by byte number
  std::vector<uint8_t> page_state;  // PageState per page

  bool Dirty() const;
};

struct BitmapCache {
  BitmapSlot slots[kBitmapSlots];
  uint32_t stamp_counter = 0;
};

// Each returns kOk or kCannotOpen (the bitmap file could not be read or written, or is shorter than
// its header says). `file` is the open bitmap file of a table.
int BitmapAttach(DbFile* file);  // on opening: loads the file into an empty slot if there is one
int BitmapDetach(DbFile* file);  // on closing: writes back and empties its slot
int BitmapFlush(DbFile* file);   // writes back, keeps the slot
int BitmapGetByte(DbFile* file, uint32_t byte, uint8_t* value);
int BitmapPutByte(DbFile* file, uint32_t byte, uint8_t value);
// Growth: N becomes new_count (header written at once), and bitmap byte new_count - 1 is appended with
// the given value, in the file and in the cache.
int BitmapAppendByte(DbFile* file, uint16_t new_count, uint8_t value);

}  // namespace dbengine
