// The free-space check before a table's files grow.
#pragma once
#include <cstdint>

#include "dbengine/db_file.h"

namespace dbengine {

// Clusters a file of `size` bytes needs to grow by `needed` bytes: none while the slack of its last
// cluster holds them, else enough whole clusters for the rest.
uint64_t ClustersNeeded(uint64_t size, uint64_t needed, uint64_t cluster);

// kOk when the file system holding the files has enough free clusters for one more bitmap byte and
// 8 more records; kNoDiskSpace when it has not or cannot tell. The cluster size and the free clusters are
// those the file system reports for unprivileged writers (fstatvfs).
int CheckDiskSpace(const DbFile& bitmap, const DbFile& data, int record_length);

}  // namespace dbengine
