// Feeds arbitrary bytes to the PNG decoder, uncapped and through the capped loading path.
#include <cstddef>
#include <cstdint>

#include "boards/PictureLoader.h"
#include "boards/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  nq::DecodePng(bytes);
  nq::DecodePicture(bytes, nq::PictureKind::Png, {16, nullptr});
  return 0;
}
