// Boards painted by the player's own painter, checked pixel by pixel against the core's geometry.
#include <QImage>
#include <gtest/gtest.h>

#include "support/WindowedPlayer.h"
#include "text/Encoding.h"
#include "ui/BoardPainter.h"
#include "ui/BoardView.h"
#include "ui/HeadlessWindow.h"

namespace nq {
namespace {

constexpr int ClientWidth = 400;
constexpr int ClientHeight = 300;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb White = 0xFFFFFFFF;

// A 2 x 2 board: cell 1 a green frame with a caption and a wide blue picture, cell 2 caption only,
// cell 3 a white empty cell, cell 4 a black empty frame.
std::string BoardText(bool buttonBar) {
  return "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\nRows=2\r\n"
         "[Menu Options 2]\r\nShow Button Bar=" +
         std::string(buttonBar ? "1" : "0") +
         "\r\nShow Message Bar=0\r\n"
         "[Cell 1]\r\nCaption=HHHH\r\nPicture=blau.png\r\nFrame cell color=65280\r\nFont Size=12\r\n"
         "[Cell 2]\r\nCaption=Hola\r\nFrame cell color=0\r\n"
         "[Cell 3]\r\nFrame cell color=16777215\r\n";
}

class RenderTest : public ::testing::Test {
protected:
  void SetUp() override {
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(Folder.Path("blau.png"))));
  }

  Player& Open(bool buttonBar) {
    test::WriteBytes(Folder.Path("taula.qdx"), BoardText(buttonBar));
    PlayerPaths paths;
    paths.ProgramFolder = Folder.Root() + "/";
    Player& player = Windowed.Start(paths);
    player.Options().LoadProgramSettings();
    player.ClientResized(ClientWidth, ClientHeight);
    player.Boards().OpenBoard(Utf8ToWindows1252(Folder.Path("taula.qdx")));
    return player;
  }

  QImage Render() { return RenderClientArea(*Windowed.ThePlayer, "", ClientWidth, ClientHeight); }

  test::WindowedPlayer<HeadlessWindow> Windowed{ClientWidth, ClientHeight};
  const test::TempFolder& Folder = Windowed.Folder;
  test::VirtualClock& Clock = Windowed.Clock;
};

TEST_F(RenderTest, FramesLieInsideTheirBoundsWithThePenWidth) {
  Player& player = Open(false);
  const QImage image = Render();
  const TBox& cell = *player.Boxes().GridBox(1);
  ASSERT_TRUE(cell.Frame.Visible);
  const GridRect frame = cell.Frame.Bounds; // panel coordinates; without bars the panel is the client area
  EXPECT_EQ(frame, (GridRect{2, 2, 196, 146}));
  struct Probe {
    int X, Y;
    QRgb Colour;
  };
  const Probe probes[] = {
      {frame.Left, frame.Top + 40, Green},        {frame.Left + 1, frame.Top + 40, Green},
      {frame.Left + 2, frame.Top + 40, White},    {frame.Right() - 1, frame.Top + 40, Green},
      {frame.Right() - 2, frame.Top + 40, Green}, {frame.Right() - 3, frame.Top + 40, White},
      {frame.Left - 1, frame.Top + 40, White},    {frame.Left + 40, frame.Bottom() - 1, Green},
  };
  for (const Probe& probe : probes)
    EXPECT_EQ(image.pixel(probe.X, probe.Y), probe.Colour) << "at " << probe.X << "," << probe.Y;
}

TEST_F(RenderTest, EmptyCellsShowOnlyWhenTheirFrameIsNotWhite) {
  Player& player = Open(false);
  const QImage image = Render();
  const TBox& white = *player.Boxes().GridBox(3);
  const TBox& black = *player.Boxes().GridBox(4);
  EXPECT_FALSE(white.Frame.Visible);
  ASSERT_TRUE(black.Frame.Visible);
  EXPECT_EQ(image.pixel(white.Left + 2, white.Top + 40), White);
  EXPECT_EQ(image.pixel(black.Frame.Bounds.Left, black.Frame.Bounds.Top + 40), 0xFF000000);
}

