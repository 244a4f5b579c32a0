#pragma once
// The way back to the UI thread on Qt: a queued call on an object that lives there.
#include <QObject>

#include "platform/UiQueue.h"

namespace nq {

class QtUiQueue final : public UiQueue {
public:
  /// Must be created on the UI thread (the thread its tasks then run on).
  QtUiQueue() = default;
  void Post(std::function<void()> task) override;

private:
  QObject Target;
};

} // namespace nq
