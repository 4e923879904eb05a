// A thread for one long job (a solve, a database batch) at below-normal priority, so that the user
// interface and other programs stay responsive while it runs.
#pragma once
#include <functional>
#include <thread>

namespace platform {

class WorkerThread {
 public:
  WorkerThread() = default;
  ~WorkerThread() { Join(); }
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `body` on a new thread at lowered priority. REQUIRES: no job started earlier is still to be
  // joined (Join first).
  void Start(std::function<void()> body);
  // Waits for the job to end; does nothing when none was started.
  void Join();
  bool started() const { return thread_.joinable(); }

 private:
  std::thread thread_;
};

// Lowers the calling thread's scheduling priority a little (best effort).
void LowerCurrentThreadPriority();

}  // namespace platform
