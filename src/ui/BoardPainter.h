#pragma once
// Paints cells exactly as the core's boxes describe them: frame, then caption, then picture.
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRegion>

#include "boards/TBox.h"

namespace nq {

/// The Qt colour of a core colour (red in the low byte).
QColor ToQColor(int32_t colour);

// What a printed page adds to a box: its picture at print resolution, a mark where a picture did
// not load, and a note in a corner (the page a link leads to).
struct PrintedBoxParts {
  const QImage* Picture = nullptr; // drawn into the picture rectangle instead of the held picture
  QRect MissingPicture;            // panel coordinates of a picture that did not load; null when none
  QString Note;
};

/// Paints one box whose coordinates are relative to a panel placed at origin; with dirty, only the
/// parts (frame, caption, picture) that meet it, so a changed frame colour costs no text layout.
void PaintBox(QPainter& painter, const TBox& box, QPoint origin, const QRegion* dirty = nullptr,
              const PrintedBoxParts* printed = nullptr);

/// The border a frame's pen covers, in the coordinates of a panel at origin: all that changes when only
/// the frame's colour does (a scan step).
QRegion FrameRing(const GridRect& frame, int32_t penWidth, QPoint origin);

/// Paints a low-vision highlight over what a frame holds: the inside (within the frame's pen) inverted
/// when asked, then a ring of ringWidth (none when 0) in the highlight colour that leaves keep
/// (a caption) uncovered.
void PaintHighlightOverlay(QPainter& painter, const QRect& frame, int penWidth, int ringWidth, bool inverted,
                           const QColor& colour, const QRect& keep = QRect());

/// Fills a rectangle's border of the given width inside the rectangle, the way cell frames are drawn.
void PaintFrame(QPainter& painter, const QRect& bounds, int penWidth, const QColor& colour);

} // namespace nq
