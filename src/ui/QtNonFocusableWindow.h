#pragma once
// The main window switched at run time between an ordinary window and one that never takes the
// keyboard focus (the window manager is told through WM_HINTS), staying on top in both.
#include <functional>

#include "actions/ExternalWindow.h"

class QWidget;

namespace nq {

class QtNonFocusableWindow final : public NonFocusableWindow {
public:
  explicit QtNonFocusableWindow(QWidget* window) : Window(window) {}
  void SetNonFocusable(bool on) override;
  DesktopWindow OwnWindow() override;
  /// Called after each switch into the non-focusing state (the Wayland notice listens here).
  std::function<void()> SwitchedOn;

private:
  QWidget* Window;
};

} // namespace nq
