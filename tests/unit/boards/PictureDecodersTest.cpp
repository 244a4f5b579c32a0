// PNG, JPEG and BMP decoding from memory: every colour layout, and every way a file can be broken.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

#include "boards/BmpDecoder.h"
#include "boards/JpegDecoder.h"
#include "boards/PngDecoder.h"
#include "support/PictureTestFiles.h"

namespace nq {
namespace {

using test::MakeImage;
using test::PngSpec;

void SetPixel(Image& image, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = image.Row(y) + x * 4;
  p[0] = r, p[1] = g, p[2] = b, p[3] = 255;
}

// Largest difference of any channel between two images of the same size; 256 when the sizes differ.
int MaxDifference(const Image& a, const Image& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.Pixels.size() != b.Pixels.size()) return 256;
  int worst = 0;
  for (std::size_t i = 0; i < a.Pixels.size(); ++i)
    worst = std::max(worst, std::abs(a.Pixels[i] - b.Pixels[i]));
  return worst;
}

double MeanDifference(const Image& a, const Image& b) {
  if (a.Pixels.size() != b.Pixels.size()) return 256;
  double sum = 0;
  for (std::size_t i = 0; i < a.Pixels.size(); ++i)
    sum += std::abs(a.Pixels[i] - b.Pixels[i]);
  return sum / static_cast<double>(a.Pixels.size());
}

struct PngCase {
  const char* Name;
  PngSpec Spec;
  Image Expected;
};

// Each case: raw rows as the file stores them, and the RGBA the cell must show.
std::vector<PngCase> PngCases() {
  std::vector<PngCase> cases;
  {
    PngCase c{"alpha flattened on white",
              {2, 1, PNG_COLOR_TYPE_RGBA, 8, false, {{255, 0, 0, 255, 0, 0, 255, 0}}, {}, {}},
              MakeImage(2, 1)};
    SetPixel(c.Expected, 0, 0, 255, 0, 0);
    SetPixel(c.Expected, 1, 0, 255, 255, 255);
    cases.push_back(c);
  }
  {
    PngCase c{"half alpha", {1, 1, PNG_COLOR_TYPE_RGBA, 8, false, {{0, 0, 0, 128}}, {}, {}}, MakeImage(1, 1)};
    SetPixel(c.Expected, 0, 0, 127, 127, 127);
    cases.push_back(c);
  }
  {
    PngCase c{"grey 8", {3, 1, PNG_COLOR_TYPE_GRAY, 8, false, {{0, 100, 255}}, {}, {}}, MakeImage(3, 1)};
    SetPixel(c.Expected, 0, 0, 0, 0, 0);
    SetPixel(c.Expected, 1, 0, 100, 100, 100);
    SetPixel(c.Expected, 2, 0, 255, 255, 255);
    cases.push_back(c);
  }
  {
    PngCase c{"grey 1 bit", {3, 1, PNG_COLOR_TYPE_GRAY, 1, false, {{0xA0}}, {}, {}}, MakeImage(3, 1)};
    SetPixel(c.Expected, 1, 0, 0, 0, 0);
    cases.push_back(c);
  }
  {
    PngCase c{"grey with alpha",
              {1, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {{50, 255}, {50, 0}}, {}, {}},
              MakeImage(1, 2)};
    SetPixel(c.Expected, 0, 0, 50, 50, 50);
    cases.push_back(c);
  }
  {
    PngCase c{"palette 8 with transparency",
              {3,
               1,
               PNG_COLOR_TYPE_PALETTE,
               8,
               false,
               {{0, 1, 2}},
               {{10, 20, 30}, {200, 0, 0}, {0, 0, 0}},
               {255, 255, 0}},
              MakeImage(3, 1)};
    SetPixel(c.Expected, 0, 0, 10, 20, 30);
    SetPixel(c.Expected, 1, 0, 200, 0, 0);
    cases.push_back(c);
  }
  {
    PngCase c{"palette 4 bit",
              {2, 1, PNG_COLOR_TYPE_PALETTE, 4, false, {{0x10}}, {{1, 2, 3}, {4, 5, 6}}, {}},
              MakeImage(2, 1)};
    SetPixel(c.Expected, 0, 0, 4, 5, 6);
    SetPixel(c.Expected, 1, 0, 1, 2, 3);
    cases.push_back(c);
  }
  {
    // 16-bit samples stored little-endian here; 0x8080 scales to 128.
    PngCase c{"rgb 16 bit",
              {1, 1, PNG_COLOR_TYPE_RGB, 16, false, {{0xFF, 0xFF, 0x80, 0x80, 0, 0}}, {}, {}},
              MakeImage(1, 1)};
    SetPixel(c.Expected, 0, 0, 255, 128, 0);
    cases.push_back(c);
  }
  {
    const Image pattern = test::PatternImage(13, 11);
    PngCase c{"interlaced", {13, 11, PNG_COLOR_TYPE_RGB, 8, true, {}, {}, {}}, pattern};
    for (int y = 0; y < 11; ++y) {
      std::vector<uint8_t> row;
      for (int x = 0; x < 13; ++x)
        row.insert(row.end(), pattern.Row(y) + x * 4, pattern.Row(y) + x * 4 + 3);
      c.Spec.Rows.push_back(row);
    }
    cases.push_back(c);
  }
  return cases;
}

TEST(PictureDecoders, PngLayoutsDecodeToOpaqueRgba) {
  for (const PngCase& c : PngCases()) {
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> bytes = test::EncodePngRaw(c.Spec);
    ASSERT_FALSE(bytes.empty());
    const std::optional<Image> image = DecodePng(bytes);
    ASSERT_TRUE(image);
    EXPECT_LE(MaxDifference(*image, c.Expected), 1);
  }
}

std::vector<uint8_t> TextBytes() {
  const std::string text = "Hola, aquest fitxer no es cap imatge.\r\n";
  return {text.begin(), text.end()};
}

// Every strict prefix of a valid file (and other junk) must be refused without a crash.
template <typename Decode> void ExpectEveryPrefixRefused(const std::vector<uint8_t>& bytes, Decode decode) {
  ASSERT_TRUE(decode(std::span<const uint8_t>(bytes)));
  const std::size_t step = std::max<std::size_t>(1, bytes.size() / 97);
  for (std::size_t length = 0; length < bytes.size(); length += step) {
    SCOPED_TRACE(length);
    EXPECT_FALSE(decode(std::span<const uint8_t>(bytes.data(), length)));
  }
  EXPECT_FALSE(decode(std::span<const uint8_t>(bytes.data(), bytes.size() - 1)));
  EXPECT_FALSE(decode(std::span<const uint8_t>(TextBytes())));
}

TEST(PictureDecoders, TruncatedOrForeignDataIsRefused) {
  const Image pattern = test::PatternImage(40, 30);
  {
    SCOPED_TRACE("png");
    ExpectEveryPrefixRefused(test::EncodePng(pattern), [](auto data) { return DecodePng(data).has_value(); });
  }
  {
    SCOPED_TRACE("jpeg");
    ExpectEveryPrefixRefused(test::EncodeJpeg(pattern),
                             [](auto data) { return DecodeJpeg(data, 0).has_value(); });
  }
  {
    SCOPED_TRACE("progressive jpeg");
    ExpectEveryPrefixRefused(test::EncodeJpeg(pattern, {90, false, true}),
                             [](auto data) { return DecodeJpeg(data, 0).has_value(); });
  }
  {
    SCOPED_TRACE("bmp");
    ExpectEveryPrefixRefused(test::EncodeBmp(pattern), [](auto data) { return DecodeBmp(data).has_value(); });
  }
  // Right signature, wrong decoder.
  EXPECT_FALSE(DecodeJpeg(test::EncodePng(pattern), 0));
  EXPECT_FALSE(DecodePng(test::EncodeJpeg(pattern)));
  EXPECT_FALSE(DecodeBmp(test::EncodePng(pattern)));
}

void PutBigEndian16(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
  bytes[at] = static_cast<uint8_t>(value >> 8);
  bytes[at + 1] = static_cast<uint8_t>(value);
}

// Rewrites the size in a JPEG's frame header (the marker FF C0 of a baseline file).
std::vector<uint8_t> JpegDeclaring(uint32_t width, uint32_t height) {
  std::vector<uint8_t> bytes = test::EncodeJpeg(test::PatternImage(16, 16));
  for (std::size_t i = 0; i + 9 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      PutBigEndian16(bytes, i + 5, height);
      PutBigEndian16(bytes, i + 7, width);
      break;
    }
  }
  return bytes;
}

