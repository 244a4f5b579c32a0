#include "linux/X11Pointer.h"

#include <QGuiApplication>
#include <X11/Xlib.h>

namespace nq {

Display* ApplicationXDisplay() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

bool LeftButtonHeld() {
  Display* display = ApplicationXDisplay();
  if (!display) return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
  Window root = 0;
  Window child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY, &mask))
    return false;
  return (mask & Button1Mask) != 0;
}

} // namespace nq
