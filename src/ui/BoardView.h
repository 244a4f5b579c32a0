#pragma once
// PanelFons: the whole client area painted in one widget from the core's state: the button bar,
// the grid of cells and the message bar. No child widget per cell.
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <array>
#include <vector>

#include "shell/Player.h"
#include "ui/PaintTiming.h"

namespace nq {

// A frame ring to fill with its new pen colour at the next paint.
struct RingPaint {
  QRect Frame;
  int PenWidth = 0;
  QColor Colour;
};

class BoardView : public QWidget {
  Q_OBJECT
public:
  BoardView(Player& player, const std::string& dataFolderUtf8, QWidget* parent = nullptr);

  /// Timing lines for the benchmarks; null when not wanted.
  PaintTiming* Timing = nullptr;

  /// Repaints when the core's painted state changed since the last paint; returns the region it asked
  /// to repaint.
  QRegion RefreshIfChanged();
  /// Repaints what changed of the dwell progress bar alone; returns the region it asked to repaint.
  QRegion RefreshDwellProgress();
  /// Paints that filled the growing part of the dwell progress bar alone, for the tests.
  uint64_t DwellGrowPaints = 0;
  /// Paints that filled frame rings alone (scan steps), for the tests.
  uint64_t RingPaints = 0;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  // What one box looked like when it was last painted, to repaint only the boxes that changed.
  struct BoxLook {
    GridRect Cell;
    bool FrameVisible = false;
    GridRect Frame;
    int32_t PenWidth = 0;
    int32_t Pen = 0;
    int32_t Ring = 0;
    bool Inverted = false;
    bool CaptionVisible = false;
    std::string Caption;
    int Alignment = 0;
    bool PictureVisible = false;
    GridRect Picture;
    std::shared_ptr<const Image> Painted;
    bool operator==(const BoxLook&) const = default;
  };
  struct ViewLook {
    PanelGeometry Panels;
    std::array<int32_t, ButtonPanelCount> ButtonColours{};
    bool SpeechOn = false;
    int32_t MessageCells = 0;
    bool Letters = false;
    bool Flash = false;
    HighlightStyle Highlight; // the button bar draws it
    std::vector<BoxLook> Boxes;
    std::vector<BoxLook> MessageBoxes;
    std::vector<char> RingAlone; // per grid box: its frame ring can be repainted by itself
  };

  ViewLook CurrentLook() const;
  QRegion ChangedRegion(const ViewLook& now) const;
  /// Takes the frame pens and button colours the core shows now into the look shown; returns where
  /// they changed.
  QRegion ChangedPens();
  void PaintButtonBar(QPainter& painter);
  void PaintMessageBar(QPainter& painter);

  Player& ThePlayer;
  std::array<QImage, 10> ButtonPictures; // the eight buttons, then speech on and off for "Símbol"
  uint64_t PaintedRevision = ~uint64_t{0};
  uint64_t PaintedContent = ~uint64_t{0}; // the layout's content revision of the look shown
  std::vector<RingPaint> PendingRings;
  QRegion PendingRingRegion;
  bool RingsBlocked = false; // something besides lone rings waits to be painted
  DwellIndicator ShownDwell; // the dwell progress bar as last asked to be painted
  QRegion PendingDwellGrow;  // only the bar grew there since the last paint
  ViewLook Shown;
  bool ShownValid = false;
};

/// The pictures of the button bar: its eight buttons, then speech on and off for "Símbol".
std::array<QImage, 10> LoadButtonPictures(const std::string& dataFolderUtf8);
/// Paints the player's button bar, when shown, in client coordinates.
void PaintPlayerButtonBar(QPainter& painter, const Player& player, const std::array<QImage, 10>& pictures);
/// Paints the player's message bar and its cells, when shown, in client coordinates.
void PaintPlayerMessageBar(QPainter& painter, Player& player);

/// Paints the filled part of the dwell progress bar, in client coordinates.
void PaintDwellProgress(QPainter& painter, const DwellIndicator& indicator);

/// Paints the whole client area of a player into an image of its client size (for the render tool).
QImage RenderClientArea(Player& player, const std::string& dataFolderUtf8, int width, int height);

} // namespace nq
