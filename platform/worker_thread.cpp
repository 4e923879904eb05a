#include "platform/worker_thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <utility>

namespace platform {

void WorkerThread::Start(std::function<void()> body) {
  assert(!thread_.joinable());
  thread_ = std::thread([body = std::move(body)] {
    LowerCurrentThreadPriority();
    body();
  });
}

void WorkerThread::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void LowerCurrentThreadPriority() {
  // On Linux a nice value set for a thread id applies to that thread alone.
  const id_t tid = static_cast<id_t>(syscall(SYS_gettid));
  errno = 0;
  const int now = getpriority(PRIO_PROCESS, tid);
  if (errno == 0) setpriority(PRIO_PROCESS, tid, now + 4 > 19 ? 19 : now + 4);
}

}  // namespace platform
