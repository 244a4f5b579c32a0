#pragma once
// The external-window mode: the board window floats above the others and never takes the focus, so
// the application the user works in keeps it and receives every key and paste. Also arranging that
// application above the board, and closing it on request.
#include <string>

#include "platform/Desktop.h"

namespace nq {

class SettingsStore;

// The main window as the front end shows it.
class NonFocusableWindow {
public:
  virtual ~NonFocusableWindow() = default;
  /// Makes the main window one that never takes the focus and stays on top, or an ordinary one again.
  virtual void SetNonFocusable(bool on) = 0;
  /// The main window as the desktop knows it (never a receiving window); 0 before it exists.
  virtual DesktopWindow OwnWindow() = 0;
};

// The check marks of the two modes, and the menu bar and frame that go with the second.
class ExternalWindowMarks {
public:
  virtual ~ExternalWindowMarks() = default;
  /// Shows the check mark of "Actuar en ventana externa".
  virtual void ShowExternalWindowMode(bool on) = 0;
  /// Shows "No menu. No caption": its check mark, and the menu bar and frame hidden or shown.
  virtual void ShowNoMenuNoCaption(bool on) = 0;
};

// A receiving window is never made shorter than this.
inline constexpr int32_t MinimumReceivingHeight = 120;

class ExternalWindow {
public:
  /// The two flags are the player's own; this class keeps them consistent and stores them.
  ExternalWindow(bool& externalWindowMode, bool& noMenuNoCaptionMode, ExternalWindowMarks& marks,
                 NonFocusableWindow& window, Desktop& desktop, SettingsStore& settings);

  /// Switches the mode; switching it on also hides menu and caption for as long as it lasts, switching it
  /// off shows them again unless the user had hidden them, and gives the focus back to the main window.
  void ToggleExternalWindowMode();
  /// Switches "No menu. No caption" and stores it; bringing menu and caption back ends the external-window
  /// mode.
  void ToggleNoMenuNoCaption();
  /// In the mode, puts the board at the bottom centre of the work area and the focused application
  /// above it with the height left; only a normal application window other than ours is moved.
  void FitReceivingWindow();
  /// Asks the focused application's window to close when it is a normal application window other than
  /// ours; returns whether it asked.
  bool CloseForegroundApplication();
  bool ExternalWindowModeOn() const { return ExternalMode; }
  /// The first top-level window whose title contains text; 0 for none.
  DesktopWindow FindWindowByTitle(const std::string& text) { return TheDesktop.FindWindowByTitle(text); }

private:
  // The focused window when it is someone else's normal application window, else 0.
  DesktopWindow ReceivingWindow();
  void ShowNoMenuNoCaption(bool on);

  bool& ExternalMode;
  bool& NoMenuMode;
  ExternalWindowMarks& Marks;
  NonFocusableWindow& View;
  Desktop& TheDesktop;
  SettingsStore& Settings;
  bool MenuHiddenByMode = false; // menu and caption were shown when the mode came on
};

} // namespace nq
