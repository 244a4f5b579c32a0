#pragma once
// Moves the desktop's pointer, so scanning keeps it on the window the user is working in.
#include <QCursor>

#include "shell/ScanEngine.h"

namespace nq {

class QtPointerMover : public PointerMover {
public:
  void MovePointerTo(int32_t x, int32_t y) override { QCursor::setPos(x, y); }
};

} // namespace nq
