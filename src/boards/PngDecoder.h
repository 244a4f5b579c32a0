#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "platform/Image.h"

namespace nq {

/// Decodes a whole PNG held in memory (any colour type, bit depth or interlacing) into opaque RGBA with
/// transparent pixels flattened on white; nullopt for data that does not decode or a refused size.
std::optional<Image> DecodePng(std::span<const uint8_t> data);

} // namespace nq
