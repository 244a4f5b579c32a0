#include "ui/BoardPainter.h"

#include <QImage>
#include <algorithm>

#include "linux/QtText.h"

namespace nq {
namespace {

QRect ToQRect(const GridRect& r, QPoint origin) {
  return QRect(origin.x() + r.Left, origin.y() + r.Top, r.Width, r.Height);
}

// A view of the core's pixels without copying them; valid while the image lives.
QImage View(const Image& image) {
  return QImage(image.Pixels.data(), image.Width, image.Height, image.Width * 4, QImage::Format_RGBA8888);
}

// A small crossed square where a picture should be: the cell still says something was meant there.
void PaintMissingMark(QPainter& painter, const QRect& area) {
  const int side = std::max(6, std::min(area.width(), area.height()) / 4);
  const QRect mark(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(QColor(150, 150, 150), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(mark);
  painter.drawLine(mark.topLeft(), mark.bottomRight());
  painter.drawLine(mark.topRight(), mark.bottomLeft());
  painter.restore();
}

void PaintNote(QPainter& painter, const TBox& box, QPoint origin, const QString& note) {
  const QRect frame = ToQRect(box.Frame.Visible ? box.Frame.Bounds : box.CellRect(), origin)
                          .adjusted(box.Frame.PenWidth + 1, box.Frame.PenWidth + 1, -box.Frame.PenWidth - 1,
                                    -box.Frame.PenWidth - 1);
  QFont font;
  font.setPixelSize(std::clamp(frame.height() / 8, 8, 12));
  font.setBold(true);
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(note) + 4;
  const QRect label(frame.right() - width + 1, frame.bottom() - metrics.height() + 1, width,
                    metrics.height());
  painter.save();
  painter.setClipRect(frame);
  painter.fillRect(label, Qt::white);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(label, Qt::AlignCenter | Qt::TextSingleLine, note);
  painter.restore();
}

void PaintPrintedParts(QPainter& painter, const TBox& box, QPoint origin, const PrintedBoxParts& printed) {
  if (printed.Picture != nullptr && box.PictureImage.Visible) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(ToQRect(box.PictureImage.Bounds, origin)), *printed.Picture);
    painter.restore();
  } else if (!printed.MissingPicture.isNull()) {
    PaintMissingMark(painter, printed.MissingPicture.translated(origin));
  }
  if (!printed.Note.isEmpty()) PaintNote(painter, box, origin, printed.Note);
}

void PaintBoxPicture(QPainter& painter, const TBox& box, QPoint origin, const QRegion* dirty) {
  if (box.PictureImage.Visible &&
      (dirty == nullptr || dirty->intersects(ToQRect(box.PictureImage.Bounds, origin)))) {
    if (const Image* image = box.PaintedImage(); image && !image->Empty()) {
      const QRect target = ToQRect(box.PictureImage.Bounds, origin);
      if (box.PictureImage.Scaling == PictureScaling::HalftoneShrink) {
        painter.drawImage(target.topLeft(), View(*image));
      } else {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(target, View(*image));
        painter.restore();
      }
    }
  }
}

} // namespace

QColor ToQColor(int32_t colour) {
  const auto value = static_cast<uint32_t>(colour);
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

QRegion FrameRing(const GridRect& frame, int32_t penWidth, QPoint origin) {
  const QRect outer = ToQRect(frame, origin);
  const int inset = std::max(penWidth, 1);
  return QRegion(outer) - QRegion(outer.adjusted(inset, inset, -inset, -inset));
}

void PaintFrame(QPainter& painter, const QRect& bounds, int penWidth, const QColor& colour) {
  if (bounds.width() <= 0 || bounds.height() <= 0 || penWidth <= 0) return;
  // The pen lies inside the bounds, like a shape control's border: outer edge on the bounds.
  const int w = std::min(penWidth, std::min(bounds.width(), bounds.height()));
  painter.fillRect(QRect(bounds.left(), bounds.top(), bounds.width(), w), colour);
  painter.fillRect(QRect(bounds.left(), bounds.bottom() - w + 1, bounds.width(), w), colour);
  painter.fillRect(QRect(bounds.left(), bounds.top(), w, bounds.height()), colour);
  painter.fillRect(QRect(bounds.right() - w + 1, bounds.top(), w, bounds.height()), colour);
}

void PaintBox(QPainter& painter, const TBox& box, QPoint origin, const QRegion* dirty,
              const PrintedBoxParts* printed) {
  auto needed = [dirty, origin](const GridRect& r) {
    return dirty == nullptr || dirty->intersects(ToQRect(r, origin));
  };
  if (box.Frame.Visible && needed(box.Frame.Bounds)) {
    const QRect frame = ToQRect(box.Frame.Bounds, origin);
    painter.fillRect(frame, Qt::white);
    PaintFrame(painter, frame, box.Frame.PenWidth, ToQColor(box.Frame.PenColour));
  }
  QRect label; // the caption's label, where it is painted
  if (box.CaptionLabel.Visible && !box.CaptionLabel.Text.empty() && needed(box.CaptionLabel.Bounds)) {
    const QRect bounds = ToQRect(box.CaptionLabel.Bounds, origin);
    const FontSpec& spec = box.CaptionFont();
    const QFont font = ToQFont(spec);
    const QString text = ToQString(box.CaptionLabel.Text);
    const QFontMetrics metrics(font);
    const int textWidth = std::min(metrics.horizontalAdvance(text), bounds.width());
    // The label is as wide as its text and has the panel's white background.
    const int left = box.Alignment == CaptionAlignment::Centre
                         ? bounds.left() + (bounds.width() - textWidth) / 2
                         : bounds.left();
    label = QRect(left, bounds.top(), textWidth, metrics.height()).intersected(bounds);
    painter.save();
    painter.setClipRect(bounds.intersected(label.united(QRect(label.topLeft(), QSize(1, 1)))));
    painter.fillRect(label, Qt::white);
    painter.setFont(font);
    painter.setPen(ToQColor(spec.Colour));
    painter.drawText(QRect(left, bounds.top(), bounds.width(), metrics.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
  }
  if (printed != nullptr) {
    PaintPrintedParts(painter, box, origin, *printed);
    return;
  }
  PaintBoxPicture(painter, box, origin, dirty);
  if (box.Frame.Visible && (box.Frame.Inverted || box.Frame.RingWidth > 0) && needed(box.Frame.Bounds)) {
    PaintHighlightOverlay(painter, ToQRect(box.Frame.Bounds, origin), std::max(box.Frame.PenWidth, 0),
                          box.Frame.RingWidth, box.Frame.Inverted, ToQColor(box.Frame.PenColour), label);
  }
}

void PaintHighlightOverlay(QPainter& painter, const QRect& frame, int penWidth, int ringWidth, bool inverted,
                           const QColor& colour, const QRect& keep) {
  if (inverted) {
    // Everything inside the frame's own pen, the caption too; a wider ring then covers the edge.
    const QRect inside = frame.adjusted(penWidth, penWidth, -penWidth, -penWidth);
    if (inside.isValid()) {
      // Inverting what was just painted keeps captions and pictures readable on the dark ground.
      painter.save();
      painter.setCompositionMode(QPainter::RasterOp_NotDestination);
      painter.fillRect(inside, Qt::black);
      painter.restore();
    }
  }
  if (ringWidth <= 0) return;
  if (keep.isEmpty()) {
    PaintFrame(painter, frame, ringWidth, colour);
    return;
  }
  // The ring runs round the caption: the word on a highlighted cell is what must stay readable.
  painter.save();
  const QRegion clip = painter.hasClipping() ? painter.clipRegion() : QRegion(frame);
  painter.setClipRegion(clip - QRegion(keep));
  PaintFrame(painter, frame, ringWidth, colour);
  painter.restore();
}

} // namespace nq
