#include "actions/ExternalWindow.h"

#include <algorithm>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace nq {

ExternalWindow::ExternalWindow(bool& externalWindowMode, bool& noMenuNoCaptionMode,
                               ExternalWindowMarks& marks, NonFocusableWindow& window, Desktop& desktop,
                               SettingsStore& settings)
    : ExternalMode(externalWindowMode), NoMenuMode(noMenuNoCaptionMode), Marks(marks), View(window),
      TheDesktop(desktop), Settings(settings) {}

void ExternalWindow::ToggleExternalWindowMode() {
  ExternalMode = !ExternalMode;
  Marks.ShowExternalWindowMode(ExternalMode);
  View.SetNonFocusable(ExternalMode);
  // The mode hides menu and caption only while it lasts: what the user chose stays stored, and comes
  // back on screen when the mode ends.
  if (ExternalMode && !NoMenuMode) {
    MenuHiddenByMode = true;
    ShowNoMenuNoCaption(true);
  } else if (!ExternalMode && MenuHiddenByMode) {
    MenuHiddenByMode = false;
    ShowNoMenuNoCaption(false);
  }
  if (ExternalMode) {
    // Switched on from our own menu or board: the program the user was writing in gets the focus back.
    const DesktopWindow own = View.OwnWindow();
    if (own != 0 && TheDesktop.ForegroundWindow() == own)
      if (const DesktopWindow previous = TheDesktop.TopApplicationWindow(own))
        TheDesktop.ActivateWindow(previous);
  } else if (const DesktopWindow own = View.OwnWindow()) {
    TheDesktop.ActivateWindow(own);
  }
  Settings.WriteSettingYesNo(SectionMenuOptions, KeyNonFocusable, ExternalMode);
}

void ExternalWindow::ToggleNoMenuNoCaption() {
  ShowNoMenuNoCaption(!NoMenuMode);
  MenuHiddenByMode = false; // the user's own choice from now on
  // A window with its menu back must be one the user can focus to use it.
  if (!NoMenuMode && ExternalMode) ToggleExternalWindowMode();
  Settings.WriteSettingYesNo(SectionMenuOptions, KeyNoMenuNoCaption, NoMenuMode);
}

void ExternalWindow::ShowNoMenuNoCaption(bool on) {
  NoMenuMode = on;
  Marks.ShowNoMenuNoCaption(on);
}

DesktopWindow ExternalWindow::ReceivingWindow() {
  const DesktopWindow window = TheDesktop.ForegroundWindow();
  if (window == 0 || window == View.OwnWindow() || !TheDesktop.IsNormalApplicationWindow(window)) return 0;
  return window;
}

void ExternalWindow::FitReceivingWindow() {
  if (!ExternalMode) return;
  const DesktopWindow receiver = ReceivingWindow();
  const DesktopWindow own = View.OwnWindow();
  DesktopRect board;
  DesktopRect received;
  if (receiver == 0 || own == 0 || !TheDesktop.WindowFrameRect(own, board) ||
      !TheDesktop.WindowFrameRect(receiver, received))
    return;
  const DesktopRect work = TheDesktop.WorkArea();
  board.Left = work.Left + (work.Width - board.Width) / 2;
  board.Top = work.Top + work.Height - board.Height;
  TheDesktop.MoveResizeWindow(own, board);
  const int32_t width = std::min(received.Width, work.Width);
  const int32_t height = std::max(work.Height - board.Height, MinimumReceivingHeight);
  TheDesktop.MoveResizeWindow(receiver, {work.Left + (work.Width - width) / 2, work.Top, width, height});
}

bool ExternalWindow::CloseForegroundApplication() {
  const DesktopWindow receiver = ReceivingWindow();
  if (receiver == 0) return false;
  TheDesktop.CloseWindow(receiver);
  return true;
}

} // namespace nq
