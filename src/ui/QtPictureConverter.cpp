#include "ui/QtPictureConverter.h"

#include <cctype>

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

std::string QtPictureConverter::EmojiName(const std::string& utf8, const std::string& locale) {
  // "es-ES", "pt_BR": the language's own annotations, which the regional ones only complete.
  std::string language = locale.substr(0, locale.find_first_of("-_"));
  for (char& c : language)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (language.empty()) return {};
  std::lock_guard<std::mutex> guard(Lock);
  auto known = Names.find(language);
  if (known == Names.end())
    known = Names.emplace(language, ReadCldrLanguage(DefaultCldrFolder(), language)).first;
  const auto found = known->second.find(WithoutVariationSelectors(utf8));
  return found != known->second.end() ? found->second.Name : std::string();
}

} // namespace nq
