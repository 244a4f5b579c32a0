#pragma once
// The other windows of the desktop, as the window manager knows them: the focused application,
// the usable screen area, moving and closing windows, finding one by its title.
#include <cstdint>
#include <string>

namespace nq {

// An X window id or its like; 0 is no window.
using DesktopWindow = uint64_t;

struct DesktopRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

class Desktop {
public:
  virtual ~Desktop() = default;
  /// The window that has the keyboard focus (the window manager's active window); 0 for none.
  virtual DesktopWindow ForegroundWindow() = 0;
  /// True for an ordinary application window: not the desktop, a panel, a dock or a menu.
  virtual bool IsNormalApplicationWindow(DesktopWindow window) = 0;
  /// The screen area left to windows by panels and docks.
  virtual DesktopRect WorkArea() = 0;
  /// The window's outer rectangle, frame included; false when it cannot be read.
  virtual bool WindowFrameRect(DesktopWindow window, DesktopRect& rect) = 0;
  /// Moves and sizes the window's outer rectangle, frame included, and raises it.
  virtual void MoveResizeWindow(DesktopWindow window, const DesktopRect& rect) = 0;
  /// The topmost shown normal application window other than except: the one the user worked in last.
  virtual DesktopWindow TopApplicationWindow(DesktopWindow except) = 0;
  /// Gives the window the focus through the window manager.
  virtual void ActivateWindow(DesktopWindow window) = 0;
  /// Asks the window, through the window manager, to close (its program may ask to save first).
  virtual void CloseWindow(DesktopWindow window) = 0;
  /// The first managed top-level window, in stacking order from the top, whose non-empty title
  /// (Windows-1252) contains text, case-sensitively; 0 for none.
  virtual DesktopWindow FindWindowByTitle(const std::string& text) = 0;
};

} // namespace nq
