#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "platform/Image.h"

namespace nq {

struct JpegPicture {
  Image Pixels;        // opaque RGBA, possibly reduced by the decoder's DCT scaling
  int SourceWidth = 0; // the size the file declares
  int SourceHeight = 0;
};

/// The 1/denominator (1, 2, 4 or 8) the decoder may reduce a width x height JPEG by while its longer
/// side stays at least maxSide, so only an exact shrink remains afterwards; 1 when maxSide <= 0.
int JpegScaleDenominator(int width, int height, int maxSide);

/// Decodes a whole JPEG held in memory (grey, colour or CMYK) into opaque RGBA, reduced by the DCT
/// scaling that still keeps the longer side at least maxSide (no reduction when maxSide <= 0); nullopt
/// for data that does not decode, is cut short, or declares a refused size.
std::optional<JpegPicture> DecodeJpeg(std::span<const uint8_t> data, int maxSide);

} // namespace nq
