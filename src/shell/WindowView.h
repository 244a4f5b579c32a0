#pragma once
// What the shell asks of the main window on screen. The Qt front end implements it; tests record it.
#include <cstdint>
#include <string>

#include "shell/Placement.h"

namespace nq {

class WindowView {
public:
  virtual ~WindowView() = default;
  /// Sets the window caption (Windows-1252).
  virtual void SetCaption(const std::string& caption) = 0;
  /// Moves and sizes the window (outer frame) without changing its stacking order.
  virtual void SetWindowRect(const WindowRect& rect) = 0;
  /// The window's current outer rectangle.
  virtual WindowRect CurrentWindowRect() = 0;
  /// Width and height of the primary screen in pixels.
  virtual int32_t ScreenWidth() = 0;
  virtual int32_t ScreenHeight() = 0;
  /// The part of the screen windows may take (the screen without panels and docks).
  virtual WindowRect WorkArea() { return {0, 0, ScreenWidth(), ScreenHeight()}; }
  /// True while the user drags or resizes the window: the left button is held down, or (where the
  /// window manager reports a drag only when it ends) the window moved without the program asking.
  virtual bool LeftButtonDown() = 0;
  /// Switches the stay-on-top state.
  virtual void SetStayOnTop(bool onTop) = 0;
  /// Hides or shows the menu bar and the window frame together.
  virtual void SetMenuAndFrameHidden(bool hidden) = 0;
  /// Hides the pointer over the grid (never over the bars) or shows it again.
  virtual void SetCellCursorHidden(bool hidden) = 0;
  /// The state of the core changed: repaint what is shown (grid, bars, menu marks).
  virtual void Refresh() = 0;
  /// The dwell progress bar changed: repaint it alone (nothing else changed).
  virtual void RefreshDwellProgress() { Refresh(); }
  /// Pointer position in the window's client coordinates.
  virtual void PointerPosition(int32_t& x, int32_t& y) = 0;
  /// Client-area size the panels are laid out in.
  virtual void ClientSize(int32_t& width, int32_t& height) = 0;
  /// Shows the about box modally (from the menu) or as the start-up splash.
  virtual void ShowAboutBox(bool asSplash) = 0;
  /// Shows the speech window modally.
  virtual void ShowSpeechWindow() = 0;
  /// Gives the keyboard focus to the message memo.
  virtual void FocusMessageMemo() = 0;
  /// Installs or removes the mouse hook (removed while a modal window of the program is shown).
  virtual void SetMouseHook(bool installed) = 0;
  /// Closes the main window (the program ends after FormClose).
  virtual void CloseWindow() = 0;
};

} // namespace nq
