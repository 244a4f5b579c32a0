#include "boards/PngDecoder.h"

#include <png.h>

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

// libpng reports errors by longjmp to the setjmp below. This frame holds no object with a destructor
// and everything it fills lives in the caller's frame, so a jump skips no cleanup; the caller
// destroys the libpng structures whichever way this returns.
bool ReadPng(png_structp png, png_infop info, MemoryReader* reader, Image* out,
             std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, reader, ReadFromMemory);
  png_set_user_limits(png, MaxPictureSide, MaxPictureSide);
  png_set_chunk_malloc_max(png, MaxChunkBytes);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (!PictureSizeAllowed(width, height)) return false;
  RequestRgba(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4) return false;
  out->Width = static_cast<int>(width);
  out->Height = static_cast<int>(height);
  out->Pixels.resize(static_cast<std::size_t>(width) * height * 4);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    (*rows)[y] = out->Row(static_cast<int>(y));
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  return true;
}

// Composes every pixel over white and makes it opaque, as the cell's white background would show it.
void FlattenOnWhite(Image& image) {
  uint8_t* p = image.Pixels.data();
  const std::size_t count = image.Pixels.size() / 4;
  for (std::size_t i = 0; i < count; ++i, p += 4) {
    const unsigned alpha = p[3];
    if (alpha == 255) continue;
    for (int c = 0; c < 3; ++c)
      p[c] = static_cast<uint8_t>((p[c] * alpha + 255 * (255 - alpha) + 127) / 255);
    p[3] = 255;
  }
}

} // namespace

std::optional<Image> DecodePng(std::span<const uint8_t> data) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return std::nullopt;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (png == nullptr) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return std::nullopt;
  }
  MemoryReader reader{data.data(), data.size(), 0};
  Image image;
  std::vector<png_bytep> rows;
  bool ok = false;
  try {
    ok = ReadPng(png, info, &reader, &image, &rows);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) return std::nullopt;
  FlattenOnWhite(image);
  return image;
}

} // namespace nq
