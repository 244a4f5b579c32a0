#include "linux/QtText.h"

#include <cmath>

#include "boards/Board.h"
#include "text/Encoding.h"

namespace nq {

QString ToQString(const std::string& cp1252) {
  return QString::fromStdString(Windows1252ToUtf8(cp1252));
}

std::string FromQString(const QString& text) {
  return Utf8ToWindows1252(text.toStdString());
}

QFont ToQFont(const FontSpec& spec) {
  QFont font(ToQString(spec.Name));
  // The size in points is applied after the height, so it alone decides: a size of 0 is the default.
  const int64_t height = AppliedFontHeight(spec, BoardPixelsPerInch);
  int64_t pixels = 0;
  if (height < 0)
    pixels = -height;
  else if (height > 0)
    pixels = std::max<int64_t>(1, height * 4 / 5); // a positive height counts the leading too
  // Height 0 means the face's default: the 8-point size of the classic window font.
  font.setPixelSize(pixels > 0 ? static_cast<int>(std::min<int64_t>(pixels, 2000)) : 11);
  font.setBold(spec.Bold);
  font.setItalic(spec.Italic);
  font.setUnderline(spec.Underline);
  font.setStrikeOut(spec.StrikeOut);
  return font;
}

} // namespace nq
