#pragma once
// Conversions between the core's Windows-1252 texts and fonts and Qt's.
#include <QFont>
#include <QString>
#include <string>

#include "platform/FontSpec.h"

namespace nq {

// Boards are made on Windows at 96 pixels per inch; using the same density here keeps captions the
// size their authors saw, whatever the X server reports.
inline constexpr int BoardPixelsPerInch = 96;

QString ToQString(const std::string& cp1252);
std::string FromQString(const QString& text);
/// The Qt font for a board font: the point size wins over the height, as when boards are applied.
QFont ToQFont(const FontSpec& font);

} // namespace nq
