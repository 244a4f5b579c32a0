#include "boards/PanelGeometry.h"

#include <algorithm>

namespace nq {

PanelGeometry ArrangePanels(int32_t clientWidth, int32_t clientHeight, const PanelOptions& options) {
  const int32_t width = std::max<int32_t>(clientWidth, 0);
  const int32_t height = std::max<int32_t>(clientHeight, 0);
  const int32_t messageHeight = std::max<int32_t>(options.MessageBarHeight, 0);
  PanelGeometry g;
  g.ButtonBarVisible = options.ShowButtonBar;
  g.MessageBarVisible = options.ShowMessageBar;
  g.ButtonBar = {0, 0, width, ButtonBarHeight};
  g.MessageBar = {0, 0, width, messageHeight};
  GridRect* topBar = options.SwapBars ? &g.MessageBar : &g.ButtonBar;
  GridRect* bottomBar = options.SwapBars ? &g.ButtonBar : &g.MessageBar;
  const bool topShown = options.SwapBars ? g.MessageBarVisible : g.ButtonBarVisible;
  const bool bottomShown = options.SwapBars ? g.ButtonBarVisible : g.MessageBarVisible;

  int32_t freeTop = 0;
  int32_t freeBottom = height;
  if (topShown) freeTop += topBar->Height;
  // The bottom bar hangs from the bottom edge even when the window is too short for both bars.
  bottomBar->Top = height - bottomBar->Height;
  if (bottomShown) freeBottom -= bottomBar->Height;
  g.Boxes = {0, freeTop, width, std::max<int32_t>(freeBottom - freeTop, 0)};
  return g;
}

namespace {

struct ButtonDefinition {
  int32_t Item;
  std::string_view Caption;
  int32_t Left;
};

// In the order the pointer test visits them, with their left edges inside the bar.
constexpr std::array<ButtonDefinition, ButtonPanelCount> ButtonDefinitions{{
    {-1, "Inici", 0},
    {-2, "Anterior", 60},
    {-3, "\xDAltima", 120},
    {-4, "Llegir", 180},
    {-5, "\xDAltim", 240},
    {-6, "Paraula", 300},
    {-7, "Esborrar", 360},
    {-8, "S\xEDmbol", 420},
    {-9, "Imprimir", 480},
}};

} // namespace

ButtonPanels MakeButtonPanels(const GridRect& buttonBar) {
  ButtonPanels panels{};
  for (std::size_t i = 0; i < panels.size(); ++i) {
    panels[i].Item = ButtonDefinitions[i].Item;
    panels[i].Caption = ButtonDefinitions[i].Caption;
    panels[i].Visible = ButtonDefinitions[i].Item != -9;
  }
  PlaceButtonPanels(panels, buttonBar);
  return panels;
}

void PlaceButtonPanels(ButtonPanels& panels, const GridRect& buttonBar) {
  for (std::size_t i = 0; i < panels.size(); ++i) {
    panels[i].Bounds = {buttonBar.Left + ButtonDefinitions[i].Left, buttonBar.Top, ButtonPanelSize,
                        ButtonPanelSize};
  }
}

} // namespace nq
