#pragma once
// The one shared helper for time in tests: timers fire in due order as Advance() steps the clock.
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Clock.h"

namespace nq::test {

class VirtualClock : public Clock {
public:
  class VirtualTimer : public Timer {
  public:
    explicit VirtualTimer(VirtualClock& clock, int interval) : ClockRef(clock), IntervalMs(interval) {}
    ~VirtualTimer() override { ClockRef.Forget(this); }
    void SetInterval(int ms) override {
      IntervalMs = ms;
      if (On) Due = ClockRef.Now + static_cast<uint64_t>(std::max(ms, 1));
    }
    int Interval() const override { return IntervalMs; }
    void SetEnabled(bool enabled) override {
      On = enabled;
      if (On) Due = ClockRef.Now + static_cast<uint64_t>(std::max(IntervalMs, 1));
    }
    bool Enabled() const override { return On; }
    void SetHandler(std::function<void()> handler) override { Handler = std::move(handler); }

    VirtualClock& ClockRef;
    int IntervalMs;
    bool On = false;
    uint64_t Due = 0;
    std::function<void()> Handler;
  };

  uint32_t TickCount() const override { return static_cast<uint32_t>(Now); }

  std::unique_ptr<Timer> CreateTimer(int intervalMs) override {
    auto timer = std::make_unique<VirtualTimer>(*this, intervalMs);
    Timers.push_back(timer.get());
    return timer;
  }

  // Waiting advances virtual time, firing the timers that fall due inside the wait.
  void WaitWithMessages(int32_t ms) override {
    Waits.push_back(ms);
    if (ms > 0) Advance(static_cast<uint64_t>(ms));
  }

  /// Moves time forward, firing each due timer in time order (a handler may re-arm or stop timers).
  void Advance(uint64_t ms) {
    const uint64_t end = Now + ms;
    for (;;) {
      VirtualTimer* next = nullptr;
      for (VirtualTimer* t : Timers)
        if (t->On && t->Due <= end && (!next || t->Due < next->Due)) next = t;
      if (!next) break;
      Now = next->Due;
      next->Due = Now + static_cast<uint64_t>(std::max(next->IntervalMs, 1));
      if (next->Handler) next->Handler();
    }
    Now = end;
  }

  void Forget(VirtualTimer* timer) { std::erase(Timers, timer); }

  uint64_t Now = 0;
  std::vector<VirtualTimer*> Timers;
  std::vector<int32_t> Waits;
};

} // namespace nq::test
