#include "dbengine/disk_space.h"

#include <sys/statvfs.h>

#include "dbengine/engine_state.h"
#include "dbengine/result_codes.h"

namespace dbengine {

uint64_t ClustersNeeded(uint64_t size, uint64_t needed, uint64_t cluster) {
  uint64_t slack = size % cluster == 0 ? 0 : cluster - size % cluster;
  if (slack >= needed) return 0;
  return (needed - slack + cluster - 1) / cluster;
}

int CheckDiskSpace(const DbFile& bitmap, const DbFile& data, int record_length) {
  const FaultInjection& faults = Engine().faults;
  uint64_t cluster, free_clusters;
  if (faults.fake_disk) {
    cluster = faults.cluster_bytes;
    free_clusters = faults.free_clusters;
  } else {
    struct statvfs st;
    if (::fstatvfs(bitmap.Descriptor(), &st) != 0) return kNoDiskSpace;
    cluster = st.f_frsize ? st.f_frsize : st.f_bsize;
    free_clusters = st.f_bavail;
  }
  int64_t bitmap_size = bitmap.Size(), data_size = data.Size();
  if (cluster == 0 || bitmap_size < 0 || data_size < 0) return kNoDiskSpace;
  uint64_t needed = ClustersNeeded(static_cast<uint64_t>(bitmap_size), 1, cluster) +
                    ClustersNeeded(static_cast<uint64_t>(data_size), 8ull * static_cast<uint64_t>(record_length), cluster);
  return needed > free_clusters ? kNoDiskSpace : kOk;
}

}  // namespace dbengine
