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

} // namespace
} // namespace nq
