#include "ui/QtNonFocusableWindow.h"

#include <QWidget>
#include <QWindow>

namespace nq {

void QtNonFocusableWindow::SetNonFocusable(bool on) {
  if (!Window) return;
  // Through the native window, so the window is neither hidden nor created again and keeps
  // accepting dropped boards.
  if (QWindow* handle = Window->windowHandle()) {
    handle->setFlag(Qt::WindowDoesNotAcceptFocus, on);
    handle->setFlag(Qt::WindowStaysOnTopHint, true);
  } else {
    Window->setWindowFlag(Qt::WindowDoesNotAcceptFocus, on);
  }
  Window->setAttribute(Qt::WA_ShowWithoutActivating, on);
  // Made non-focusing before it is first shown, the window tells nobody yet: the start sequence does.
  if (on && SwitchedOn && Window->isVisible()) SwitchedOn();
}

DesktopWindow QtNonFocusableWindow::OwnWindow() {
  return Window && Window->windowHandle() ? static_cast<DesktopWindow>(Window->winId()) : 0;
}

} // namespace nq
