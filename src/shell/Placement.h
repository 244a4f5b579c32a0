#pragma once
// Where the main window sits for a board: its stored rectangle, maximized, or one of seven docks.
#include <cstdint>

#include "boards/GridTypes.h"

namespace nq {

// A window's outer rectangle on the screen, in the same terms as every other rectangle of the core.
using WindowRect = GridRect;

inline constexpr int PlacementCount = 9;

/// The window rectangle for a placement value 0..8 (any other value gives the stored rectangle).
/// Halving truncates toward zero, so a window larger than the screen gets negative coordinates.
WindowRect PlacementRect(int32_t value, const WindowRect& stored, int32_t screenWidth, int32_t screenHeight);

/// The rectangle moved, and shrunk where it is larger, so that it lies inside the work area; a rectangle
/// already inside comes back unchanged.
WindowRect FitInsideWorkArea(const WindowRect& rect, const WindowRect& workArea);

} // namespace nq
