#include "boards/HighlightStyle.h"

#include <algorithm>

namespace nq {

int32_t HighlightRingWidth(const HighlightStyle& style, const GridRect& bounds) {
  if (style.Width <= 0) return 0;
  const int32_t chosen = std::min(style.Width, MaxHighlightWidth);
  const int32_t side = std::max(std::min(bounds.Width, bounds.Height), 0);
  const int32_t scaled = side >= FullHighlightWidthSide ? chosen : chosen * side / FullHighlightWidthSide;
  // Never more than a quarter of the side: half of the cell stays visible inside the ring.
  return std::max(1, std::min(scaled, side / 4));
}

int32_t WideRingWidth(const CellFrame& frame, const HighlightStyle& style) {
  // A ring no wider than the frame's own pen adds nothing: the pen already shows the colour.
  const int32_t ring = HighlightRingWidth(style, frame.Bounds);
  return ring > frame.PenWidth ? ring : 0;
}

int32_t ValidHighlightColour(int32_t colour) {
  return std::find(HighlightColours.begin(), HighlightColours.end(), colour) != HighlightColours.end()
             ? colour
             : HighlightColour;
}

} // namespace nq
