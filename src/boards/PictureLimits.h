#pragma once
// Guards shared by the picture decoders: a picture whose header declares more than this is refused
// before any pixel memory is allocated, so a tiny hostile file cannot ask for gigabytes.
#include <cstddef>
#include <cstdint>

namespace nq {

inline constexpr int MaxPictureSide = 16384;
inline constexpr uint64_t MaxPicturePixels = 64ull * 1024 * 1024;
// Larger files are not read at all; no sensible cell picture comes near this.
inline constexpr std::size_t MaxPictureFileBytes = 256u * 1024 * 1024;

/// True when a picture of width x height may be decoded (both sides 1..16384, at most 64 megapixels).
inline bool PictureSizeAllowed(uint64_t width, uint64_t height) {
  return width >= 1 && height >= 1 && width <= MaxPictureSide && height <= MaxPictureSide &&
         width * height <= MaxPicturePixels;
}

} // namespace nq
