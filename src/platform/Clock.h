#pragma once
// Time as an input: the core's timers and tick counter come from here, so tests can step a virtual clock.
#include <cstdint>
#include <functional>
#include <memory>

namespace nq {

// A repeating timer in the style of the window timers: set an interval, enable it, get ticks.
class Timer {
public:
  virtual ~Timer() = default;
  /// Sets the period in milliseconds; a running timer restarts its period.
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
  /// Starts or stops the timer; enabling a running timer restarts its period.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  /// The handler runs on the UI thread at each expiry while enabled.
  virtual void SetHandler(std::function<void()> handler) = 0;
};

class Clock {
public:
  virtual ~Clock() = default;
  /// Milliseconds since an arbitrary start; wraps like a 32-bit tick counter.
  virtual uint32_t TickCount() const = 0;
  /// Creates a disabled timer owned by the caller.
  virtual std::unique_ptr<Timer> CreateTimer(int intervalMs) = 0;
  /// Waits while the UI keeps processing events (timers and input may re-enter the caller).
  /// Zero or negative returns at once without dispatching anything.
  virtual void WaitWithMessages(int32_t milliseconds) = 0;
};

} // namespace nq
