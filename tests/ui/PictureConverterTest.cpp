// Pictures the player cannot decode itself, drawn to PNG for imported boards by Qt.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "exchange/ObfImport.h"
#include "ui/QtPictureConverter.h"

namespace nq {
namespace {

QImage Decoded(const std::string& png) {
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
  return image;
}

std::string Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TEST(QtPictureConverter, DrawsSvgAtTheAskedSizeKeepingItsShape) {
  QtPictureConverter converter;
  const std::string svg =
      R"(<?xml version="1.0"?><svg xmlns="http://www.w3.org/2000/svg" width="40" height="20">)"
      R"(<rect width="40" height="20" fill="#ff0000"/></svg>)";
  const std::optional<std::string> png = converter.ToPng(svg, "", 100);
  ASSERT_TRUE(png);
  EXPECT_EQ(exchange::PlayerPictureFormat(*png), "png");
  const QImage image = Decoded(*png);
  EXPECT_EQ(image.size(), QSize(100, 50));
  EXPECT_EQ(image.pixelColor(50, 25), QColor(255, 0, 0));
}

TEST(QtPictureConverter, ShrinksLargeWebpPicturesAndLeavesSmallOnes) {
  QtPictureConverter converter;
  QImage green(300, 150, QImage::Format_RGB32);
  green.fill(QColor(0, 200, 0));
  const std::string webp = Encoded(green, "WEBP");
  ASSERT_FALSE(webp.empty()) << "Qt's image-format plug-ins are missing";
  EXPECT_EQ(Decoded(*converter.ToPng(webp, "image/webp", 100)).size(), QSize(100, 50));
  EXPECT_EQ(Decoded(*converter.ToPng(webp, "image/webp", 512)).size(), QSize(300, 150));
}

TEST(QtPictureConverter, RefusesWhatIsNoPicture) {
  QtPictureConverter converter;
  for (const std::string& bytes :
       {std::string(), std::string("<svg"), std::string("GIF89a\x01\x00", 8), std::string(1000, '\xFF')})
    EXPECT_FALSE(converter.ToPng(bytes, "image/svg+xml", 64));
}

// The emoji of imported labels, as the player draws them with the colour emoji font.
TEST(QtPictureConverter, DrawsKeycapsWithTheirSelectorAndRefusesFlagsTheFontLacks) {
  QtPictureConverter converter;
  const std::optional<std::string> bare = converter.EmojiToPng("1\u20E3", 64);
  const std::optional<std::string> selected = converter.EmojiToPng("1\uFE0F\u20E3", 64);
  if (!bare) GTEST_SKIP() << "no colour emoji font here";
  ASSERT_TRUE(selected);
  EXPECT_EQ(Decoded(*selected), Decoded(*bare));                 // not a plain digit beside an empty key
  EXPECT_TRUE(converter.EmojiToPng("\U0001F1EA\U0001F1F8", 64)); // a country's flag
  // Scotland's flag is in the font; no flag of a region of Spain is, and none is drawn as "?".
  EXPECT_TRUE(
      converter.EmojiToPng("\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F", 64));
  EXPECT_FALSE(converter.EmojiToPng("\U0001F3F4\U000E0065\U000E0073\U000E0063\U000E0074\U000E007F", 64));
}

} // namespace
} // namespace nq
