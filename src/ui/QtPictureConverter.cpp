#include "ui/QtPictureConverter.h"

#include "ui/EmojiPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace nq {
namespace {

bool LooksLikeSvg(const QByteArray& data, const std::string& contentType) {
  if (contentType.find("svg") != std::string::npos) return true;
  const QByteArray head = data.left(512).trimmed();
  return head.startsWith("<svg") || (head.startsWith("<?xml") && data.left(4096).contains("<svg"));
}

QImage DrawSvg(const QByteArray& data, int side) {
  QSvgRenderer renderer(data);
  if (!renderer.isValid()) return {};
  QSize size = renderer.defaultSize();
  if (size.isEmpty()) size = QSize(side, side);
  size.scale(side, side, Qt::KeepAspectRatio);
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  return image;
}

} // namespace

std::optional<std::string> QtPictureConverter::ToPng(const std::string& bytes, const std::string& contentType,
                                                     int side) {
  const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QImage image = LooksLikeSvg(data, contentType) ? DrawSvg(data, side) : QImage::fromData(data);
  if (image.isNull()) return std::nullopt;
  if (image.width() > side || image.height() > side)
    image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return std::nullopt;
  return std::string(png.constData(), static_cast<std::size_t>(png.size()));
}

std::optional<std::string> QtPictureConverter::EmojiToPng(const std::string& utf8, int side) {
  return DrawEmojiPng(utf8, side);
}

} // namespace nq
