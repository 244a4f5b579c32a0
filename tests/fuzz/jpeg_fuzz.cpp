// Feeds arbitrary bytes to the JPEG decoder at full size and with DCT reduction and capping.
#include <cstddef>
#include <cstdint>

#include "boards/JpegDecoder.h"
#include "boards/PictureLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  nq::DecodeJpeg(bytes, 0);
  nq::DecodePicture(bytes, nq::PictureKind::Jpeg, {7, nullptr});
  return 0;
}
