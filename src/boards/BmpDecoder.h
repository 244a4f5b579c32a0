#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "platform/Image.h"

namespace nq {

/// Decodes a whole Windows bitmap held in memory into opaque RGBA: 1, 4 and 8 bits with a palette
/// (uncompressed, RLE8, RLE4), 16, 24 and 32 bits (plain or with bit masks), bottom-up or top-down;
/// nullopt for anything else, for data cut short and for a refused size.
std::optional<Image> DecodeBmp(std::span<const uint8_t> data);

} // namespace nq
