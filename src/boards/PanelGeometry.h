#pragma once
// Where the button bar, the message bar and the grid panel fall inside the window's client area,
// and the nine panels of the button bar. All rectangles are in window client pixels.
#include <array>
#include <cstdint>
#include <string_view>

#include "boards/GridTypes.h"
#include "settings/SettingsKeys.h"

namespace nq {

inline constexpr int32_t ButtonBarHeight = 65;
inline constexpr int32_t ButtonPanelSize = 60;
inline constexpr int32_t ButtonPanelCount = 9;

struct PanelOptions {
  bool ShowButtonBar = true;
  bool ShowMessageBar = true;
  bool SwapBars = false; // button bar at the bottom, message bar at the top
  int32_t MessageBarHeight = DefaultMessageBarHeight;
};

struct PanelGeometry {
  GridRect ButtonBar; // PanelButtonBar
  bool ButtonBarVisible = false;
  GridRect MessageBar; // PanelMesageBar
  bool MessageBarVisible = false;
  GridRect Boxes; // PanelBoxes: whatever the shown bars leave (never negative)
};

/// Stacks the shown bars at the top and bottom of the client area and gives the rest to the grid.
PanelGeometry ArrangePanels(int32_t clientWidth, int32_t clientHeight, const PanelOptions& options);

// One command panel of the button bar.
struct ButtonPanel {
  int32_t Item = 0;         // -1..-9
  std::string_view Caption; // Windows-1252
  GridRect Bounds;          // window client pixels
  bool Visible = true;      // "Imprimir" is never shown, though the pointer test still finds it
  bool Highlighted = false;
  int32_t Colour = ButtonFaceColour;
};

using ButtonPanels = std::array<ButtonPanel, ButtonPanelCount>;

/// The nine panels, in the order the pointer test visits them, placed in the given button bar.
ButtonPanels MakeButtonPanels(const GridRect& buttonBar);

/// Moves the panels into a (new) button bar rectangle, keeping their colours.
void PlaceButtonPanels(ButtonPanels& panels, const GridRect& buttonBar);

} // namespace nq
