#include "shell/ExternalDoors.h"

#include "shell/WindowPlacement.h"

namespace nq {

ExternalDoors::ExternalDoors(ShellContext& ctx, WindowPlacement& placement, KeySink& keys,
                             KeyboardLayout& layout, Clipboard& clipboard, Clock& clock, Desktop& desktop,
                             NonFocusableWindow& window)
    : Keys(keys, layout, clipboard, clock, ctx.Layout, ctx.State.View),
      Window(ctx.State.ExternalWindowMode, ctx.State.NoMenuNoCaptionMode, *this, window, desktop,
             ctx.Settings),
      Ctx(ctx), Placement(placement) {}

void ExternalDoors::SetExternalWindowMode(bool on) {
  if (Window.ExternalWindowModeOn() != on) Window.ToggleExternalWindowMode();
}

void ExternalDoors::ShowExternalWindowMode(bool on) {
  Ctx.Menu.SetChecked("MenuNonFocusable", on);
}

void ExternalDoors::ShowNoMenuNoCaption(bool on) {
  Placement.SetNoMenuNoCaption(on);
}

} // namespace nq
