#include "shell/Placement.h"

#include <algorithm>
#include <utility>

namespace nq {

WindowRect PlacementRect(int32_t value, const WindowRect& stored, int32_t screenWidth, int32_t screenHeight) {
  // 64-bit intermediates: stored rectangles come from board files and may hold any 32-bit value.
  const int64_t w = stored.Width;
  const int64_t h = stored.Height;
  const int64_t centreX = (int64_t{screenWidth} - w) / 2;
  const int64_t centreY = (int64_t{screenHeight} - h) / 2;
  const int64_t right = int64_t{screenWidth} - w;
  const int64_t bottom = int64_t{screenHeight} - h;
  auto rect = [&](int64_t x, int64_t y) {
    return WindowRect{static_cast<int32_t>(x), static_cast<int32_t>(y), stored.Width, stored.Height};
  };
  switch (value) {
  case 1:
    return {0, 0, screenWidth, screenHeight};
  case 2:
    return rect(centreX, centreY);
  case 3:
    return rect(centreX, bottom);
  case 4:
    return rect(centreX, 0);
  case 5:
    return rect(0, 0);
  case 6:
    return rect(0, bottom);
  case 7:
    return rect(right, 0);
  case 8:
    return rect(right, bottom);
  default:
    return stored;
  }
}

WindowRect FitInsideWorkArea(const WindowRect& rect, const WindowRect& workArea) {
  if (workArea.Width <= 0 || workArea.Height <= 0) return rect;
  auto fit = [](int32_t start, int32_t length, int32_t areaStart, int32_t areaLength) {
    const int64_t size = std::min<int64_t>(length, areaLength);
    const int64_t areaEnd = int64_t{areaStart} + areaLength;
    const int64_t begin = std::clamp<int64_t>(start, areaStart, areaEnd - size);
    return std::pair{static_cast<int32_t>(begin), static_cast<int32_t>(size)};
  };
  const auto [left, width] = fit(rect.Left, rect.Width, workArea.Left, workArea.Width);
  const auto [top, height] = fit(rect.Top, rect.Height, workArea.Top, workArea.Height);
  return {left, top, width, height};
}

} // namespace nq