std::vector<uint8_t> PngDeclaring(uint32_t width, uint32_t height) {
  PngSpec spec{1, 1, PNG_COLOR_TYPE_GRAY, 8, false, {{7}}, {}, {}};
  std::vector<uint8_t> bytes = test::EncodePngRaw(spec);
  // IHDR data starts at byte 16; libpng checks the chunk CRC, so mend it too.
  for (int i = 0; i < 4; ++i)
    bytes[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
  for (int i = 0; i < 4; ++i)
    bytes[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
  const uint32_t crc = static_cast<uint32_t>(crc32(0, bytes.data() + 12, 17));
  for (int i = 0; i < 4; ++i)
    bytes[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  return bytes;
}

TEST(PictureDecoders, AbsurdDeclaredSizesAreRefused) {
  struct Case {
    uint32_t Width, Height;
  };
  for (const Case c : {Case{16385, 1}, Case{1, 16385}, Case{16384, 16384}, Case{9000, 9000}, Case{0, 10},
                       Case{65535, 65535}}) {
    SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height));
    EXPECT_FALSE(DecodePng(PngDeclaring(c.Width, c.Height)));
    EXPECT_FALSE(DecodeJpeg(JpegDeclaring(c.Width, c.Height), 0));
    Image tiny = MakeImage(1, 1);
    std::vector<uint8_t> bmp = test::EncodeBmp(tiny);
    std::memcpy(bmp.data() + 18, &c.Width, 4);
    std::memcpy(bmp.data() + 22, &c.Height, 4);
    EXPECT_FALSE(DecodeBmp(bmp));
  }
  // A size within the limits but with the pixels missing is refused as cut short.
  EXPECT_FALSE(DecodePng(PngDeclaring(4000, 4000)));
}

TEST(PictureDecoders, JpegColourGreyAndProgressiveDecodeClose) {
  const Image pattern = test::PatternImage(64, 48);
  for (const bool progressive : {false, true}) {
    const std::optional<JpegPicture> colour =
        DecodeJpeg(test::EncodeJpeg(pattern, {95, false, progressive}), 0);
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->SourceWidth, 64);
    EXPECT_LT(MeanDifference(colour->Pixels, pattern), 4.0);
  }
  Image grey = pattern;
  for (std::size_t i = 0; i < grey.Pixels.size(); i += 4)
    grey.Pixels[i + 1] = grey.Pixels[i + 2] = grey.Pixels[i];
  const std::optional<JpegPicture> decoded = DecodeJpeg(test::EncodeJpeg(grey, {95, true, false}), 0);
  ASSERT_TRUE(decoded);
  EXPECT_LT(MeanDifference(decoded->Pixels, grey), 4.0);
}

