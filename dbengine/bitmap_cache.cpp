#include "dbengine/bitmap_cache.h"

#include <algorithm>

#include "dbengine/bytes.h"
#include "dbengine/engine_state.h"
#include "dbengine/result_codes.h"

namespace dbengine {
namespace {

BitmapCache& Cache() { return Engine().bitmap_cache; }

uint32_t ByteCount(const BitmapSlot& s) { return GetU16(s.header + 2); }
uint32_t PageCount(uint32_t bytes) { return (bytes + kBitmapPageBytes - 1) / kBitmapPageBytes; }

// Bytes of page p that exist: 2048, or only up to N on the last page.
uint32_t PageLength(const BitmapSlot& s, uint32_t p) {
  uint32_t start = p * kBitmapPageBytes;
  return std::min<uint32_t>(kBitmapPageBytes, ByteCount(s) - start);
}

void Empty(BitmapSlot& s) {
  s.file = nullptr;
  s.bytes.clear();
  s.page_state.clear();
}

int WriteBack(BitmapSlot& s) {
  // The header's changes (growth) are written at once; it goes again with the pages only to keep the
  // written image whole, and a table that was only read is not written at all.
  if (!s.Dirty()) return kOk;
  if (!s.file->WriteAt(0, s.header, kBitmapHeaderBytes)) return kCannotOpen;
  for (uint32_t p = 0; p < s.page_state.size(); ++p) {
    if (s.page_state[p] != BitmapSlot::kDirty) continue;
    uint32_t start = p * kBitmapPageBytes;
    if (!s.file->WriteAt(kBitmapHeaderBytes + start, s.bytes.data() + start, PageLength(s, p))) {
      return kCannotOpen;
    }
    s.page_state[p] = BitmapSlot::kClean;
  }
  return kOk;
}

void Stamp(BitmapSlot& s) {
  BitmapCache& c = Cache();
  s.stamp = static_cast<uint16_t>(c.stamp_counter++);
  if (c.stamp_counter < 65535) return;
  // Renumber the loaded slots from the oldest, keeping their order.
  BitmapSlot* order[kBitmapSlots];
  int n = 0;
  for (BitmapSlot& t : c.slots) {
    if (t.file) order[n++] = &t;
  }
  for (int i = 1; i < n; ++i) {
    for (int j = i; j > 0 && order[j - 1]->stamp > order[j]->stamp; --j) std::swap(order[j - 1], order[j]);
  }
  for (int i = 0; i < n; ++i) order[i]->stamp = static_cast<uint16_t>(i);
  c.stamp_counter = static_cast<uint32_t>(n);
}

int LoadPage(BitmapSlot& s, uint32_t p) {
  uint32_t start = p * kBitmapPageBytes;
  if (!s.file->ReadAt(kBitmapHeaderBytes + start, s.bytes.data() + start, PageLength(s, p))) {
    return kCannotOpen;
  }
  s.page_state[p] = BitmapSlot::kClean;
  return kOk;
}

int Load(BitmapSlot& s, DbFile* file) {
  Empty(s);
  s.file = file;
  if (!file->ReadAt(0, s.header, kBitmapHeaderBytes)) {
    Empty(s);
    return kCannotOpen;
  }
  uint32_t n = ByteCount(s);
  s.bytes.assign(n, 0);
  s.page_state.assign(PageCount(n), BitmapSlot::kAbsent);
  if (n > 0 && LoadPage(s, 0) != kOk) {
    Empty(s);
    return kCannotOpen;
  }
  Stamp(s);
  return kOk;
}

BitmapSlot* Serving(const DbFile* file) {
  for (BitmapSlot& s : Cache().slots) {
    if (s.file == file) return &s;
  }
  return nullptr;
}

// The slot for a file, loading it when needed.
int Slot(DbFile* file, BitmapSlot** out) {
  BitmapCache& c = Cache();
  BitmapSlot* s = Serving(file);
  if (!s) {
    for (BitmapSlot& t : c.slots) {
      if (!t.file) {
        s = &t;
        break;
      }
    }
  }
  if (!s) {
    for (BitmapSlot& t : c.slots) {
      if (!t.Dirty()) {
        s = &t;
        break;
      }
    }
  }
  if (!s) {
    s = &c.slots[0];
    for (BitmapSlot& t : c.slots) {
      if (t.stamp < s->stamp) s = &t;
    }
    if (int rc = WriteBack(*s); rc != kOk) return rc;
  }
  if (s->file != file) {
    if (int rc = Load(*s, file); rc != kOk) return rc;
  }
  *out = s;
  return kOk;
}

// The slot for a file with the page of a bitmap byte loaded; kNotFound when the byte is beyond N.
int SlotForByte(DbFile* file, uint32_t byte, BitmapSlot** out) {
  BitmapSlot* s;
  if (int rc = Slot(file, &s); rc != kOk) return rc;
  if (byte >= ByteCount(*s)) return kNotFound;
  uint32_t p = byte / kBitmapPageBytes;
  if (s->page_state[p] == BitmapSlot::kAbsent) {
    if (int rc = LoadPage(*s, p); rc != kOk) return rc;
  }
  *out = s;
  return kOk;
}

}  // namespace

bool BitmapSlot::Dirty() const {
  return std::find(page_state.begin(), page_state.end(), kDirty) != page_state.end();
}

int BitmapAttach(DbFile* file) {
  for (BitmapSlot& s : Cache().slots) {
    if (!s.file) return Load(s, file);
  }
  return kOk;
}

int BitmapDetach(DbFile* file) {
  BitmapSlot* s = Serving(file);
  if (!s) return kOk;
  int rc = WriteBack(*s);
  Empty(*s);
  return rc;
}

int BitmapFlush(DbFile* file) {
  BitmapSlot* s = Serving(file);
  return s ? WriteBack(*s) : kOk;
}

int BitmapGetByte(DbFile* file, uint32_t byte, uint8_t* value) {
  BitmapSlot* s;
  if (int rc = SlotForByte(file, byte, &s); rc != kOk) return rc;
  *value = s->bytes[byte];
  return kOk;
}

int BitmapPutByte(DbFile* file, uint32_t byte, uint8_t value) {
  BitmapSlot* s;
  if (int rc = SlotForByte(file, byte, &s); rc != kOk) return rc;
  s->bytes[byte] = value;
  s->page_state[byte / kBitmapPageBytes] = BitmapSlot::kDirty;
  return kOk;
}

int BitmapAppendByte(DbFile* file, uint16_t new_count, uint8_t value) {
  BitmapSlot* s;
  if (int rc = Slot(file, &s); rc != kOk) return rc;
  uint32_t byte = new_count - 1u;
  PutU16(s->header + 2, new_count);
  if (!file->WriteAt(0, s->header, kBitmapHeaderBytes)) return kCannotOpen;
  if (!file->WriteAt(kBitmapHeaderBytes + byte, &value, 1)) return kCannotOpen;
  s->bytes.resize(new_count, 0);
  s->page_state.resize(PageCount(new_count), BitmapSlot::kAbsent);
  uint32_t p = byte / kBitmapPageBytes;
  if (s->page_state[p] == BitmapSlot::kAbsent) return LoadPage(*s, p);
  s->bytes[byte] = value;
  return kOk;
}

}  // namespace dbengine
