#include "boards/BmpDecoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "boards/PictureLimits.h"

namespace nq {
namespace {

constexpr uint32_t PlainRgb = 0;
constexpr uint32_t Rle8 = 1;
constexpr uint32_t Rle4 = 2;
// Run-length pictures up to this many pixels are decoded whatever their file size.
constexpr uint64_t RunLengthFreePixels = 4ull * 1024 * 1024;
constexpr uint32_t BitFields = 3;
constexpr uint32_t AlphaBitFields = 6;
constexpr std::size_t FileHeaderSize = 14;

// Little-endian fields at fixed offsets; every read is checked against the end of the data.
class Bytes {
public:
  explicit Bytes(std::span<const uint8_t> data) : Data(data) {}
  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= Data.size() && count <= Data.size() - offset;
  }
  uint32_t U8(std::size_t offset) const { return Data[offset]; }
  uint32_t U16(std::size_t offset) const { return Data[offset] | Data[offset + 1] << 8; }
  uint32_t U32(std::size_t offset) const {
    return Data[offset] | Data[offset + 1] << 8 | Data[offset + 2] << 16 |
           static_cast<uint32_t>(Data[offset + 3]) << 24;
  }
  std::span<const uint8_t> Data;
};

struct BmpHeader {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  int Bits = 0;
  uint32_t Compression = PlainRgb;
  std::array<uint32_t, 3> Masks{}; // red, green, blue, for 16 and 32 bits
  std::size_t PixelOffset = 0;
  std::array<uint8_t, 256 * 4> Palette{}; // RGBA; entries the file does not give stay black
};

bool ValidLayout(int bits, uint32_t compression) {
  switch (compression) {
  case PlainRgb:
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  case Rle8:
    return bits == 8;
  case Rle4:
    return bits == 4;
  case BitFields:
  case AlphaBitFields:
    return bits == 16 || bits == 32;
  default:
    return false;
  }
}

// Reads the palette of a 1, 4 or 8-bit picture; entries are B G R (core header) or B G R X.
bool ReadPalette(const Bytes& bytes, std::size_t offset, std::size_t entrySize, uint32_t used,
                 BmpHeader& header) {
  const uint32_t full = 1u << header.Bits;
  const uint32_t count = used > 0 && used < full ? used : full;
  if (!bytes.Has(offset, count * entrySize)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const std::size_t at = offset + i * entrySize;
    header.Palette[i * 4 + 0] = bytes.Data[at + 2];
    header.Palette[i * 4 + 1] = bytes.Data[at + 1];
    header.Palette[i * 4 + 2] = bytes.Data[at];
  }
  return true;
}

std::optional<BmpHeader> ReadHeader(const Bytes& bytes) {
  if (!bytes.Has(0, FileHeaderSize + 12) || bytes.Data[0] != 'B' || bytes.Data[1] != 'M') return std::nullopt;
  BmpHeader header;
  header.PixelOffset = bytes.U32(10);
  const uint32_t infoSize = bytes.U32(FileHeaderSize);
  const std::size_t info = FileHeaderSize;
  int64_t height = 0;
  uint32_t used = 0;
  std::size_t paletteEntry = 4;
  if (infoSize == 12) {
    header.Width = static_cast<int>(bytes.U16(info + 4));
    height = bytes.U16(info + 6);
    header.Bits = static_cast<int>(bytes.U16(info + 10));
    paletteEntry = 3;
  } else if (infoSize >= 40 && bytes.Has(info, infoSize)) {
    header.Width = static_cast<int>(bytes.U32(info + 4));
    height = static_cast<int32_t>(bytes.U32(info + 8));
    header.Bits = static_cast<int>(bytes.U16(info + 14));
    header.Compression = bytes.U32(info + 16);
    used = bytes.U32(info + 32);
  } else {
    return std::nullopt;
  }
  header.TopDown = height < 0;
  if (header.TopDown) height = -height;
  if (header.Width <= 0 ||
      !PictureSizeAllowed(static_cast<uint64_t>(header.Width), static_cast<uint64_t>(height)))
    return std::nullopt;
  header.Height = static_cast<int>(height);
  if (!ValidLayout(header.Bits, header.Compression)) return std::nullopt;
  if (header.TopDown && header.Compression != PlainRgb && header.Compression != BitFields)
    return std::nullopt;
  std::size_t after = info + infoSize;
  if (header.Compression == BitFields || header.Compression == AlphaBitFields) {
    // A 40-byte header is followed by the masks; larger headers hold them inside.
    const std::size_t at = infoSize == 40 ? after : info + 40;
    if (!bytes.Has(at, 12)) return std::nullopt;
    header.Masks = {bytes.U32(at), bytes.U32(at + 4), bytes.U32(at + 8)};
    if (infoSize == 40) after += header.Compression == AlphaBitFields ? 16 : 12;
  } else if (header.Bits == 16) {
    header.Masks = {0x7C00, 0x03E0, 0x001F};
  } else if (header.Bits == 32) {
    header.Masks = {0xFF0000, 0xFF00, 0xFF};
  }
  if (header.Bits <= 8 && !ReadPalette(bytes, after, paletteEntry, used, header)) return std::nullopt;
  return header;
}

// One colour channel taken out of a packed pixel by its mask and stretched to 0..255.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t top = mask >> shift;
  const uint64_t value = (pixel & mask) >> shift;
  return static_cast<uint8_t>((value * 255 + top / 2) / top);
}