TEST(PictureDecoders, JpegScaleDenominatorKeepsTheCapReachable) {
  struct Case {
    int Width, Height, MaxSide, Denominator;
  };
  for (const Case c :
       {Case{1600, 1200, 0, 1}, Case{1600, 1200, 100, 8}, Case{1600, 1200, 200, 8}, Case{1600, 1200, 201, 4},
        Case{1600, 1200, 300, 4}, Case{1600, 1200, 800, 2}, Case{1600, 1200, 801, 1},
        Case{1200, 1600, 400, 4}, Case{100, 50, 200, 1}, Case{1601, 10, 201, 8}}) {
    EXPECT_EQ(JpegScaleDenominator(c.Width, c.Height, c.MaxSide), c.Denominator)
        << c.Width << "x" << c.Height << " cap " << c.MaxSide;
  }
  const std::optional<JpegPicture> reduced = DecodeJpeg(test::EncodeJpeg(test::PatternImage(160, 120)), 40);
  ASSERT_TRUE(reduced);
  EXPECT_EQ(reduced->Pixels.Width, 40);
  EXPECT_EQ(reduced->Pixels.Height, 30);
  EXPECT_EQ(reduced->SourceWidth, 160);
}

struct BmpCase {
  const char* Name;
  std::vector<uint8_t> Bytes;
  Image Expected;
};

