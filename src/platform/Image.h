#pragma once
// The one picture type of the core: 8-bit RGBA, rows top to bottom, no padding.
#include <cstdint>
#include <vector>

namespace nq {

struct Image {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels; // Width * Height * 4 bytes, R G B A

  bool Empty() const { return Width <= 0 || Height <= 0; }
  uint8_t* Row(int y) { return Pixels.data() + static_cast<std::size_t>(y) * Width * 4; }
  const uint8_t* Row(int y) const { return Pixels.data() + static_cast<std::size_t>(y) * Width * 4; }
};

} // namespace nq
