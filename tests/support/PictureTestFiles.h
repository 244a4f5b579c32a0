#pragma once
// Writers for the picture tests, the benchmark and the seed files: PNG through libpng, JPEG through
// libjpeg, BMP by hand, all to memory, plus a patterned test picture.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Image.h"

namespace nq::test {

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Image MakeImage(int width, int height) {
  Image image;
  image.Width = width;
  image.Height = height;
  image.Pixels.assign(static_cast<std::size_t>(width) * height * 4, 255);
  return image;
}

// Gradients with a filled circle and a diagonal band, so decoders and scalers see real detail.
inline Image PatternImage(int width, int height, int seed = 0) {
  Image image = MakeImage(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.Row(y) + x * 4;
      p[0] = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
      p[1] = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));
      p[2] = static_cast<uint8_t>((x + y + seed * 37) & 0xFF);
      const int dx = x - width / 2, dy = y - height / 3;
      if (dx * dx + dy * dy < (width * width) / 25)
        p[0] = 250, p[1] = 200, p[2] = static_cast<uint8_t>(seed * 13);
      if (std::abs(x - y) < width / 20) p[0] = p[1] = p[2] = 20;
    }
  }
  return image;
}

// Raw PNG writing: rows already packed for the colour type and depth.
struct PngSpec {
  int Width = 0;
  int Height = 0;
  int ColourType = PNG_COLOR_TYPE_RGB;
  int BitDepth = 8;
  bool Interlaced = false;
  std::vector<std::vector<uint8_t>> Rows;
  std::vector<png_color> Palette;
  std::vector<uint8_t> PaletteAlpha;
};

inline void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

inline bool WritePngRaw(png_structp png, png_infop info, const PngSpec* spec, std::vector<uint8_t>* out,
                        std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, AppendToVector, nullptr);
  png_set_IHDR(png, info, spec->Width, spec->Height, spec->BitDepth, spec->ColourType,
               spec->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!spec->Palette.empty())
    png_set_PLTE(png, info, spec->Palette.data(), static_cast<int>(spec->Palette.size()));
  if (!spec->PaletteAlpha.empty())
    png_set_tRNS(png, info, spec->PaletteAlpha.data(), static_cast<int>(spec->PaletteAlpha.size()), nullptr);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  if (spec->BitDepth == 16) png_set_swap(png); // rows are given little-endian
  for (const auto& row : spec->Rows)
    rows->push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, rows->data());
  png_write_end(png, nullptr);
  return true;
}

inline std::vector<uint8_t> EncodePngRaw(const PngSpec& spec) {
  std::vector<uint8_t> out;
  std::vector<png_bytep> rows;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool ok = WritePngRaw(png, info, &spec, &out, &rows);
  png_destroy_write_struct(&png, &info);
  return ok ? out : std::vector<uint8_t>();
}

// An 8-bit RGBA (withAlpha) or RGB PNG of image.
inline std::vector<uint8_t> EncodePng(const Image& image, bool withAlpha = false, bool interlaced = false) {
  PngSpec spec{
      image.Width, image.Height, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, 8, interlaced, {}, {},
      {}};
  for (int y = 0; y < image.Height; ++y) {
    std::vector<uint8_t> row;
    for (int x = 0; x < image.Width; ++x)
      row.insert(row.end(), image.Row(y) + x * 4, image.Row(y) + x * 4 + (withAlpha ? 4 : 3));
    spec.Rows.push_back(std::move(row));
  }
  return EncodePngRaw(spec);
}

struct JpegOptions {
  int Quality = 90;
  bool Grey = false;
  bool Progressive = false;
};

// A JPEG of image (alpha ignored).
inline std::vector<uint8_t> EncodeJpeg(const Image& image, const JpegOptions& options = {}) {
  jpeg_compress_struct encoder{};
  jpeg_error_mgr errors{};
  encoder.err = jpeg_std_error(&errors);
  jpeg_create_compress(&encoder);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&encoder, &buffer, &size);
  encoder.image_width = static_cast<JDIMENSION>(image.Width);
  encoder.image_height = static_cast<JDIMENSION>(image.Height);
  encoder.input_components = options.Grey ? 1 : 4;
  encoder.in_color_space = options.Grey ? JCS_GRAYSCALE : JCS_EXT_RGBA;
  jpeg_set_defaults(&encoder);
  jpeg_set_quality(&encoder, options.Quality, TRUE);
  if (options.Progressive) jpeg_simple_progression(&encoder);
  jpeg_start_compress(&encoder, TRUE);
  std::vector<uint8_t> grey(static_cast<std::size_t>(image.Width));
  while (encoder.next_scanline < encoder.image_height) {
    const uint8_t* source = image.Row(static_cast<int>(encoder.next_scanline));
    if (options.Grey)
      for (int x = 0; x < image.Width; ++x)
        grey[x] = source[x * 4];
    JSAMPROW row = options.Grey ? grey.data() : const_cast<JSAMPROW>(source);
    jpeg_write_scanlines(&encoder, &row, 1);
  }
  jpeg_finish_compress(&encoder);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&encoder);
  std::free(buffer);
  return out;
}

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// BITMAPFILEHEADER + BITMAPINFOHEADER (40 bytes) + palette + extra (masks) + pixel data.
inline std::vector<uint8_t> BmpFile(int width, int height, int bits, uint32_t compression,
                                    const std::vector<uint32_t>& palette, const std::vector<uint8_t>& extra,
                                    const std::vector<uint8_t>& pixels) {
  std::vector<uint8_t> out{'B', 'M'};
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size() * 4 + extra.size());
  PutLe(out, offset + static_cast<uint32_t>(pixels.size()), 4);
  PutLe(out, 0, 4);
  PutLe(out, offset, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(width), 4);
  PutLe(out, static_cast<uint32_t>(height), 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(bits), 2);
  PutLe(out, compression, 4);
  PutLe(out, static_cast<uint32_t>(pixels.size()), 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, static_cast<uint32_t>(palette.size()), 4);
  PutLe(out, 0, 4);
  for (const uint32_t colour : palette)
    PutLe(out, colour, 4); // 0x00RRGGBB stored B G R 0
  out.insert(out.end(), extra.begin(), extra.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// An uncompressed 24- or 32-bit BMP of image, bottom-up unless topDown.
inline std::vector<uint8_t> EncodeBmp(const Image& image, int bits = 24, bool topDown = false) {
  const std::size_t stride = (static_cast<std::size_t>(image.Width) * bits + 31) / 32 * 4;
  std::vector<uint8_t> pixels;
  for (int r = 0; r < image.Height; ++r) {
    const uint8_t* row = image.Row(topDown ? r : image.Height - 1 - r);
    const std::size_t start = pixels.size();
    for (int x = 0; x < image.Width; ++x) {
      pixels.insert(pixels.end(), {row[x * 4 + 2], row[x * 4 + 1], row[x * 4]});
      if (bits == 32) pixels.push_back(0);
    }
    pixels.resize(start + stride, 0);
  }
  return BmpFile(image.Width, topDown ? -image.Height : image.Height, bits, 0, {}, {}, pixels);
}

} // namespace nq::test
