// The area-averaging scaler: flat areas stay exact, shrinking averages what each pixel covers,
// transparent pixels do not bleed their colour, enlarging interpolates.
#include <gtest/gtest.h>

#include "boards/AreaScaler.h"
#include "support/PictureTestFiles.h"

namespace nq {
namespace {

Image FromPixels(int width, int height, std::vector<uint8_t> pixels) {
  Image image;
  image.Width = width;
  image.Height = height;
  image.Pixels = std::move(pixels);
  return image;
}

TEST(PictureScaler, FlatColourStaysExactAtAnySize) {
  AreaScaler scaler;
  Image flat = test::MakeImage(37, 23);
  for (std::size_t i = 0; i < flat.Pixels.size(); i += 4)
    flat.Pixels[i] = 200, flat.Pixels[i + 1] = 17, flat.Pixels[i + 2] = 99;
  struct Size {
    int Width, Height;
  };
  for (const Size s : {Size{1, 1}, Size{5, 3}, Size{36, 23}, Size{37, 23}, Size{100, 7}, Size{200, 150}}) {
    const Image out = scaler.Scale(flat, s.Width, s.Height);
    ASSERT_EQ(out.Width, s.Width);
    ASSERT_EQ(out.Height, s.Height);
    ASSERT_EQ(out.Pixels.size(), static_cast<std::size_t>(s.Width) * s.Height * 4);
    for (std::size_t i = 0; i < out.Pixels.size(); i += 4) {
      ASSERT_EQ(out.Pixels[i], 200);
      ASSERT_EQ(out.Pixels[i + 1], 17);
      ASSERT_EQ(out.Pixels[i + 2], 99);
      ASSERT_EQ(out.Pixels[i + 3], 255);
    }
  }
}

TEST(PictureScaler, ShrinkAveragesCoveredArea) {
  AreaScaler scaler;
  struct Case {
    const char* Name;
    Image Source;
    int Width, Height;
    std::vector<uint8_t> Expected;
  };
  const Case cases[] = {
      {"2x2 to 1x1",
       FromPixels(2, 2, {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 0, 255, 255}),
       1,
       1,
       {128, 64, 128, 255}},
      // 3 pixels into 2: each output covers one and a half source pixels.
      {"3 to 2",
       FromPixels(3, 1, {0, 0, 0, 255, 90, 90, 90, 255, 240, 240, 240, 255}),
       2,
       1,
       {30, 30, 30, 255, 190, 190, 190, 255}},
      // A fully transparent red pixel must not tint its opaque blue neighbour.
      {"transparent does not bleed",
       FromPixels(2, 1, {255, 0, 0, 0, 0, 0, 255, 255}),
       1,
       1,
       {0, 0, 255, 128}},
  };
  for (const Case& c : cases) {
    const Image out = scaler.Scale(c.Source, c.Width, c.Height);
    EXPECT_EQ(out.Pixels, c.Expected) << c.Name;
  }
}

TEST(PictureScaler, EnlargeInterpolatesBetweenNeighbours) {
  AreaScaler scaler;
  const Image out = scaler.Scale(FromPixels(2, 1, {0, 0, 0, 255, 200, 200, 200, 255}), 4, 1);
  // Centres at -0.25, 0.25, 0.75, 1.25 of the source: clamped at the ends, mixed between.
  const std::vector<uint8_t> expected{0, 0, 0, 255, 50, 50, 50, 255, 150, 150, 150, 255, 200, 200, 200, 255};
  EXPECT_EQ(out.Pixels, expected);
  // Shrinking one way and enlarging the other in one call.
  const Image mixed = scaler.Scale(test::PatternImage(40, 10), 10, 40);
  EXPECT_EQ(mixed.Width, 10);
  EXPECT_EQ(mixed.Height, 40);
}

TEST(PictureScaler, EmptyInputsGiveAnEmptyImage) {
  AreaScaler scaler;
  EXPECT_TRUE(scaler.Scale(Image{}, 10, 10).Empty());
  EXPECT_TRUE(scaler.Scale(test::MakeImage(4, 4), 0, 10).Empty());
  EXPECT_TRUE(scaler.Scale(test::MakeImage(4, 4), 10, -3).Empty());
  Image lying = test::MakeImage(4, 4);
  lying.Pixels.resize(8); // fewer bytes than the size says
  EXPECT_TRUE(scaler.Scale(lying, 2, 2).Empty());
}

} // namespace
} // namespace nq
