#pragma once
// The way back to the UI thread: work done on other threads (picture decoding) hands its results to
// the core, which runs on the UI thread only, by posting a task here.
#include <functional>

namespace nq {

class UiQueue {
public:
  virtual ~UiQueue() = default;
  /// Runs task soon on the UI thread, after the tasks posted before it; callable from any thread.
  virtual void Post(std::function<void()> task) = 0;
};

} // namespace nq
