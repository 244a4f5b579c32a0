#include "linux/QtClock.h"

#include <QEventLoop>
#include <QTimer>

namespace nq {
namespace {

class QtTimer : public Timer {
public:
  explicit QtTimer(int interval) {
    Impl.setTimerType(Qt::PreciseTimer);
    Impl.setInterval(interval);
    QObject::connect(&Impl, &QTimer::timeout, [this] {
      if (Handler) Handler();
    });
  }
  void SetInterval(int ms) override { Impl.setInterval(ms); }
  int Interval() const override { return Impl.interval(); }
  void SetEnabled(bool enabled) override {
    if (enabled)
      Impl.start();
    else
      Impl.stop();
  }
  bool Enabled() const override { return Impl.isActive(); }
  void SetHandler(std::function<void()> handler) override { Handler = std::move(handler); }

private:
  QTimer Impl;
  std::function<void()> Handler;
};

} // namespace

QtClock::QtClock() {
  Started.start();
}

uint32_t QtClock::TickCount() const {
  return static_cast<uint32_t>(Started.elapsed());
}

std::unique_ptr<Timer> QtClock::CreateTimer(int intervalMs) {
  return std::make_unique<QtTimer>(intervalMs);
}

void QtClock::WaitWithMessages(int32_t milliseconds) {
  if (milliseconds <= 0) return;
  // A nested loop keeps painting, timers and input going without spinning the processor.
  QEventLoop loop;
  QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

} // namespace nq
