#pragma once

namespace nq {

// Marks a component busy for the length of a scope, so what arrives inside its waits can be told
// apart (and dropped) instead of running in the middle of it.
class BusyScope {
public:
  explicit BusyScope(bool& busy) : Busy(busy) { Busy = true; }
  ~BusyScope() { Busy = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

private:
  bool& Busy;
};

} // namespace nq
