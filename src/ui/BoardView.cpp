#include "ui/BoardView.h"

#include <QPaintEvent>

#include "linux/QtText.h"
#include "ui/BoardPainter.h"

namespace nq {
namespace {

QRect ToQRect(const GridRect& r) { return QRect(r.Left, r.Top, r.Width, r.Height); }

const char* const ButtonPictureNames[] = {"inici.png",   "anterior.png", "ultima.png",   "llegir.png", "ultim.png",
                                          "paraula.png", "esborrar.png", "parlar.png", "noparlar.png"};

std::array<QImage, 10> LoadButtonPictures(const std::string& dataFolder) {
  std::array<QImage, 10> pictures;
  for (size_t i = 0; i < std::size(ButtonPictureNames); ++i)
    pictures[i] = QImage(QString::fromStdString(dataFolder + "pictures/buttons/" + ButtonPictureNames[i]));
  return pictures;
}

void PaintButtonBarImpl(QPainter& painter, const Player& player, const std::array<QImage, 10>& pictures) {
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
    painter.drawText(QRect(button.left(), button.top() + 35, 50, 14), Qt::AlignHCenter | Qt::AlignTop,
                     ToQString(std::string(panel.Caption)));
  }
}

void PaintGridImpl(QPainter& painter, Player& player) {
  const GridRect& area = player.Layout().Panels().Boxes;
  const QPoint origin(area.Left, area.Top);
  painter.save();
  painter.setClipRect(ToQRect(area));
  const int32_t count = player.State().View.Columns * player.State().View.Rows;
  for (int32_t n = 1; n <= std::min(count, GridBoxCount); ++n) PaintBox(painter, *player.Boxes().GridBox(n), origin);
  painter.restore();
}

void PaintMessageBarImpl(QPainter& painter, Player& player) {
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
  painter.restore();
}

} // namespace

BoardView::BoardView(Player& player, const std::string& dataFolderUtf8, QWidget* parent)
    : QWidget(parent), ThePlayer(player), ButtonPictures(LoadButtonPictures(dataFolderUtf8)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void BoardView::RefreshIfChanged() {
  if (ThePlayer.Layout().Revision() == PaintedRevision) return;
  if (Timing) Timing->HoverChanged();
  update();
}

void BoardView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ThePlayer.ClientResized(width(), height());
  update();
}

void BoardView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.fillRect(rect(), Qt::white);
  PaintButtonBar(painter);
  PaintGrid(painter);
  PaintMessageBar(painter);
  PaintedRevision = ThePlayer.Layout().Revision();
  if (Timing) Timing->Painted(!ThePlayer.State().CurrentBoardFile.empty());
}

void BoardView::PaintButtonBar(QPainter& painter) { PaintButtonBarImpl(painter, ThePlayer, ButtonPictures); }
void BoardView::PaintGrid(QPainter& painter) { PaintGridImpl(painter, ThePlayer); }
void BoardView::PaintMessageBar(QPainter& painter) { PaintMessageBarImpl(painter, ThePlayer); }

QImage RenderClientArea(Player& player, const std::string& dataFolderUtf8, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  player.ClientResized(width, height);
  QPainter painter(&image);
  PaintButtonBarImpl(painter, player, LoadButtonPictures(dataFolderUtf8));
  PaintGridImpl(painter, player);
  PaintMessageBarImpl(painter, player);
  return image;
}

} // namespace nq