TEST_F(RenderTest, PictureFillsItsFittedRectangleExactly) {
  Player& player = Open(false);
  const QImage image = Render();
  const CellPicture& picture = player.Boxes().GridBox(1)->PictureImage;
  ASSERT_TRUE(picture.Visible);
  const GridRect r = picture.Bounds;
  // A 2:1 picture in a taller area fills the width and is centred vertically.
  EXPECT_EQ(r.Width, 2 * r.Height + (r.Width % 2));
  EXPECT_EQ(image.pixel(r.Left + r.Width / 2, r.Top + r.Height / 2), Blue);
  EXPECT_EQ(image.pixel(r.Left + 1, r.Top + 1), Blue);
  EXPECT_EQ(image.pixel(r.Right() - 2, r.Bottom() - 2), Blue);
  EXPECT_EQ(image.pixel(r.Left + r.Width / 2, r.Top - 1), White);
  EXPECT_EQ(image.pixel(r.Left + r.Width / 2, r.Bottom()), White);
}

int DarkPixelsInRows(const QImage& image, int left, int right, int top, int bottom) {
  int dark = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (qGray(image.pixel(x, y)) < 100) ++dark;
  return dark;
}

TEST_F(RenderTest, CaptionSitsAboveThePictureOrBelowIt) {
  for (const bool below : {false, true}) {
    SCOPED_TRACE(below ? "captions below" : "captions on top");
    Player& player = Open(false);
    if (below) player.MenuClick("MenuCaptionDown");
    const QImage image = Render();
    const TBox& cell = *player.Boxes().GridBox(1);
    const GridRect caption = cell.CaptionLabel.Bounds;
    const GridRect picture = cell.PictureImage.Bounds;
    if (below)
      EXPECT_GT(caption.Top, picture.Bottom());
    else
      EXPECT_LT(caption.Bottom(), picture.Top + 1);
    // Margin and frame thickness (3 + 2) separate the caption from the frame's top or bottom edge.
    if (below)
      EXPECT_EQ(caption.Bottom(), cell.Frame.Bounds.Bottom() - 3 - 2);
    else
      EXPECT_EQ(caption.Top, cell.Frame.Bounds.Top + 3 + 2);
    // The caption's letters are painted inside its rectangle.
    EXPECT_GT(DarkPixelsInRows(image, caption.Left, caption.Right(), caption.Top, caption.Bottom()), 20);
  }
}

TEST_F(RenderTest, HoveredCellGetsARedFrameAndLiftsTwoPixels) {
  Player& player = Open(false);
  const GridRect before = player.Boxes().GridBox(2)->Frame.Bounds;
  player.HandleMouseEvent(MouseEventKind::Move, before.Left + 50, before.Top + 50);
  const QImage image = Render();
  const TBox& cell = *player.Boxes().GridBox(2);
  EXPECT_EQ(cell.Frame.PenColour, HighlightColour);
  EXPECT_EQ(cell.Frame.Bounds.Left, before.Left - 2);
  EXPECT_EQ(cell.Frame.Bounds.Top, before.Top - 2);
  EXPECT_EQ(image.pixel(cell.Frame.Bounds.Left, cell.Frame.Bounds.Top + 40), Red);
  // The neighbour keeps its own colour.
  const TBox& other = *player.Boxes().GridBox(1);
  EXPECT_EQ(image.pixel(other.Frame.Bounds.Left, other.Frame.Bounds.Top + 40), Green);
}

TEST_F(RenderTest, HoveredButtonPanelTurnsRedAndOthersStayPlain) {
  Player& player = Open(true);
  const GridRect bar = player.Layout().Panels().ButtonBar;
  ASSERT_TRUE(player.Layout().Panels().ButtonBarVisible);
  EXPECT_EQ(bar.Height, 65);
  player.HandleMouseEvent(MouseEventKind::Move, 60 + 30, bar.Top + 30); // "Anterior"
  const QImage image = Render();
  EXPECT_EQ(player.Layout().HighlightedButton, -2);
  EXPECT_EQ(image.pixel(60 + 2, bar.Top + 2), Red);
  EXPECT_NE(image.pixel(0 + 2, bar.Top + 2), Red);
  EXPECT_NE(image.pixel(120 + 2, bar.Top + 2), Red);
}

TEST_F(RenderTest, AFullMessageBarFlashesInTheHighlightColourForAMoment) {
  Player& player = Open(false);
  player.MenuClick("MenuVerBarraDeEscribirMensaje");
  const PanelGeometry& panels = player.Layout().Panels();
  ASSERT_TRUE(panels.MessageBarVisible);
  const int32_t room = player.State().View.VisibleMessageCells;
  for (int32_t i = 0; i < room; ++i)
    player.Activations().ActivateCell(2);
  const QPoint edge(panels.MessageBar.Left + panels.MessageBar.Width / 2, panels.MessageBar.Bottom() - 1);
  EXPECT_NE(Render().pixel(edge), Red);
  player.Activations().ActivateCell(2);
  EXPECT_EQ(Render().pixel(edge), Red);
  Clock.Advance(MessageBarFlashMs);
  EXPECT_NE(Render().pixel(edge), Red);
}

} // namespace
} // namespace nq

