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

QImage Drawn(const QFont& font, const QString& text) {
  QImage image(NativeSide, NativeSide, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setFont(font);
  painter.drawText(image.rect(), Qt::AlignCenter, text);
  return image;
}

} // namespace

std::optional<std::string> DrawEmojiPng(const std::string& utf8, int side) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  // The font draws a keycap from its digit and U+20E3 alone; with the emoji selector between them
  // ("1️⃣") Qt draws a plain digit beside an empty key.
  text.replace(QString::fromUtf8("\uFE0F\u20E3"), QString(QChar(0x20E3)));
  QFont font("Noto Color Emoji");
  font.setPixelSize(FontPixelSize);
  const QRawFont raw = QRawFont::fromFont(font);
  if (text.isEmpty() || !raw.isValid() || !raw.familyName().contains("Emoji", Qt::CaseInsensitive) ||
      !raw.supportsCharacter(text.toUcs4().value(0)))
    return std::nullopt;
  QImage image = Drawn(font, text);
  // A flag of a region the font does not know ("🏴 es-ct") comes out as its flag with a question
  // mark: the same picture as a region that does not exist.
  if (text.startsWith(QString::fromUtf8("\U0001F3F4")) && text.size() > 2 &&
      image == Drawn(font, QString::fromUtf8("\U0001F3F4\U000E007A\U000E007A\U000E007A\U000E007F")))
    return std::nullopt;
  if (side < NativeSide) image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return std::nullopt;
  return std::string(png.constData(), static_cast<size_t>(png.size()));
}

} // namespace nq