// 3 x 2 pictures; the first row in the file is the bottom row unless the height is negative.
std::vector<BmpCase> BmpCases() {
  const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
  std::vector<BmpCase> cases;
  Image rgb = MakeImage(3, 2); // top: red green blue; bottom: white black red
  SetPixel(rgb, 0, 0, 255, 0, 0), SetPixel(rgb, 1, 0, 0, 255, 0), SetPixel(rgb, 2, 0, 0, 0, 255);
  SetPixel(rgb, 0, 1, 255, 255, 255), SetPixel(rgb, 1, 1, 0, 0, 0), SetPixel(rgb, 2, 1, 255, 0, 0);
  cases.push_back({"24 bit bottom-up", test::EncodeBmp(rgb, 24, false), rgb});
  cases.push_back({"24 bit top-down", test::EncodeBmp(rgb, 24, true), rgb});
  cases.push_back({"32 bit", test::EncodeBmp(rgb, 32, false), rgb});
  // Palette: 0 white, 1 black, 2 red, 3 green, 4 blue.
  const std::vector<uint32_t> palette{white, 0, red, green, blue};
  cases.push_back({"8 bit", test::BmpFile(3, 2, 8, 0, palette, {}, {0, 1, 2, 0, 2, 3, 4, 0}), rgb});
  cases.push_back(
      {"4 bit", test::BmpFile(3, 2, 4, 0, palette, {}, {0x01, 0x20, 0, 0, 0x23, 0x40, 0, 0}), rgb});
  Image mono = MakeImage(3, 2); // top row black white black, bottom row white
  SetPixel(mono, 0, 0, 0, 0, 0), SetPixel(mono, 2, 0, 0, 0, 0);
  cases.push_back({"1 bit", test::BmpFile(3, 2, 1, 0, {white, 0}, {}, {0x00, 0, 0, 0, 0xA0, 0, 0, 0}), mono});
  // 16 bits 5-6-5 through bit masks: red 0xF800, green 0x07E0, blue 0x001F.
  std::vector<uint8_t> masks;
  for (const uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
    test::PutLe(masks, m, 4);
  cases.push_back({"16 bit masks",
                   test::BmpFile(3, 2, 16, 3, {}, masks,
                                 {0xFF, 0xFF, 0, 0, 0, 0xF8, 0, 0, 0, 0xF8, 0xE0, 0x07, 0x1F, 0, 0, 0}),
                   rgb});
  // RLE8: bottom row "white black red" as an absolute run, then the top row as three runs.
  cases.push_back({"rle8",
                   test::BmpFile(3, 2, 8, 1, palette, {}, {0, 3, 0, 1, 2, 0, 0, 0, 1, 2, 1, 3, 1, 4, 0, 1}),
                   rgb});
  // RLE4: the same rows; an encoded run alternates its two nibbles.
  cases.push_back({"rle4",
                   test::BmpFile(3, 2, 4, 2, palette, {}, {2, 0x01, 1, 0x20, 0, 0, 0, 3, 0x23, 0x40, 0, 1}),
                   rgb});
  return cases;
}

TEST(PictureDecoders, BmpLayoutsDecode) {
  for (const BmpCase& c : BmpCases()) {
    SCOPED_TRACE(c.Name);
    const std::optional<Image> image = DecodeBmp(c.Bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(MaxDifference(*image, c.Expected), 0);
  }
}

TEST(PictureDecoders, BmpRefusesWhatItCannotRead) {
  const std::vector<uint32_t> palette{0, 0xFFFFFF};
  struct Case {
    const char* Name;
    std::vector<uint8_t> Bytes;
  };
  const Case cases[] = {
      {"rle8 without end mark", test::BmpFile(2, 2, 8, 1, palette, {}, {2, 1, 0, 0})},
      {"rle8 absolute run past the data", test::BmpFile(2, 2, 8, 1, palette, {}, {0, 5, 1})},
      {"embedded png compression", test::BmpFile(2, 2, 24, 5, {}, {}, std::vector<uint8_t>(16))},
      {"rle on 24 bits", test::BmpFile(2, 2, 24, 1, {}, {}, std::vector<uint8_t>(16))},
      {"2 bits per pixel", test::BmpFile(2, 2, 2, 0, palette, {}, std::vector<uint8_t>(8))},
      {"top-down rle", test::BmpFile(2, -2, 8, 1, palette, {}, {0, 1})},
      {"rle claiming 12000 x 4800 from a few bytes", test::BmpFile(12000, 4800, 8, 1, palette, {}, {0, 1})},
  };
  for (const Case& c : cases)
    EXPECT_FALSE(DecodeBmp(c.Bytes)) << c.Name;
  // Runs that wander off the edge are clipped, not written out of bounds.
  EXPECT_TRUE(DecodeBmp(test::BmpFile(2, 2, 8, 1, palette, {}, {200, 1, 0, 2, 250, 250, 0, 1})));
  // A small run-length picture still decodes from next to no data.
  EXPECT_TRUE(DecodeBmp(test::BmpFile(1000, 1000, 8, 1, palette, {}, {0, 1})));
}

} // namespace
} // namespace nq