namespace nq {
namespace {

// A scan step repaints only the border of a frame whose colour changed; for every pen width that
// border must cover the whole pen, or pieces of the old highlight would stay on screen.
TEST_F(RenderTest, RepaintingOnlyAFrameRingLeavesNoTraceOfTheOldColour) {
  for (const int pen : {1, 2, 3, 5}) {
    SCOPED_TRACE(pen);
    Player& player = Open(false);
    player.MutableState().View.FrameThickness = pen;
    player.Layout().LayoutCells();
    BoardView view(player, "");
    view.resize(ClientWidth, ClientHeight);
    QImage partial(ClientWidth, ClientHeight, QImage::Format_RGB32);
    view.render(&partial);
    TBox& box = *player.Boxes().GridBox(2);
    ASSERT_EQ(box.Frame.PenWidth, pen);
    box.Frame.PenColour = HighlightColour;
    const GridRect& area = player.Layout().Panels().Boxes;
    const QRegion ring = FrameRing(box.Frame.Bounds, pen, QPoint(area.Left, area.Top));
    view.render(&partial, ring.boundingRect().topLeft(), ring); // the region keeps its place
    QImage full(ClientWidth, ClientHeight, QImage::Format_RGB32);
    view.render(&full);
    int differing = 0;
    QPoint first;
    for (int y = 0; y < ClientHeight; ++y)
      for (int x = 0; x < ClientWidth; ++x)
        if (partial.pixel(x, y) != full.pixel(x, y) && differing++ == 0) first = QPoint(x, y);
    EXPECT_EQ(differing, 0) << "first at " << first.x() << "," << first.y() << " partial " << std::hex
                            << partial.pixel(first) << " full " << full.pixel(first);
    EXPECT_EQ(full.pixel(area.Left + box.Frame.Bounds.Left, area.Top + box.Frame.Bounds.Top), Red);
  }
}

TEST_F(RenderTest, ScanStepsRepaintingTheirRingsAloneLookLikeAFullPaint) {
  // A 3 x 3 board of captions and empty frames, one picture, scanned row by row and cell by cell.
  std::string text = "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=3\r\nRows=3\r\n"
                     "[Menu Options 2]\r\nShow Button Bar=0\r\nShow Message Bar=0\r\n";
  for (int n = 1; n <= 9; ++n)
    text += "[Cell " + std::to_string(n) + "]\r\nCaption=C" + std::to_string(n) +
            "\r\nFrame cell color=" + std::to_string(n * 1000) + "\r\n" +
            (n == 9 ? "Picture=blau.png\r\n" : "");
  for (const int pen : {1, 4}) {
    SCOPED_TRACE(pen);
    Player& player = Open(false);
    test::WriteBytes(Folder.Path("escaneig.qdx"), text);
    player.Boards().OpenBoard(Utf8ToWindows1252(Folder.Path("escaneig.qdx")));
    player.MutableState().View.FrameThickness = pen;
    player.Layout().LayoutCells();
    BoardView view(player, "");
    view.resize(ClientWidth, ClientHeight);
    view.RefreshIfChanged();
    QImage partial(ClientWidth, ClientHeight, QImage::Format_RGB32);
    view.render(&partial);
    ASSERT_TRUE(player.MenuClick("MenuEscaneigAutomatic"));
    for (int step = 0; step < 8; ++step) {
      if (step == 4) { // a click: into the highlighted row
        player.HandleMouseEvent(MouseEventKind::LeftPress, 50, 50);
        player.HandleMouseEvent(MouseEventKind::LeftRelease, 50, 50);
      }
      Clock.Advance(static_cast<uint64_t>(player.State().ScanStepMs));
      const QRegion region = view.RefreshIfChanged();
      ASSERT_FALSE(region.isEmpty()) << "step " << step;
      view.render(&partial, region.boundingRect().topLeft(), region);
      QImage full(ClientWidth, ClientHeight, QImage::Format_RGB32);
      view.render(&full);
      ASSERT_EQ(partial, full) << "step " << step;
    }
    EXPECT_GT(view.RingPaints, 0u) << "no step was painted by its rings alone";
  }
}

} // namespace
} // namespace nq
