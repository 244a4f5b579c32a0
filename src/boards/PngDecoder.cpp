#include "boards/PngDecoder.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "boards/PictureLimits.h"

namespace nq {
namespace {

// Text chunks and ICC profiles are inflated by libpng before we see them; none of them matter here.
constexpr png_alloc_size_t MaxChunkBytes = 8u * 1024 * 1024;

struct MemoryReader {
  const uint8_t* Data = nullptr;
  std::size_t Size = 0;
  std::size_t Offset = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (count > reader->Size - reader->Offset) png_error(png, "truncated");
  std::memcpy(out, reader->Data + reader->Offset, count);
  reader->Offset += count;
}

void OnPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

// Asks libpng for 8-bit RGBA whatever the file holds.
void RequestRgba(png_structp png) {
  png_set_expand(png); // palette to RGB, grey below 8 bits to 8, tRNS to an alpha channel
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
}

// Composes one pixel over white and makes it opaque, as the cell's white background would show it.
inline void FlattenPixel(uint8_t* p) {
  const unsigned alpha = p[3];
  if (alpha == 255) return;
  for (int c = 0; c < 3; ++c)
    p[c] = static_cast<uint8_t>((p[c] * alpha + 255 * (255 - alpha) + 127) / 255);
  p[3] = 255;
}

// The buffers a reduced read fills; they live in the caller's frame (see ReadPng).
struct ReduceBuffers {
  std::vector<uint8_t> Row;   // one row as the file holds it, in RGBA
  std::vector<uint64_t> Sums; // one row of the reduced picture, channel sums of its blocks
};

// Reads the rows one at a time and keeps the average of each factor x factor block: a large photo
// then never needs its full size in memory. The blocks at the right and bottom edges may be smaller.
void ReadReduced(png_structp png, png_uint_32 width, png_uint_32 height, png_uint_32 factor, Image* out,
                 ReduceBuffers* buffers) {
  const png_uint_32 outWidth = (width + factor - 1) / factor;
  const png_uint_32 outHeight = (height + factor - 1) / factor;
  out->Width = static_cast<int>(outWidth);
  out->Height = static_cast<int>(outHeight);
  out->Pixels.resize(static_cast<std::size_t>(outWidth) * outHeight * 4);
  buffers->Row.resize(static_cast<std::size_t>(width) * 4);
  buffers->Sums.assign(static_cast<std::size_t>(outWidth) * 4, 0);
  png_uint_32 rowsInBlock = 0;
  for (png_uint_32 y = 0; y < height; ++y) {
    png_read_row(png, buffers->Row.data(), nullptr);
    for (png_uint_32 x = 0; x < width; ++x) {
      uint8_t* p = &buffers->Row[static_cast<std::size_t>(x) * 4];
      FlattenPixel(p);
      uint64_t* sum = &buffers->Sums[static_cast<std::size_t>(x / factor) * 4];
      for (int c = 0; c < 3; ++c)
        sum[c] += p[c];
    }
    if (++rowsInBlock < factor && y + 1 < height) continue;
    uint8_t* target = out->Row(static_cast<int>(y / factor));
    for (png_uint_32 ox = 0; ox < outWidth; ++ox) {
      const uint64_t columns = std::min<png_uint_32>(factor, width - ox * factor);
      const uint64_t count = columns * rowsInBlock;
      for (int c = 0; c < 3; ++c)
        target[ox * 4 + c] = static_cast<uint8_t>((buffers->Sums[ox * 4 + c] + count / 2) / count);
      target[ox * 4 + 3] = 255;
    }
    std::fill(buffers->Sums.begin(), buffers->Sums.end(), 0);
    rowsInBlock = 0;
  }
}

// libpng reports errors by longjmp to the setjmp below. This frame holds no object with a destructor
// and everything it fills lives in the caller's frame, so a jump skips no cleanup; the caller
// destroys the libpng structures whichever way this returns.
bool ReadPng(png_structp png, png_infop info, MemoryReader* reader, int maxSide, PngPicture* out,
             std::vector<png_bytep>* rows, ReduceBuffers* buffers) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, reader, ReadFromMemory);
  png_set_user_limits(png, MaxPictureSide, MaxPictureSide);
  png_set_chunk_malloc_max(png, MaxChunkBytes);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (!PictureSizeAllowed(width, height)) return false;
  out->SourceWidth = static_cast<int>(width);
  out->SourceHeight = static_cast<int>(height);
  RequestRgba(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4) return false;
  // Interlaced files deliver every row several times, so only plain ones are reduced while read.
  const png_uint_32 factor = maxSide > 0 ? std::max(width, height) / static_cast<png_uint_32>(maxSide) : 1;
  if (factor >= 2 && png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) {
    ReadReduced(png, width, height, factor, &out->Pixels, buffers);
    png_read_end(png, nullptr);
    return true;
  }
  Image* image = &out->Pixels;
  image->Width = static_cast<int>(width);
  image->Height = static_cast<int>(height);
  image->Pixels.resize(static_cast<std::size_t>(width) * height * 4);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    (*rows)[y] = image->Row(static_cast<int>(y));
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  return true;
}

void FlattenOnWhite(Image& image) {
  uint8_t* p = image.Pixels.data();
  const std::size_t count = image.Pixels.size() / 4;
  for (std::size_t i = 0; i < count; ++i, p += 4)
    FlattenPixel(p);
}

} // namespace

std::optional<PngPicture> DecodePng(std::span<const uint8_t> data, int maxSide) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return std::nullopt;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (png == nullptr) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return std::nullopt;
  }
  MemoryReader reader{data.data(), data.size(), 0};
  PngPicture picture;
  std::vector<png_bytep> rows;
  ReduceBuffers buffers;
  bool ok = false;
  try {
    ok = ReadPng(png, info, &reader, maxSide, &picture, &rows, &buffers);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) return std::nullopt;
  FlattenOnWhite(picture.Pixels); // already opaque when reduced: nothing to do then
  return picture;
}

std::optional<Image> DecodePng(std::span<const uint8_t> data) {
  std::optional<PngPicture> picture = DecodePng(data, 0);
  if (!picture) return std::nullopt;
  return std::move(picture->Pixels);
}

} // namespace nq
