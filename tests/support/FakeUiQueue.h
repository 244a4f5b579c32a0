#pragma once
// The UI thread's queue in tests: tasks posted from worker threads wait here until the test runs
// them on its own thread, so a test decides exactly when results reach the core.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/UiQueue.h"

namespace nq::test {

class FakeUiQueue final : public UiQueue {
public:
  void Post(std::function<void()> task) override {
    {
      const std::lock_guard<std::mutex> lock(Lock);
      Tasks.push_back(std::move(task));
      ++Posted;
    }
    Changed.notify_all();
  }

  /// Waits until a task is queued; false when none came within a generous limit (a hung worker).
  bool WaitForTask() {
    std::unique_lock<std::mutex> lock(Lock);
    return Changed.wait_for(lock, std::chrono::seconds(30), [this] { return !Tasks.empty(); });
  }

  /// Runs every queued task on the calling thread, in posting order; returns how many ran.
  int RunAll() {
    std::vector<std::function<void()>> now;
    {
      const std::lock_guard<std::mutex> lock(Lock);
      now.swap(Tasks);
    }
    for (auto& task : now)
      task();
    return static_cast<int>(now.size());
  }

  /// Waits for and runs tasks until done() holds; false when the workers stopped answering first.
  template <typename Done> bool RunUntil(Done done) {
    while (!done()) {
      if (!WaitForTask()) return false;
      RunAll();
    }
    return true;
  }

  int PostedCount() {
    const std::lock_guard<std::mutex> lock(Lock);
    return Posted;
  }

private:
  std::mutex Lock;
  std::condition_variable Changed;
  std::vector<std::function<void()>> Tasks;
  int Posted = 0;
};

} // namespace nq::test
