// Large PNG pictures are reduced while they are read: the size, the colours of the blocks (edges
// included), transparency on white, the kept source size, and the cases that must decode whole.
#include <gtest/gtest.h>

#include "boards/PictureLoader.h"
#include "boards/PngDecoder.h"
#include "support/PictureTestFiles.h"

namespace nq {
namespace {

// Left part red, the rest blue; every pixel's alpha as given.
Image Halves(int width, int height, int redColumns, uint8_t alpha = 255) {
  Image image;
  image.Width = width;
  image.Height = height;
  image.Pixels.resize(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.Row(y) + x * 4;
      p[0] = x < redColumns ? 255 : 0;
      p[1] = 0;
      p[2] = x < redColumns ? 0 : 255;
      p[3] = alpha;
    }
  return image;
}

const uint8_t* Pixel(const Image& image, int x, int y) {
  return image.Row(y) + x * 4;
}

TEST(PngReduce, SizesFollowTheWholeFactorAndNeverFallBelowTheCap) {
  struct Case {
    int Width, Height, MaxSide, ExpectedWidth, ExpectedHeight;
  } cases[] = {
      {400, 200, 50, 50, 25},  // factor 8
      {401, 3, 100, 101, 1},   // factor 4, a last column of one pixel
      {199, 40, 100, 199, 40}, // under twice the cap: whole
      {200, 40, 100, 100, 20}, // exactly twice: halved
      {30, 900, 64, 3, 65},    // tall: factor 14 on the height, the last row block partial
      {300, 300, 0, 300, 300}, // no cap
  };
  for (const Case& c : cases) {
    const std::optional<PngPicture> png = DecodePng(test::EncodePng(Halves(c.Width, c.Height, 1)), c.MaxSide);
    ASSERT_TRUE(png) << c.Width << "x" << c.Height;
    EXPECT_EQ(png->Pixels.Width, c.ExpectedWidth) << c.Width << "x" << c.Height;
    EXPECT_EQ(png->Pixels.Height, c.ExpectedHeight) << c.Width << "x" << c.Height;
    EXPECT_EQ(png->SourceWidth, c.Width);
    EXPECT_EQ(png->SourceHeight, c.Height);
  }
}

TEST(PngReduce, BlocksAverageTheirPixelsEdgesIncluded) {
  // 401 x 3 by 4: blocks of 4 x 3; the red half ends inside block 25 (columns 100..103: two red).
  const std::optional<PngPicture> png = DecodePng(test::EncodePng(Halves(401, 3, 102)), 100);
  ASSERT_TRUE(png);
  EXPECT_EQ(Pixel(png->Pixels, 0, 0)[0], 255);
  EXPECT_EQ(Pixel(png->Pixels, 0, 0)[2], 0);
  EXPECT_NEAR(Pixel(png->Pixels, 25, 0)[0], 128, 1);
  EXPECT_NEAR(Pixel(png->Pixels, 25, 0)[2], 128, 1);
  // The last block holds one column of blue pixels only: no dark edge from missing pixels.
  EXPECT_EQ(Pixel(png->Pixels, 100, 0)[0], 0);
  EXPECT_EQ(Pixel(png->Pixels, 100, 0)[2], 255);
  EXPECT_EQ(Pixel(png->Pixels, 100, 0)[3], 255);
}

TEST(PngReduce, TransparencyIsFlattenedOnWhiteBeforeAveraging) {
  const std::optional<PngPicture> png = DecodePng(test::EncodePng(Halves(64, 64, 32, 0), true), 16);
  ASSERT_TRUE(png);
  ASSERT_EQ(png->Pixels.Width, 16);
  for (int x : {0, 7, 8, 15})
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(Pixel(png->Pixels, x, 3)[c], 255) << x << " " << c;
}

TEST(PngReduce, InterlacedPicturesDecodeWholeAndTheLoaderStillCapsThem) {
  const std::vector<uint8_t> bytes = test::EncodePng(Halves(200, 100, 100), false, true);
  const std::optional<PngPicture> png = DecodePng(bytes, 25);
  ASSERT_TRUE(png);
  EXPECT_EQ(png->Pixels.Width, 200);
  const std::optional<LoadedPicture> loaded = DecodePicture(bytes, PictureKind::Png, {25, nullptr});
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Pixels.Width, 25);
  EXPECT_EQ(loaded->SourceWidth, 200);
}

TEST(PngReduce, ReducedReadsRefuseEveryCutFile) {
  const std::vector<uint8_t> bytes = test::EncodePng(Halves(300, 90, 150));
  ASSERT_TRUE(DecodePng(bytes, 30));
  for (std::size_t length = 0; length < bytes.size(); length += std::max<std::size_t>(1, bytes.size() / 61))
    EXPECT_FALSE(DecodePng(std::span<const uint8_t>(bytes.data(), length), 30)) << length;
}

TEST(PngReduce, TheLoaderKeepsTheSourceSizeOfAReducedPicture) {
  const std::optional<LoadedPicture> loaded =
      DecodePicture(test::EncodePng(Halves(640, 480, 320)), PictureKind::Png, {64, nullptr});
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Pixels.Width, 64);
  EXPECT_EQ(loaded->Pixels.Height, 48);
  EXPECT_EQ(loaded->SourceWidth, 640);
  EXPECT_EQ(loaded->SourceHeight, 480);
  EXPECT_EQ(Pixel(loaded->Pixels, 5, 5)[0], 255);
  EXPECT_EQ(Pixel(loaded->Pixels, 60, 5)[2], 255);
}

} // namespace
} // namespace nq
