#pragma once
// The board as the player shows it, drawn by the player's own layout and painter at the client size
// the board stores, scaled to fit the editor's window. Cells are chosen with the mouse and the arrow
// keys; a cell dragged onto another swaps them; files dropped on a cell become its picture.
#include <QImage>
#include <QWidget>
#include <array>
#include <memory>
#include <set>
#include <vector>

#include "boards/Board.h"
#include "boards/CellBoxes.h"
#include "boards/CellMarks.h"
#include "boards/GridLayout.h"
#include "boards/PictureCache.h"
#include "linux/QtImageScaler.h"
#include "linux/QtTextMetrics.h"

namespace nq {

class PictureDiskCache;

// Menu-option marks ("V - ") belong to the running player; the editor shows captions as written.
class NoCellMarks final : public CellMarkSettings {
public:
  std::string ReadSettingText(std::string_view, std::string_view, std::string_view def) override {
    return std::string(def);
  }
  int32_t ReadSettingInteger(std::string_view, std::string_view, int32_t def) override { return def; }
  bool ReadSettingFlag(std::string_view, std::string_view, bool) override { return false; }
};

/// The client size the player's window gets for a board's stored window size.
QSize ClientSizeOf(const Board& board);

class BoardCanvas : public QWidget {
  Q_OBJECT
public:
  explicit BoardCanvas(PictureDiskCache* disk, QWidget* parent = nullptr);

  /// Shows the board (pictures resolved in folderUtf8, "/" at the end); keeps the selection that fits.
  /// When only cells changed since the last board shown, only they are placed and repainted. Returns
  /// the part of the widget that changed.
  QRegion ShowBoard(const Board& board, const std::string& folderUtf8);
  /// Cells whose problems are marked with a red corner.
  void SetProblemCells(const std::set<int>& numbers);

  const std::vector<CellPosition>& Selection() const { return Selected; }
  void Select(const std::vector<CellPosition>& cells);
  void SelectAll();

  /// Captions wider than their cell as laid out now (cell numbers with their captions, Windows-1252).
  std::vector<std::pair<int, std::string>> CaptionsTooWide() const;
  /// Whether the picture file at the path loaded for the canvas (for the problems list).
  bool PictureLoaded(const std::string& pathUtf8) const;

  /// The board painted at its client size, as the player would (for tests and benchmarks).
  QImage Render();

signals:
  void SelectionChanged();
  void SwapRequested(CellPosition from, CellPosition to);
  void FileDropped(CellPosition at, const QString& path);
  void EditCaptionRequested();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void PaintClientArea(QPainter& painter, const QRegion* dirty = nullptr);
  void ShowWholeBoard(const Board& board, const std::string& folderUtf8);
  void AssignPictures(const std::vector<int>& numbers, const std::string& folderUtf8);
  void PaintBars(QPainter& painter);
  QTransform ClientTransform() const;
  std::optional<CellPosition> CellAt(QPoint widgetPoint) const;
  QRect CellRectInClient(CellPosition at) const;
  int Number(CellPosition at) const { return CellNumber(at.Column, at.Row, TheBoard.Columns); }
  bool IsSelected(CellPosition at) const;
  void MoveSelection(int dx, int dy, bool extend);

  QtTextMetrics Metrics;
  QtImageScaler Scaler;
  NoCellMarks Marks;
  CellBoxes Boxes;
  GridViewState View;
  GridLayout Layout;
  PictureCache Pictures;
  std::set<std::string> LoadedPaths;
  Board TheBoard;
  std::string ShownFolder;
  bool Shown = false;
  QSize Client;
  std::vector<CellPosition> Selected;
  CellPosition Anchor{1, 1};
  std::set<int> ProblemCells;
  std::optional<CellPosition> PressedCell;
  QPoint PressPoint;
  bool Dragging = false;
};

} // namespace nq
