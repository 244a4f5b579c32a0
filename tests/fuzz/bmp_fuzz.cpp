// Feeds arbitrary bytes to the BMP reader, uncapped and through the capped loading path.
#include <cstddef>
#include <cstdint>

#include "boards/BmpDecoder.h"
#include "boards/PictureLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  nq::DecodeBmp(bytes);
  nq::DecodePicture(bytes, nq::PictureKind::Bmp, {16, nullptr});
  return 0;
}
