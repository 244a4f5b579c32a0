#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "platform/Image.h"

namespace nq {

/// Decodes a whole PNG held in memory (any colour type, bit depth or interlacing) into opaque RGBA with
/// transparent pixels flattened on white; nullopt for data that does not decode or a refused size.
std::optional<Image> DecodePng(std::span<const uint8_t> data);

struct PngPicture {
  Image Pixels;
  int SourceWidth = 0; // the size the file declares, whatever size Pixels has
  int SourceHeight = 0;
};

/// As above, but a picture at least twice maxSide on its longer side (and not interlaced) is reduced
/// by a whole factor while it is read, never below maxSide, so it never needs its full size in memory.
/// maxSide 0 decodes the full size.
std::optional<PngPicture> DecodePng(std::span<const uint8_t> data, int maxSide);

} // namespace nq
