#pragma once
// The core's clock on Qt: QTimer for timers, a monotonic tick counter, nested event loops for waits.
#include <QElapsedTimer>

#include "platform/Clock.h"

namespace nq {

class QtClock : public Clock {
public:
  QtClock();
  uint32_t TickCount() const override;
  std::unique_ptr<Timer> CreateTimer(int intervalMs) override;
  void WaitWithMessages(int32_t milliseconds) override;

private:
  QElapsedTimer Started;
};

} // namespace nq
