#pragma once
// The desktop through the window manager's own hints (EWMH): the active window, the work area, the
// client list, and moving, activating and closing windows by asking the window manager.
#include "platform/Desktop.h"

struct _XDisplay;

namespace nq {

class X11Desktop final : public Desktop {
public:
  /// display: the connection to use; the application's own when null.
  explicit X11Desktop(_XDisplay* display = nullptr) : Display(display) {}

  DesktopWindow ForegroundWindow() override;
  bool IsNormalApplicationWindow(DesktopWindow window) override;
  DesktopRect WorkArea() override;
  bool WindowFrameRect(DesktopWindow window, DesktopRect& rect) override;
  void MoveResizeWindow(DesktopWindow window, const DesktopRect& rect) override;
  DesktopWindow TopApplicationWindow(DesktopWindow except) override;
  void ActivateWindow(DesktopWindow window) override;
  void CloseWindow(DesktopWindow window) override;
  DesktopWindow FindWindowByTitle(const std::string& text) override;

private:
  _XDisplay* Connection() const;
  _XDisplay* Display;
};

} // namespace nq
