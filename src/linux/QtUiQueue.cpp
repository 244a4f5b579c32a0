#include "linux/QtUiQueue.h"

#include <QMetaObject>

namespace nq {

void QtUiQueue::Post(std::function<void()> task) {
  // Queued calls are safe from any thread and run in posting order on Target's thread; calls still
  // queued when Target goes are dropped with it.
  QMetaObject::invokeMethod(
      &Target, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

} // namespace nq
