#include "ui/BoardView.h"

#include <QPaintEvent>
#include <algorithm>
#include <tuple>

#include "linux/QtText.h"
#include "ui/BoardPainter.h"

namespace nq {
namespace {

QRect ToQRect(const GridRect& r) {
  return QRect(r.Left, r.Top, r.Width, r.Height);
}

const char* const ButtonPictureNames[] = {"inici.png",    "anterior.png", "ultima.png",
                                          "llegir.png",   "ultim.png",    "paraula.png",
                                          "esborrar.png", "parlar.png",   "noparlar.png"};

} // namespace

std::array<QImage, 10> LoadButtonPictures(const std::string& dataFolder) {
  std::array<QImage, 10> pictures;
  for (size_t i = 0; i < std::size(ButtonPictureNames); ++i)
    pictures[i] = QImage(QString::fromStdString(dataFolder + "pictures/buttons/" + ButtonPictureNames[i]));
  return pictures;
}

void PaintPlayerButtonBar(QPainter& painter, const Player& player, const std::array<QImage, 10>& pictures) {
  const PanelGeometry& panels = player.Layout().Panels();
  if (!panels.ButtonBarVisible) return;
  painter.fillRect(ToQRect(panels.ButtonBar), ToQColor(ButtonFaceColour));
  QFont bold = painter.font();
  bold.setPixelSize(11);
  bold.setBold(true);
  for (const ButtonPanel& panel : player.Layout().Buttons()) {
    if (!panel.Visible) continue;
    const QRect bounds = ToQRect(panel.Bounds);
    painter.fillRect(bounds, ToQColor(panel.Colour));
    // The 50 x 50 speed button sits centred in its 60 x 60 panel, picture above a bold caption.
    const QRect button(bounds.left() + 5, bounds.top() + 5, 50, 50);
    painter.fillRect(button, ToQColor(ButtonFaceColour));
    size_t index = static_cast<size_t>(-panel.Item - 1);
    if (panel.Item == -8 && !player.State().SpeechOn) index = 8; // "Símbol" shows the speech state
    if (index < pictures.size() && !pictures[index].isNull())
      painter.drawImage(QRect(button.left() + 9, button.top() + 2, 32, 32), pictures[index]);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    const QRect captionArea(button.left(), button.top() + 35, 50, 14);
    const QString caption = ToQString(std::string(panel.Caption));
    painter.drawText(captionArea, Qt::AlignHCenter | Qt::AlignTop, caption);
    if (panel.Highlighted) {
      // The panel's own border is as wide as the gap round its button; a wider ring covers the button's
      // edge but not its caption.
      const HighlightStyle& style = player.State().View.Highlight;
      const int ring = HighlightRingWidth(style, panel.Bounds);
      const QRect label =
          painter.fontMetrics().boundingRect(captionArea, Qt::AlignHCenter | Qt::AlignTop, caption);
      PaintHighlightOverlay(painter, bounds, 5, ring > 5 ? ring : 0, style.Invert, ToQColor(panel.Colour),
                            label.intersected(captionArea));
    }
  }
}

namespace {

int32_t GridCellsShown(const Player& player) {
  const GridViewState& view = player.State().View;
  if (view.Columns <= 0 || view.Rows <= 0) return 0;
  return std::min(view.Columns, MaxGridColumns) * std::min(view.Rows, MaxGridRows);
}

// A box's cell rectangle in client pixels, with room for the hover lift.
QRect CellArea(const GridRect& cell, QPoint origin) {
  return QRect(origin.x() + cell.Left - LiftPixels, origin.y() + cell.Top - LiftPixels,
               cell.Width + 2 * LiftPixels, cell.Height + 2 * LiftPixels);
}

void PaintGridImpl(QPainter& painter, Player& player, const QRegion& dirty) {
  const GridRect& area = player.Layout().Panels().Boxes;
  const QPoint origin(area.Left, area.Top);
  painter.save();
  painter.setClipRegion(dirty.intersected(ToQRect(area)));
  for (int32_t n = 1; n <= GridCellsShown(player); ++n) {
    const TBox& box = *player.Boxes().GridBox(n);
    if (dirty.intersects(CellArea(box.CellRect(), origin))) PaintBox(painter, box, origin, &dirty);
  }
  painter.restore();
}

// The frame ring as the painter fills it (the pen inside the bounds), in four bands that do not overlap.
std::array<QRect, 4> RingBands(const QRect& frame, int penWidth) {
  const int w = std::min(penWidth, std::min(frame.width(), frame.height()));
  const int middle = frame.height() - 2 * w;
  return {QRect(frame.left(), frame.top(), frame.width(), w),
          QRect(frame.left(), frame.bottom() - w + 1, frame.width(), w),
          QRect(frame.left(), frame.top() + w, w, middle),
          QRect(frame.right() - w + 1, frame.top() + w, w, middle)};
}

// The union of many rectangles, built in one step when they form clean bands (a grid's frames, row by
// row), else one by one.
QRegion UnionOfRects(std::vector<QRect> rects) {
  std::erase_if(rects, [](const QRect& r) { return !r.isValid(); });
  std::sort(rects.begin(), rects.end(), [](const QRect& a, const QRect& b) {
    return std::tuple(a.top(), a.left()) < std::tuple(b.top(), b.left());
  });
  std::vector<QRect> merged;
  bool clean = true;
  for (const QRect& r : rects) {
    if (!merged.empty() && merged.back().top() == r.top()) {
      QRect& last = merged.back();
      clean = clean && last.height() == r.height();
      if (r.left() <= last.right() + 1) {
        last.setRight(std::max(last.right(), r.right())); // touching or overlapping: one rectangle
        continue;
      }
    } else if (!merged.empty()) {
      clean = clean && r.top() > merged.back().bottom(); // bands must not overlap
    }
    merged.push_back(r);
  }
  QRegion region;
  if (clean) {
    region.setRects(merged.data(), static_cast<int>(merged.size()));
  } else {
    for (const QRect& r : rects)
      region += r;
  }
  return region;
}

// Fills frame rings under a clip of just those rings. Each fill walks the clip's rectangles on every
// line it covers, so the bands that share their lines and colour (a row's rings) are filled at once,
// the clip keeping the gaps between them as they were.
void PaintRings(QPainter& painter, const std::vector<RingPaint>& rings) {
  struct Band {
    QRect Area;
    QRgb Colour;
  };
  std::vector<Band> bands;
  for (const RingPaint& ring : rings)
    for (const QRect& band : RingBands(ring.Frame, ring.PenWidth))
      if (band.isValid()) bands.push_back({band, ring.Colour.rgb()});
  std::stable_sort(bands.begin(), bands.end(), [](const Band& a, const Band& b) {
    return std::tuple(a.Area.top(), a.Area.height(), a.Area.left()) <
           std::tuple(b.Area.top(), b.Area.height(), b.Area.left());
  });
  for (size_t first = 0; first < bands.size();) {
    QRect run = bands[first].Area;
    size_t next = first + 1;
    while (next < bands.size() && bands[next].Colour == bands[first].Colour &&
           bands[next].Area.top() == run.top() && bands[next].Area.height() == run.height())
      run |= bands[next++].Area;
    painter.fillRect(run, QColor::fromRgb(bands[first].Colour));
    first = next;
  }
}

// Whether a box's frame ring can be painted alone: nothing of its own lies on it, and no neighbour's
// frame reaches it (a neighbour's caption and picture stay inside its frame, which the caller checks).
bool ContentInsideFrame(const TBox& box) {
  const QRect frame = ToQRect(box.Frame.Bounds);
  const int inset = std::max(box.Frame.PenWidth, 1);
  const QRect inside = frame.adjusted(inset, inset, -inset, -inset);
  const auto within = [&inside](bool visible, const GridRect& bounds) {
    const QRect r = ToQRect(bounds);
    return !visible || r.isEmpty() || inside.contains(r);
  };
  return box.Frame.Visible && box.Frame.PenWidth > 0 && inside.isValid() &&
         within(box.CaptionLabel.Visible, box.CaptionLabel.Bounds) &&
         within(box.PictureImage.Visible, box.PictureImage.Bounds);
}

// What a frame's highlight covers: the whole frame when the inside is inverted, else its ring.
QRegion HighlightArea(const QRect& frame, int penWidth, int ringWidth, bool inverted) {
  if (inverted) return QRegion(frame);
  const int inset = std::max({penWidth, ringWidth, 1});
  return QRegion(frame) - QRegion(frame.adjusted(inset, inset, -inset, -inset));
}

// Wide enough to be seen from a distance, narrow enough to leave the cells readable.
constexpr int MessageBarFlashPen = 6;

} // namespace

void PaintPlayerMessageBar(QPainter& painter, Player& player) {
  const PanelGeometry& panels = player.Layout().Panels();
  if (!panels.MessageBarVisible) return;
  const QRect bar = ToQRect(panels.MessageBar);
  painter.fillRect(bar, Qt::white);
  // A lowered inner bevel, as the bar has always had.
  painter.setPen(QColor(160, 160, 160));
  painter.drawLine(bar.topLeft(), bar.topRight());
  painter.drawLine(bar.topLeft(), bar.bottomLeft());
  if (player.State().View.WriteLettersOrWordsMode) return; // the memo covers the bar
  painter.save();
  painter.setClipRect(bar);
  for (int32_t i = 1; i <= player.State().View.MessageCellCount; ++i)
    PaintBox(painter, *player.Boxes().MessageBox(i), bar.topLeft());
  if (player.State().View.MessageBarFlash)
    PaintFrame(painter, bar, MessageBarFlashPen, ToQColor(HighlightColour));
  painter.restore();
}

BoardView::BoardView(Player& player, const std::string& dataFolderUtf8, QWidget* parent)
    : QWidget(parent), ThePlayer(player), ButtonPictures(LoadButtonPictures(dataFolderUtf8)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

BoardView::ViewLook BoardView::CurrentLook() const {
  ViewLook look;
  const GridLayout& layout = ThePlayer.Layout();
  look.Panels = layout.Panels();
  for (size_t i = 0; i < look.ButtonColours.size(); ++i)
    look.ButtonColours[i] = layout.Buttons()[i].Colour;
  look.SpeechOn = ThePlayer.State().SpeechOn;
  look.MessageCells = ThePlayer.State().View.MessageCellCount;
  look.Letters = ThePlayer.State().View.WriteLettersOrWordsMode;
  look.Flash = ThePlayer.State().View.MessageBarFlash;
  look.Highlight = ThePlayer.State().View.Highlight;
  auto lookOf = [](const TBox& box) {
    return BoxLook{box.CellRect(),           box.Frame.Visible,
                   box.Frame.Bounds,         box.Frame.PenWidth,
                   box.Frame.PenColour,      box.Frame.RingWidth,
                   box.Frame.Inverted,       box.CaptionLabel.Visible,
                   box.CaptionLabel.Text,    static_cast<int>(box.Alignment),
                   box.PictureImage.Visible, box.PictureImage.Bounds,
                   box.PaintedPicture()};
  };
  CellBoxes& boxes = const_cast<Player&>(ThePlayer).Boxes();
  const int32_t cells = GridCellsShown(ThePlayer);
  look.Boxes.reserve(static_cast<size_t>(cells));
  for (int32_t n = 1; n <= cells; ++n)
    look.Boxes.push_back(lookOf(*boxes.GridBox(n)));
  // A ring is alone when its own caption and picture and those of the eight cells around lie inside
  // their frames, and no frame around reaches it (a lifted cell can).
  std::vector<char> inside(static_cast<size_t>(cells));
  for (int32_t n = 1; n <= cells; ++n)
    inside[static_cast<size_t>(n - 1)] = ContentInsideFrame(*boxes.GridBox(n));
  const int32_t columns = std::min(ThePlayer.State().View.Columns, MaxGridColumns);
  look.RingAlone.assign(static_cast<size_t>(cells), 0);
  for (int32_t n = 1; n <= cells; ++n) {
    const TBox& box = *boxes.GridBox(n);
    bool alone = inside[static_cast<size_t>(n - 1)] != 0;
    const QRegion ring = FrameRing(box.Frame.Bounds, box.Frame.PenWidth, QPoint());
    const int32_t column = (n - 1) % columns;
    for (int32_t dy = -1; alone && dy <= 1; ++dy)
      for (int32_t dx = -1; alone && dx <= 1; ++dx) {
        const int32_t other = n + dy * columns + dx;
        if ((dx == 0 && dy == 0) || column + dx < 0 || column + dx >= columns || other < 1 || other > cells)
          continue;
        const TBox& neighbour = *boxes.GridBox(other);
        alone =
            inside[static_cast<size_t>(other - 1)] != 0 && !ring.intersects(ToQRect(neighbour.Frame.Bounds));
      }
    look.RingAlone[static_cast<size_t>(n - 1)] = alone;
  }
  for (int32_t i = 1; i <= std::clamp(look.MessageCells, 0, MessageBoxCount); ++i)
    look.MessageBoxes.push_back(lookOf(*boxes.MessageBox(i)));
  return look;
}

QRegion BoardView::ChangedRegion(const ViewLook& now) const {
  const bool sameFrame = ShownValid && Shown.Panels.Boxes == now.Panels.Boxes &&
                         Shown.Panels.ButtonBar == now.Panels.ButtonBar &&
                         Shown.Panels.MessageBar == now.Panels.MessageBar &&
                         Shown.Panels.ButtonBarVisible == now.Panels.ButtonBarVisible &&
                         Shown.Panels.MessageBarVisible == now.Panels.MessageBarVisible &&
                         Shown.Boxes.size() == now.Boxes.size();
  if (!sameFrame) return QRegion(rect());
  QRegion region;
  if (Shown.ButtonColours != now.ButtonColours || Shown.SpeechOn != now.SpeechOn ||
      Shown.Highlight != now.Highlight)
    region += ToQRect(now.Panels.ButtonBar);
  // Message cells are few; any change among them repaints the bar.
  if (Shown.Letters != now.Letters || Shown.Flash != now.Flash || Shown.MessageBoxes != now.MessageBoxes)
    region += ToQRect(now.Panels.MessageBar);
  const QPoint origin(now.Panels.Boxes.Left, now.Panels.Boxes.Top);
  for (size_t i = 0; i < now.Boxes.size(); ++i) {
    if (Shown.Boxes[i] == now.Boxes[i]) continue;
    BoxLook penOnly = Shown.Boxes[i];
    penOnly.Pen = now.Boxes[i].Pen;
    if (penOnly == now.Boxes[i]) {
      region += FrameRing(now.Boxes[i].Frame, now.Boxes[i].PenWidth, origin);
      continue;
    }
    region += CellArea(Shown.Boxes[i].Cell, origin);
    region += CellArea(now.Boxes[i].Cell, origin);
  }
  return region;
}

QRegion BoardView::ChangedPens() {
  const GridLayout& layout = ThePlayer.Layout();
  CellBoxes& boxes = ThePlayer.Boxes();
  QRegion region;
  bool barChanged = false;
  for (size_t i = 0; i < Shown.ButtonColours.size(); ++i) {
    barChanged = barChanged || Shown.ButtonColours[i] != layout.Buttons()[i].Colour;
    Shown.ButtonColours[i] = layout.Buttons()[i].Colour;
  }
  if (barChanged) region += ToQRect(Shown.Panels.ButtonBar);
  bool messageChanged = false;
  for (size_t i = 0; i < Shown.MessageBoxes.size(); ++i) {
    const CellFrame& frame = boxes.MessageBox(static_cast<int32_t>(i) + 1)->Frame;
    BoxLook& shown = Shown.MessageBoxes[i];
    messageChanged = messageChanged || shown.Pen != frame.PenColour || shown.Ring != frame.RingWidth ||
                     shown.Inverted != frame.Inverted;
    shown.Pen = frame.PenColour;
    shown.Ring = frame.RingWidth;
    shown.Inverted = frame.Inverted;
  }
  if (messageChanged) region += ToQRect(Shown.Panels.MessageBar);
  const QPoint origin(Shown.Panels.Boxes.Left, Shown.Panels.Boxes.Top);
  std::vector<QRect> outer;
  std::vector<QRect> inner;
  for (size_t i = 0; i < Shown.Boxes.size(); ++i) {
    BoxLook& shown = Shown.Boxes[i];
    const CellFrame& now = boxes.GridBox(static_cast<int32_t>(i) + 1)->Frame;
    const int32_t pen = now.PenColour;
    if (shown.Pen == pen && shown.Ring == now.RingWidth && shown.Inverted == now.Inverted) continue;
    const GridRect& f = shown.Frame;
    const QRect frame(origin.x() + f.Left, origin.y() + f.Top, f.Width, f.Height);
    if (shown.Ring > 0 || shown.Inverted || now.RingWidth > 0 || now.Inverted) {
      // A low-vision highlight lies over the cell's content: the old and new highlight areas are painted
      // again in full.
      region += HighlightArea(frame, shown.PenWidth, shown.Ring, shown.Inverted);
      region += HighlightArea(frame, shown.PenWidth, now.RingWidth, now.Inverted);
      shown.Pen = pen;
      shown.Ring = now.RingWidth;
      shown.Inverted = now.Inverted;
      RingsBlocked = true;
      continue;
    }
    shown.Pen = pen;
    const int inset = std::max(shown.PenWidth, 1);
    outer.push_back(frame);
    inner.push_back(frame.adjusted(inset, inset, -inset, -inset));
    if (Shown.RingAlone[i])
      PendingRings.push_back({frame, shown.PenWidth, ToQColor(pen)});
    else
      RingsBlocked = true;
  }
  if (outer.empty()) return region;
  // The rings of a step (a whole row's, twice) as one region: frames less their insides, each side
  // built at once rather than ring by ring.
  const QRegion rings = UnionOfRects(std::move(outer)) - UnionOfRects(std::move(inner));
  PendingRingRegion += rings;
  return region + rings;
}

QRegion BoardView::RefreshIfChanged() {
  const GridLayout& layout = ThePlayer.Layout();
  if (layout.Revision() == PaintedRevision && ShownValid) return {};
  PaintedRevision = layout.Revision();
  QRegion region;
  if (ShownValid && layout.ContentRevision() == PaintedContent) {
    // A scan step changed pens only: comparing them is all, no look of the whole board is taken again.
    region = ChangedPens();
  } else {
    PaintedContent = layout.ContentRevision();
    RingsBlocked = true; // the next paint repaints what changed in full
    ViewLook now = CurrentLook();
    region = ChangedRegion(now);
    Shown = std::move(now);
    ShownValid = true;
  }
  if (region.isEmpty()) return region;
  if (Timing) Timing->HoverChanged();
  update(region);
  return region;
}

QRegion BoardView::RefreshDwellProgress() {
  const DwellIndicator& now = ThePlayer.Modes().Progress().Indicator();
  if (now == ShownDwell) return {};
  QRegion region;
  const DwellIndicator& old = ShownDwell;
  if (old.Visible && now.Visible && old.Track == now.Track && old.Colour == now.Colour &&
      now.Filled > old.Filled) {
    // The bar grew: only the new strip is painted, over whatever lies there.
    const GridRect& t = now.Track;
    region = QRect(t.Left + old.Filled, t.Top, now.Filled - old.Filled, t.Height);
    PendingDwellGrow += region;
  } else {
    // Emptied, moved or recoloured: the old bar's area gets the cell back, then the new bar.
    if (old.Visible) region += ToQRect(old.Track);
    if (now.Visible) region += ToQRect(now.Track);
    RingsBlocked = true;
  }
  ShownDwell = now;
  update(region);
  return region;
}

void BoardView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ThePlayer.ClientResized(width(), height());
  ShownValid = false;
  update();
}

void BoardView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRegion& dirty = event->region();
  if (!RingsBlocked && PendingRings.empty() && !PendingDwellGrow.isEmpty() &&
      (dirty - PendingDwellGrow).isEmpty()) {
    // A dwell frame: the bar only grew.
    painter.setClipRegion(dirty);
    PaintDwellProgress(painter, ShownDwell);
    ++DwellGrowPaints;
  } else if (!RingsBlocked && !PendingRings.empty() && (dirty - PendingRingRegion).isEmpty()) {
    // A scan step: only frame rings changed colour, and nothing else lies on them.
    PaintRings(painter, PendingRings);
    ++RingPaints;
  } else {
    painter.setClipRegion(dirty);
    painter.fillRect(rect(), Qt::white);
    // A scan step dirties a few frames only; the bars are painted when the region reaches them.
    const PanelGeometry& panels = ThePlayer.Layout().Panels();
    if (dirty.intersects(ToQRect(panels.ButtonBar))) PaintButtonBar(painter);
    PaintGridImpl(painter, ThePlayer, dirty);
    if (dirty.intersects(ToQRect(panels.MessageBar))) PaintMessageBar(painter);
    if (ShownDwell.Visible && dirty.intersects(ToQRect(ShownDwell.Track)))
      PaintDwellProgress(painter, ShownDwell);
  }
  PendingDwellGrow = QRegion();
  PendingRings.clear();
  PendingRingRegion = QRegion();
  RingsBlocked = false;
  if (Timing) Timing->Painted(!ThePlayer.State().CurrentBoardFile.empty(), ThePlayer.PicturesPending() > 0);
}

void BoardView::PaintButtonBar(QPainter& painter) {
  PaintPlayerButtonBar(painter, ThePlayer, ButtonPictures);
}
void BoardView::PaintMessageBar(QPainter& painter) {
  PaintPlayerMessageBar(painter, ThePlayer);
}

void PaintDwellProgress(QPainter& painter, const DwellIndicator& indicator) {
  if (!indicator.Visible || indicator.Filled <= 0) return;
  const GridRect& t = indicator.Track;
  painter.fillRect(QRect(t.Left, t.Top, std::min(indicator.Filled, t.Width), t.Height),
                   ToQColor(indicator.Colour));
}

QImage RenderClientArea(Player& player, const std::string& dataFolderUtf8, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  player.ClientResized(width, height);
  QPainter painter(&image);
  PaintPlayerButtonBar(painter, player, LoadButtonPictures(dataFolderUtf8));
  PaintGridImpl(painter, player, QRegion(image.rect()));
  PaintPlayerMessageBar(painter, player);
  return image;
}

} // namespace nq
