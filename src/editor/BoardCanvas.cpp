#include "editor/BoardCanvas.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>

#include "authoring/BoardEdits.h"
#include "boards/PathResolver.h"
#include "linux/QtText.h"
#include "ui/BoardPainter.h"

namespace nq {
namespace {

QRect ToQRect(const GridRect& r) {
  return QRect(r.Left, r.Top, r.Width, r.Height);
}

// The player's window has a frame and a menu bar around its client area.
constexpr int FrameWidth = 8;
constexpr int FrameAndMenuHeight = 46;

const char* const ButtonCaptions[] = {"Inici",    "Anterior", "\xDAltima", "Llegir",
                                      "\xDAltim", "Paraula",  "Esborrar",  "S\xEDmbol"};

} // namespace

QSize ClientSizeOf(const Board& board) {
  return QSize(std::clamp(board.WindowWidth - FrameWidth, 120, 4096),
               std::clamp(board.WindowHeight - FrameAndMenuHeight, 120, 4096));
}

BoardCanvas::BoardCanvas(PictureDiskCache* disk, QWidget* parent)
    : QWidget(parent), Boxes(Metrics, Scaler, Marks), Layout(Boxes, View) {
  Pictures.SetDiskCache(disk);
  Boxes.SetScaledSource(&Pictures);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  setMouseTracking(false);
  setMinimumSize(200, 150);
}

QRegion BoardCanvas::ShowBoard(const Board& board, const std::string& folderUtf8) {
  const bool sameLayout =
      Shown && folderUtf8 == ShownFolder && authoring::HeaderOf(board) == authoring::HeaderOf(TheBoard);
  QRegion changed;
  if (!sameLayout) {
    ShowWholeBoard(board, folderUtf8);
    changed = rect();
  } else {
    // One edit touches a few cells: those are assigned and placed again, the rest stay as they are.
    std::vector<int> numbers;
    for (int n = 1; n <= View.Columns * View.Rows; ++n) {
      const CellPosition at = CellNumberToPosition(n, View.Columns);
      if (board.Cell(at.Column, at.Row) == TheBoard.Cell(at.Column, at.Row)) continue;
      Boxes.AssignCellRecord(n, board.Cell(at.Column, at.Row), board.CenterCaptions);
      numbers.push_back(n);
    }
    TheBoard = board;
    AssignPictures(numbers, folderUtf8);
    CellShowOptions options;
    options.CellSeparation = View.CellSeparation;
    options.FrameThickness = View.FrameThickness;
    const QTransform toWidget = ClientTransform();
    for (const int n : numbers) {
      Boxes.ShowCell(*Boxes.GridBox(n), options);
      changed +=
          toWidget.mapRect(CellRectInClient(CellNumberToPosition(n, View.Columns))).adjusted(-2, -2, 2, 2);
    }
  }
  std::vector<CellPosition> kept;
  for (const CellPosition& at : Selected)
    if (at.Column <= View.Columns && at.Row <= View.Rows) kept.push_back(at);
  if (kept.empty()) kept.push_back({std::min(Anchor.Column, View.Columns), std::min(Anchor.Row, View.Rows)});
  if (kept != Selected) {
    Selected = kept;
    changed = rect();
    emit SelectionChanged();
  }
  update(changed);
  return changed;
}

void BoardCanvas::AssignPictures(const std::vector<int>& numbers, const std::string& folderUtf8) {
  std::vector<PictureRequest> requests;
  std::vector<int> owners;
  for (const int n : numbers) {
    const CellPosition at = CellNumberToPosition(n, View.Columns);
    const CellRecord& record = TheBoard.Cell(at.Column, at.Row);
    if (!record.Picture.empty() && !folderUtf8.empty()) {
      requests.push_back({ResolveBoardPath(folderUtf8, record.Picture), record.Picture});
      owners.push_back(n);
    }
  }
  PictureLoadOptions options;
  options.MaxSide = BoardPictureCap(Client.width(), Client.height(), View.Columns, View.Rows, 0);
  const std::vector<PictureRef> loaded = Pictures.LoadAll(requests, options);
  for (std::size_t i = 0; i < owners.size(); ++i) {
    TBox& box = *Boxes.GridBox(owners[i]);
    if (loaded[i]) {
      box.SetPicture(SharedPixels(loaded[i]), loaded[i]->IsBitmap(), loaded[i]->SourceWidth,
                     loaded[i]->SourceHeight);
      LoadedPaths.insert(requests[i].Path);
    } else {
      box.DropPicture();
    }
  }
}

void BoardCanvas::ShowWholeBoard(const Board& board, const std::string& folderUtf8) {
  TheBoard = board;
  ShownFolder = folderUtf8;
  Shown = true;
  View.Columns = std::clamp(board.Columns, 1, MaxGridColumns);
  View.Rows = std::clamp(board.Rows, 1, MaxGridRows);
  View.ShowButtonBar = board.ShowButtonBar;
  View.ShowMessageBar = board.ShowMessageBar;
  Client = ClientSizeOf(board);
  Boxes.HideAllGridCells();
  std::vector<int> numbers;
  for (int n = 1; n <= View.Columns * View.Rows; ++n) {
    const CellPosition at = CellNumberToPosition(n, View.Columns);
    Boxes.AssignCellRecord(n, board.Cell(at.Column, at.Row), board.CenterCaptions);
    numbers.push_back(n);
  }
  LoadedPaths.clear();
  AssignPictures(numbers, folderUtf8);
  Layout.SetClientSize(Client.width(), Client.height());
  Layout.ArrangePanels();
  Layout.LayoutCells();
}

void BoardCanvas::SetProblemCells(const std::set<int>& numbers) {
  if (numbers == ProblemCells) return;
  ProblemCells = numbers;
  update();
}

void BoardCanvas::Select(const std::vector<CellPosition>& cells) {
  std::vector<CellPosition> inside;
  for (const CellPosition& at : cells)
    if (at.Column >= 1 && at.Row >= 1 && at.Column <= View.Columns && at.Row <= View.Rows)
      inside.push_back(at);
  if (inside.empty()) return;
  Selected = inside;
  Anchor = inside.front();
  update();
  emit SelectionChanged();
}

void BoardCanvas::SelectAll() {
  std::vector<CellPosition> all;
  for (int r = 1; r <= View.Rows; ++r)
    for (int c = 1; c <= View.Columns; ++c)
      all.push_back({c, r});
  const CellPosition anchor = Anchor;
  Select(all);
  Anchor = anchor;
}

std::vector<std::pair<int, std::string>> BoardCanvas::CaptionsTooWide() const {
  std::vector<std::pair<int, std::string>> wide;
  for (int n = 1; n <= View.Columns * View.Rows; ++n) {
    const TBox& box = *Boxes.GridBox(n);
    if (!box.CaptionLabel.Visible || box.CaptionLabel.Text.empty()) continue;
    const QFontMetrics metrics(ToQFont(box.CaptionFont()));
    if (metrics.horizontalAdvance(ToQString(box.CaptionLabel.Text)) > box.CaptionLabel.Bounds.Width)
      wide.emplace_back(n, box.CaptionLabel.Text);
  }
  return wide;
}

bool BoardCanvas::PictureLoaded(const std::string& pathUtf8) const {
  return LoadedPaths.count(pathUtf8) > 0;
}

QTransform BoardCanvas::ClientTransform() const {
  // Zoom to fit: the whole client area in view, centred, never enlarged beyond twice its size.
  const double scale =
      std::min({double(width() - 8) / Client.width(), double(height() - 8) / Client.height(), 2.0});
  const double s = std::max(scale, 0.05);
  const double left = (width() - Client.width() * s) / 2;
  const double top = (height() - Client.height() * s) / 2;
  return QTransform(s, 0, 0, s, left, top);
}

void BoardCanvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().color(QPalette::Dark));
  painter.setTransform(ClientTransform());
  const QRegion dirty =
      ClientTransform().inverted().map(event->region()).boundingRect().adjusted(-2, -2, 2, 2);
  PaintClientArea(painter, &dirty);
  // Selection and problem marks on top, in the same coordinates.
  for (int r = 1; r <= View.Rows; ++r)
    for (int c = 1; c <= View.Columns; ++c) {
      const QRect cell = CellRectInClient({c, r});
      if (ProblemCells.count(Number({c, r}))) {
        const QPolygon corner(
            {cell.topRight() + QPoint(-14, 0), cell.topRight(), cell.topRight() + QPoint(0, 14)});
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(220, 30, 30));
        painter.drawPolygon(corner);
      }
    }
  for (const CellPosition& at : Selected) {
    const QRect cell = CellRectInClient(at);
    painter.setBrush(QColor(30, 110, 230, 50));
    painter.setPen(QPen(QColor(30, 110, 230), 3));
    painter.drawRect(cell.adjusted(1, 1, -2, -2));
  }
  if (hasFocus() && !Selected.empty()) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(30, 110, 230), 1, Qt::DashLine));
    painter.drawRect(CellRectInClient(Anchor).adjusted(5, 5, -6, -6));
  }
}

