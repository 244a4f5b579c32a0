#pragma once
// The window's place for each board, the "Position" items, the rectangle written back when the user
// drags the window, and the display options "Centrar captions", "No menu. No caption" and cursor hiding.
#include "shell/ShellContext.h"

namespace nq {

class WindowPlacement {
public:
  explicit WindowPlacement(ShellContext& context) : Ctx(context) {}

  /// Places the window for the board's rectangle and placement value and checks its "Position" item.
  void ApplyWindowPlacement();
  /// The handler behind each "Position" item: stores the value in the board file and places the window.
  void SetWindowPlacement(int32_t value);
  /// The window was moved or resized: while the left button is down, the board keeps its new rectangle.
  void WindowRectChanged(const WindowRect& rect);

  void MenuCentrarCaptionsClick();
  void MenuTreureElCursorEnElsPlafonsClick();
  /// "No menu. No caption": hides or shows menu and frame together; leaves the external-window mode.
  void MenuNoMenuNoCaptionClick();
  /// Sets the mode without a toggle's side effects on the other mode (used at start).
  void SetNoMenuNoCaption(bool on);

private:
  ShellContext& Ctx;
};

} // namespace nq
