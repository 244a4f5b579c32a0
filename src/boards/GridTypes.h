#pragma once
// Small value types shared by the cell boxes, the grid layout and the window panels.
#include <cstdint>

namespace nq {

// A rectangle in pixels; Left/Top relative to the panel (or window client area) that holds it.
struct GridRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;

  int32_t Right() const { return Left + Width; }
  int32_t Bottom() const { return Top + Height; }
  bool operator==(const GridRect&) const = default;
};

// Colours are 32-bit integers with red in the low byte, then green, then blue.
inline constexpr int32_t HighlightColour = 255; // pure red, every highlight
inline constexpr int32_t WhiteColour = 16777215;
inline constexpr int32_t BlackColour = 0;
// The button face of the bars when not highlighted (the usual light grey of dialog buttons).
inline constexpr int32_t ButtonFaceColour = 0xF0F0F0;

// Item numbers: cells are > 0, button-bar buttons -1..-9, -4 also the message bar, 0 nothing.
inline constexpr int32_t NoItem = 0;
inline constexpr int32_t MessageBarItem = -4;

} // namespace nq