QImage BoardCanvas::Render() {
  QImage image(Client, QImage::Format_RGB32);
  QPainter painter(&image);
  PaintClientArea(painter);
  return image;
}

void BoardCanvas::PaintClientArea(QPainter& painter, const QRegion* dirty) {
  const QRect client(QPoint(0, 0), Client);
  painter.fillRect(dirty ? dirty->boundingRect().intersected(client) : client, Qt::white);
  PaintBars(painter);
  const GridRect& area = Layout.Panels().Boxes;
  const QPoint origin(area.Left, area.Top);
  painter.save();
  painter.setClipRect(ToQRect(area), Qt::IntersectClip);
  // Only the cells that meet the repainted part: one edited cell costs one cell's painting.
  for (int n = 1; n <= View.Columns * View.Rows; ++n) {
    const TBox& box = *Boxes.GridBox(n);
    const QRect cell(origin.x() + box.Left, origin.y() + box.Top, box.Width, box.Height);
    if (dirty == nullptr || dirty->intersects(cell)) PaintBox(painter, box, origin, dirty);
  }
  painter.restore();
}

void BoardCanvas::PaintBars(QPainter& painter) {
  const PanelGeometry& panels = Layout.Panels();
  if (panels.ButtonBarVisible) {
    painter.fillRect(ToQRect(panels.ButtonBar), ToQColor(ButtonFaceColour));
    QFont bold = painter.font();
    bold.setPixelSize(11);
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    for (const ButtonPanel& panel : Layout.Buttons()) {
      if (!panel.Visible) continue;
      const QRect bounds = ToQRect(panel.Bounds);
      const QRect button(bounds.left() + 5, bounds.top() + 5, 50, 50);
      painter.fillRect(button, QColor(225, 225, 225));
      const auto index = static_cast<std::size_t>(-panel.Item - 1);
      if (index < std::size(ButtonCaptions))
        painter.drawText(QRect(button.left(), button.top() + 35, 50, 14), Qt::AlignHCenter | Qt::AlignTop,
                         ToQString(ButtonCaptions[index]));
    }
  }
  if (panels.MessageBarVisible) {
    const QRect bar = ToQRect(panels.MessageBar);
    painter.fillRect(bar, Qt::white);
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(bar.topLeft(), bar.topRight());
    painter.drawLine(bar.topLeft(), bar.bottomLeft());
  }
}

