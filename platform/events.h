// Thread signalling used by the worker threads (solver, long database jobs, file scans).
#pragma once
#include <atomic>
#include <condition_variable>  // brings std::chrono durations; <chrono> itself cannot be used (CP932)
#include <mutex>

namespace platform {

// An auto-reset event: Set wakes one waiter or lets the next test succeed once, then it is clear again.
// The solver polls it with TestAndReset at every attack node.
class AutoResetEvent {
 public:
  void Set() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_.store(true, std::memory_order_release);
    cv_.notify_one();
  }
  // Zero-time-out wait: true (and clears the event) when it was set.
  bool TestAndReset() {
    if (!signalled_.load(std::memory_order_acquire)) return false;
    return signalled_.exchange(false, std::memory_order_acq_rel);
  }
  bool WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!cv_.wait_for(lock, timeout, [this] { return signalled_.load(); })) return false;
    signalled_.store(false);
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::atomic<bool> signalled_{false};
};

// A flag raised by the user interface and polled by a job between items.
class StopFlag {
 public:
  void Raise() { raised_.store(true, std::memory_order_release); }
  void Lower() { raised_.store(false, std::memory_order_release); }
  bool IsRaised() const { return raised_.load(std::memory_order_acquire); }

 private:
  std::atomic<bool> raised_{false};
};

}  // namespace platform
