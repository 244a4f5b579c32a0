#include "ui/EmojiPicture.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>

namespace nq {
namespace {

// The size at which the colour emoji font keeps its bitmaps sharp.
constexpr int FontPixelSize = 109;
constexpr int NativeSide = 136;

} // namespace

std::optional<std::string> DrawEmojiPng(const std::string& utf8, int side) {
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  QFont font("Noto Color Emoji");
  font.setPixelSize(FontPixelSize);
  const QRawFont raw = QRawFont::fromFont(font);
  if (text.isEmpty() || !raw.isValid() || !raw.familyName().contains("Emoji", Qt::CaseInsensitive) ||
      !raw.supportsCharacter(text.toUcs4().value(0)))
    return std::nullopt;
  QImage image(NativeSide, NativeSide, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
  }
  if (side < NativeSide) image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return std::nullopt;
  return std::string(png.constData(), static_cast<size_t>(png.size()));
}

} // namespace nq