QRect BoardCanvas::CellRectInClient(CellPosition at) const {
  const TBox* box = Boxes.GridBox(Number(at));
  if (box == nullptr) return {};
  const GridRect& area = Layout.Panels().Boxes;
  return QRect(area.Left + box->Left, area.Top + box->Top, box->Width, box->Height);
}

std::optional<CellPosition> BoardCanvas::CellAt(QPoint widgetPoint) const {
  const QPoint client = ClientTransform().inverted().map(widgetPoint);
  for (int r = 1; r <= View.Rows; ++r)
    for (int c = 1; c <= View.Columns; ++c)
      if (CellRectInClient({c, r}).contains(client)) return CellPosition{c, r};
  return std::nullopt;
}

bool BoardCanvas::IsSelected(CellPosition at) const {
  return std::find(Selected.begin(), Selected.end(), at) != Selected.end();
}

void BoardCanvas::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const std::optional<CellPosition> at = CellAt(event->position().toPoint());
  if (!at || event->button() != Qt::LeftButton) return;
  PressedCell = at;
  PressPoint = event->position().toPoint();
  Dragging = false;
  if (event->modifiers() & Qt::ControlModifier) {
    std::vector<CellPosition> cells = Selected;
    const auto it = std::find(cells.begin(), cells.end(), *at);
    if (it != cells.end() && cells.size() > 1)
      cells.erase(it);
    else if (it == cells.end())
      cells.push_back(*at);
    Selected = cells;
    update();
    emit SelectionChanged();
  } else if (event->modifiers() & Qt::ShiftModifier) {
    const CellPosition anchor = Anchor;
    std::vector<CellPosition> cells;
    for (int r = std::min(anchor.Row, at->Row); r <= std::max(anchor.Row, at->Row); ++r)
      for (int c = std::min(anchor.Column, at->Column); c <= std::max(anchor.Column, at->Column); ++c)
        cells.push_back({c, r});
    Selected = cells;
    update();
    emit SelectionChanged();
  } else if (!IsSelected(*at) || Selected.size() > 1) {
    Select({*at});
  }
}

void BoardCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (PressedCell && (event->position().toPoint() - PressPoint).manhattanLength() > 8) {
    Dragging = true;
    setCursor(Qt::ClosedHandCursor);
  }
}

void BoardCanvas::mouseReleaseEvent(QMouseEvent* event) {
  unsetCursor();
  const std::optional<CellPosition> from = PressedCell;
  PressedCell.reset();
  if (!from || !Dragging) return;
  Dragging = false;
  const std::optional<CellPosition> to = CellAt(event->position().toPoint());
  if (to && !(*to == *from)) {
    emit SwapRequested(*from, *to);
    Select({*to});
  }
}

void BoardCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (CellAt(event->position().toPoint())) emit EditCaptionRequested();
}

void BoardCanvas::MoveSelection(int dx, int dy, bool extend) {
  const CellPosition last = extend && !Selected.empty() ? Selected.back() : Anchor;
  const CellPosition next{std::clamp(last.Column + dx, 1, View.Columns),
                          std::clamp(last.Row + dy, 1, View.Rows)};
  if (!extend) {
    Select({next});
    return;
  }
  std::vector<CellPosition> cells;
  for (int r = std::min(Anchor.Row, next.Row); r <= std::max(Anchor.Row, next.Row); ++r)
    for (int c = std::min(Anchor.Column, next.Column); c <= std::max(Anchor.Column, next.Column); ++c)
      if (!(CellPosition{c, r} == next)) cells.push_back({c, r});
  cells.push_back(next); // the moving corner last, so the next step starts from it
  Selected = cells;
  update();
  emit SelectionChanged();
}

void BoardCanvas::keyPressEvent(QKeyEvent* event) {
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  switch (event->key()) {
  case Qt::Key_Left:
    MoveSelection(-1, 0, extend);
    break;
  case Qt::Key_Right:
    MoveSelection(1, 0, extend);
    break;
  case Qt::Key_Up:
    MoveSelection(0, -1, extend);
    break;
  case Qt::Key_Down:
    MoveSelection(0, 1, extend);
    break;
  case Qt::Key_Home:
    MoveSelection(-MaxGridColumns, 0, extend);
    break;
  case Qt::Key_End:
    MoveSelection(MaxGridColumns, 0, extend);
    break;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    emit EditCaptionRequested();
    break;
  default:
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
}

void BoardCanvas::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void BoardCanvas::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls() && CellAt(event->position().toPoint())) event->acceptProposedAction();
}

void BoardCanvas::dropEvent(QDropEvent* event) {
  const std::optional<CellPosition> at = CellAt(event->position().toPoint());
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!at || urls.isEmpty() || !urls.front().isLocalFile()) return;
  event->acceptProposedAction();
  Select({*at});
  emit FileDropped(*at, urls.front().toLocalFile());
}

} // namespace nq
