// The first step of a table's repair (check.h, RebuildTable): which records are in use, written as a
// whole new bitmap, and the data file fitted to it. Engine-internal.
#pragma once
#include <string>

#include "dbengine/check.h"
#include "dbengine/schema.h"

namespace dbengine {

// Rewrites P.bmp (created when missing) from the bitmap as far as it can be trusted, the data file and
// the index entries whose keys match their records, and fits P.dat (created when missing) to 8 * N
// records, by the rules of check.h. Fills report->slots_freed, bitmap_restored, restored and unconfirmed. kOk, or kCannotOpen when a file cannot be opened, read or written.
int RebuildRecordUse(const std::string& path, const DbSchema& schema, RebuildReport* report);

}  // namespace dbengine
