#pragma once
// Where the main window sits for a board: its stored rectangle, maximized, or one of seven docks.
#include <cstdint>

namespace nq {

struct WindowRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const WindowRect&) const = default;
};

inline constexpr int PlacementCount = 9;

/// The window rectangle for a placement value 0..8 (any other value gives the stored rectangle).
/// Halving truncates toward zero, so a window larger than the screen gets negative coordinates.
WindowRect PlacementRect(int32_t value, const WindowRect& stored, int32_t screenWidth, int32_t screenHeight);

} // namespace nq
