#include "shell/WindowPlacement.h"

#include "settings/SettingsKeys.h"

namespace nq {

void WindowPlacement::ApplyWindowPlacement() {
  const std::vector<std::string>& items = MenuModel::PositionItemNames();
  const int32_t value = Ctx.TheBoard.Position;
  for (int32_t i = 0; i < PlacementCount; ++i)
    Ctx.Menu.SetChecked(items[static_cast<size_t>(i)], i == value);
  const WindowRect stored{Ctx.TheBoard.WindowLeft, Ctx.TheBoard.WindowTop, Ctx.TheBoard.WindowWidth,
                          Ctx.TheBoard.WindowHeight};
  const WindowRect rect = PlacementRect(value, stored, Ctx.Window.ScreenWidth(), Ctx.Window.ScreenHeight());
  // A board made on a larger screen must not cut off its bars here, nor a panel cover them; the file
  // keeps its rectangle until the user moves the window.
  Ctx.Window.SetWindowRect(FitInsideWorkArea(rect, Ctx.Window.WorkArea()));
}

void WindowPlacement::SetWindowPlacement(int32_t value) {
  // With no board open the write has no target and the window is still placed.
  Ctx.File.WriteBoardInteger(std::string(SectionMenuOptions2), std::string(KeyMenuQdxPosition), value);
  Ctx.TheBoard.Position = value;
  ApplyWindowPlacement();
}

void WindowPlacement::WindowRectChanged(const WindowRect& rect) {
  if (!Ctx.BoardOpen() || !Ctx.Window.LeftButtonDown()) return;
  Ctx.TheBoard.WindowLeft = rect.Left;
  Ctx.TheBoard.WindowTop = rect.Top;
  Ctx.TheBoard.WindowWidth = rect.Width;
  Ctx.TheBoard.WindowHeight = rect.Height;
  Ctx.File.WriteBoardInteger("Position", "Left", rect.Left);
  Ctx.File.WriteBoardInteger("Position", "Top", rect.Top);
  Ctx.File.WriteBoardInteger("Position", "Width", rect.Width);
  Ctx.File.WriteBoardInteger("Position", "Height", rect.Height);
}

void WindowPlacement::MenuCentrarCaptionsClick() {
  const bool centre = Ctx.Menu.Toggle("MenuCentrarCaptions");
  Ctx.TheBoard.CenterCaptions = centre;
  for (int32_t n = 1; n <= GridBoxCount; ++n)
    Ctx.Boxes.GridBox(n)->Alignment = centre ? CaptionAlignment::Centre : CaptionAlignment::Left;
  if (Ctx.BoardOpen())
    Ctx.File.WriteBoardFlag(std::string(SectionMenuOptions2), std::string(KeyCenterCaptions), centre);
  Ctx.Layout.Invalidate();
}

void WindowPlacement::MenuTreureElCursorEnElsPlafonsClick() {
  Ctx.State.CellCursorHidden = Ctx.Menu.Toggle("MenuTreureElCursorEnElsPlafons");
  Ctx.Window.SetCellCursorHidden(Ctx.State.CellCursorHidden);
  Ctx.Settings.WriteSettingFlag(SectionMenuOptions, KeyMenuTreureElCursorEnElsPlafonsChecked,
                                Ctx.State.CellCursorHidden);
}

void WindowPlacement::SetNoMenuNoCaption(bool on) {
  Ctx.State.NoMenuNoCaptionMode = on;
  Ctx.Menu.SetChecked("MenuNoMenuNoCaption", on);
  Ctx.Window.SetMenuAndFrameHidden(on);
}

void WindowPlacement::MenuNoMenuNoCaptionClick() {
  const bool on = !Ctx.State.NoMenuNoCaptionMode;
  SetNoMenuNoCaption(on);
  // Menu and caption come back together with a focusable window: the external-window mode ends.
  if (Ctx.State.ExternalWindowMode && Ctx.ExternalWindow) Ctx.ExternalWindow->SetExternalWindowMode(false);
  Ctx.Settings.WriteSettingYesNo(SectionMenuOptions, KeyNoMenuNoCaption, on);
}

} // namespace nq
