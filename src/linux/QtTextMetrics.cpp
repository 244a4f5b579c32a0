#include "linux/QtTextMetrics.h"

#include <QFontMetrics>

#include "linux/QtText.h"

namespace nq {

int QtTextMetrics::LineHeight(const FontSpec& font) {
  return QFontMetrics(ToQFont(font)).height();
}

int QtTextMetrics::TextWidth(const FontSpec& font, const std::string& text) {
  return QFontMetrics(ToQFont(font)).horizontalAdvance(ToQString(text));
}

int QtTextMetrics::PixelsPerInch() {
  return BoardPixelsPerInch;
}

} // namespace nq