void PutIndex(const BmpHeader& header, uint32_t index, uint8_t* out) {
  const uint8_t* colour = &header.Palette[(index & 0xFF) * 4];
  out[0] = colour[0], out[1] = colour[1], out[2] = colour[2], out[3] = 255;
}

void DecodeRow(const BmpHeader& header, const uint8_t* row, uint8_t* out) {
  for (int x = 0; x < header.Width; ++x, out += 4) {
    switch (header.Bits) {
    case 1:
      PutIndex(header, (row[x / 8] >> (7 - x % 8)) & 1, out);
      break;
    case 4:
      PutIndex(header, (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF, out);
      break;
    case 8:
      PutIndex(header, row[x], out);
      break;
    case 24:
      out[0] = row[x * 3 + 2], out[1] = row[x * 3 + 1], out[2] = row[x * 3], out[3] = 255;
      break;
    default: {
      const uint8_t* p = row + static_cast<std::size_t>(x) * (header.Bits / 8);
      const uint32_t pixel = header.Bits == 16
                                 ? p[0] | p[1] << 8
                                 : p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
      out[0] = Channel(pixel, header.Masks[0]), out[1] = Channel(pixel, header.Masks[1]);
      out[2] = Channel(pixel, header.Masks[2]), out[3] = 255;
    }
    }
  }
}

uint64_t Stride(const BmpHeader& header) {
  return (static_cast<uint64_t>(header.Width) * header.Bits + 31) / 32 * 4;
}

// Checked before any pixel memory is taken, so a short file that declares a large picture costs nothing.
bool UncompressedDataPresent(const Bytes& bytes, const BmpHeader& header) {
  return bytes.Has(header.PixelOffset, Stride(header) * header.Height);
}

void DecodeUncompressed(const Bytes& bytes, const BmpHeader& header, Image& image) {
  const uint64_t stride = Stride(header);
  for (int r = 0; r < header.Height; ++r) {
    const uint8_t* row = bytes.Data.data() + header.PixelOffset + stride * r;
    DecodeRow(header, row, image.Row(header.TopDown ? r : header.Height - 1 - r));
  }
}

// Run-length data fills a grid of palette indices from the bottom row up; pixels the runs skip keep
// index 0, and runs past the edge are clipped. Data that ends before its end mark is refused.
bool DecodeRunLength(const Bytes& bytes, const BmpHeader& header, Image& image) {
  const bool four = header.Compression == Rle4;
  std::vector<uint8_t> indices(static_cast<std::size_t>(header.Width) * header.Height, 0);
  auto put = [&](int64_t x, int64_t y, uint32_t index) {
    if (x >= 0 && x < header.Width && y >= 0 && y < header.Height)
      indices[static_cast<std::size_t>(y) * header.Width + static_cast<std::size_t>(x)] =
          static_cast<uint8_t>(index);
  };
  std::size_t at = header.PixelOffset;
  int64_t x = 0, y = 0;
  bool ended = false;
  while (!ended && bytes.Has(at, 2) && y < header.Height) {
    const uint32_t count = bytes.U8(at), value = bytes.U8(at + 1);
    at += 2;
    if (count > 0) {
      for (uint32_t i = 0; i < count; ++i, ++x)
        put(x, y, four ? (i % 2 == 0 ? value >> 4 : value & 0xF) : value);
    } else if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      ended = true;
    } else if (value == 2) {
      if (!bytes.Has(at, 2)) return false;
      x += bytes.U8(at), y += bytes.U8(at + 1);
      at += 2;
    } else {
      const std::size_t length = four ? (value + 1) / 2 : value;
      if (!bytes.Has(at, length)) return false;
      for (uint32_t i = 0; i < value; ++i, ++x) {
        const uint32_t byte = bytes.U8(at + (four ? i / 2 : i));
        put(x, y, four ? (i % 2 == 0 ? byte >> 4 : byte & 0xF) : byte);
      }
      at += (length + 1) / 2 * 2; // absolute runs are padded to a 16-bit boundary
    }
  }
  if (!ended && y < header.Height) return false;
  for (int row = 0; row < header.Height; ++row) {
    uint8_t* out = image.Row(header.Height - 1 - row);
    for (int column = 0; column < header.Width; ++column, out += 4)
      PutIndex(header, indices[static_cast<std::size_t>(row) * header.Width + column], out);
  }
  return true;
}

} // namespace

std::optional<Image> DecodeBmp(std::span<const uint8_t> data) {
  const Bytes bytes(data);
  const std::optional<BmpHeader> header = ReadHeader(bytes);
  if (!header) return std::nullopt;
  const bool compressed = header->Compression == Rle8 || header->Compression == Rle4;
  if (!compressed && !UncompressedDataPresent(bytes, *header)) return std::nullopt;
  // End-of-line and skip codes let a few bytes claim any size: a large run-length picture must bring
  // data in proportion, or a tiny file would cost hundreds of megabytes and seconds of decoding.
  const uint64_t pixels = static_cast<uint64_t>(header->Width) * static_cast<uint64_t>(header->Height);
  if (compressed && pixels > std::max<uint64_t>(RunLengthFreePixels, uint64_t{data.size()} * 1024))
    return std::nullopt;
  Image image;
  image.Width = header->Width;
  image.Height = header->Height;
  image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
  if (!compressed) {
    DecodeUncompressed(bytes, *header, image);
  } else if (!DecodeRunLength(bytes, *header, image)) {
    return std::nullopt;
  }
  return image;
}

} // namespace nq
