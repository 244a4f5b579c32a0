// The visual access options as painted: the dwell progress bar at several fractions and its repaints
// of the growing strip alone, the low-vision highlight's ring, colour and inverted cell, and scan steps
// with that highlight repainting only what changed yet looking exactly like a full paint.
#include <QImage>
#include <gtest/gtest.h>

#include "shell/Player.h"
#include "support/WindowedPlayer.h"
#include "text/Encoding.h"
#include "ui/BoardPainter.h"
#include "ui/BoardView.h"
#include "ui/HeadlessWindow.h"

namespace nq {
namespace {

constexpr int ClientWidth = 400;
constexpr int ClientHeight = 300;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Green = 0xFF00FF00;

// A 2 x 2 board: cell 1 a green frame, a caption and a blue picture; cells 2 to 4 captions in black frames.
std::string BoardText(bool buttonBar) {
  return "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\nRows=2\r\n"
         "[Menu Options 2]\r\nShow Button Bar=" +
         std::string(buttonBar ? "1" : "0") +
         "\r\nShow Message Bar=0\r\n"
         "[Cell 1]\r\nCaption=HHHH\r\nPicture=blau.png\r\nFrame cell color=65280\r\nFont Size=12\r\n"
         "[Cell 2]\r\nCaption=Hola\r\nFrame cell color=0\r\n"
         "[Cell 3]\r\nCaption=Adeu\r\nFrame cell color=0\r\n"
         "[Cell 4]\r\nCaption=Mama\r\nPicture=blau.png\r\nFrame cell color=0\r\n";
}

QRgb Rgb(int32_t colour) {
  return ToQColor(colour).rgb();
}

class VisualAccessRender : public ::testing::Test {
protected:
  void SetUp() override {
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(Host.Folder.Path("blau.png"))));
  }
  void TearDown() override { View.reset(); }

  Player& Open(bool buttonBar) {
    View.reset();
    const std::string board = Host.Folder.Write("taula.qdx", BoardText(buttonBar));
    PlayerPaths paths;
    paths.ProgramFolder = Host.Folder.Root() + "/";
    Player& player = Host.Start(paths);
    player.Options().LoadProgramSettings();
    player.ClientResized(ClientWidth, ClientHeight);
    player.Boards().OpenBoard(Utf8ToWindows1252(board));
    ThePlayer = &player;
    View = std::make_unique<BoardView>(player, "");
    View->resize(ClientWidth, ClientHeight);
    View->RefreshIfChanged();
    Partial = Full();
    return player;
  }

  QImage Full() {
    QImage image(ClientWidth, ClientHeight, QImage::Format_RGB32);
    View->render(&image);
    return image;
  }
  // Paints only the region the view asked for onto the image kept from before, as the screen would.
  void PaintPartially(const QRegion& region) {
    if (!region.isEmpty()) View->render(&Partial, region.boundingRect().topLeft(), region);
  }
  // Client coordinates of a grid cell's frame.
  QRect FrameOf(int32_t cell) const {
    const GridRect& f = ThePlayer->Boxes().GridBox(cell)->Frame.Bounds;
    const GridRect& grid = ThePlayer->Layout().Panels().Boxes;
    return QRect(grid.Left + f.Left, grid.Top + f.Top, f.Width, f.Height);
  }
  void PointAt(int32_t cell) {
    const QPoint centre = FrameOf(cell).center();
    Window.PointerX = centre.x();
    Window.PointerY = centre.y();
  }

  test::WindowedPlayer<HeadlessWindow> Host{ClientWidth, ClientHeight};
  test::VirtualClock& Clock = Host.Clock;
  HeadlessWindow& Window = Host.Window;
  Player* ThePlayer = nullptr;
  std::unique_ptr<BoardView> View;
  QImage Partial;
};

TEST_F(VisualAccessRender, DwellBarFillsFromTheLeftInTheHighlightColourAndRepaintsOnlyItsNewStrip) {
  Player& player = Open(false);
  ASSERT_TRUE(player.MenuClick(std::string(DwellProgressItemName)));
  ASSERT_TRUE(player.MenuClick("MenuClicAutomaticALEstarEnUnacasella"));
  PointAt(4);
  const uint64_t start = Clock.Now;
  const auto dwell = static_cast<double>(player.State().DwellTickMs);
  // The pointer arrived as the dwell timer started: the first frame (40 ms on) sees it, and the click
  // comes two ticks later. Stop short of it.
  for (const double fraction : {0.25, 0.5, 0.75, 0.9}) {
    SCOPED_TRACE(fraction);
    Clock.Advance(start + 40 + static_cast<uint64_t>(fraction * (2 * dwell - 40)) - Clock.Now);
    // The dwell tick lights and lifts the cell under the pointer; the program repaints after each.
    PaintPartially(View->RefreshIfChanged());
    PaintPartially(View->RefreshDwellProgress());
    const DwellIndicator& bar = player.Modes().Progress().Indicator();
    ASSERT_TRUE(bar.Visible);
    EXPECT_NEAR(double(bar.Filled) / bar.Track.Width, fraction, 0.04);
    const QImage full = Full();
    const QRect frame = FrameOf(4);
    EXPECT_TRUE(frame.contains(QRect(bar.Track.Left, bar.Track.Top, bar.Track.Width, bar.Track.Height)));
    for (const int y : {bar.Track.Top, bar.Track.Bottom() - 1}) {
      EXPECT_EQ(full.pixel(bar.Track.Left, y), Rgb(HighlightColour));
      EXPECT_EQ(full.pixel(bar.Track.Left + bar.Filled - 1, y), Rgb(HighlightColour));
      EXPECT_NE(full.pixel(bar.Track.Left + bar.Filled + 1, y), Rgb(HighlightColour));
    }
    EXPECT_NE(full.pixel(bar.Track.Left + bar.Filled / 2, bar.Track.Top - 1), Rgb(HighlightColour));
    ASSERT_EQ(Partial, full);
  }
  EXPECT_GT(View->DwellGrowPaints, 0u) << "no frame was painted by its new strip alone";
  // Leaving the cell gives it back whole.
  Window.PointerX = Window.PointerY = -1;
  Clock.Advance(40);
  PaintPartially(View->RefreshDwellProgress());
  EXPECT_FALSE(player.Modes().Progress().Indicator().Visible);
  EXPECT_EQ(Partial, Full());
  EXPECT_TRUE(player.Boxes().GridBox(4)->PictureImage.Visible);
}

struct StyleCase {
  int32_t Width;
  int32_t Colour;
  bool Invert;
};

TEST_F(VisualAccessRender, HoveredCellShowsTheChosenWidthColourAndInversion) {
  const StyleCase cases[] = {{0, HighlightColour, false},
                             {12, HighlightColours[1], false},
                             {20, HighlightColours[2], true},
                             {0, HighlightColours[4], true}};
  for (const StyleCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + " " + std::to_string(c.Colour) + (c.Invert ? " inverted" : ""));
    Player& player = Open(false);
    player.VisualOptions().SetHighlightWidth(c.Width);
    player.VisualOptions().SetHighlightColour(c.Colour);
    if (c.Invert) player.VisualOptions().MenuInvertirResaltadoClick();
    const QRect before = FrameOf(2);
    player.HandleMouseEvent(MouseEventKind::Move, before.center().x(), before.center().y());
    PaintPartially(View->RefreshIfChanged());
    const QImage image = Full();
    EXPECT_EQ(Partial, image);
    const QRect frame = FrameOf(2);
    const int pen = player.Boxes().GridBox(2)->Frame.PenWidth;
    const int ring = std::max(pen, c.Width); // the cells are wide enough for the full width
    const int y = frame.center().y();
    EXPECT_EQ(image.pixel(frame.left(), y), Rgb(c.Colour));
    EXPECT_EQ(image.pixel(frame.left() + ring - 1, y), Rgb(c.Colour));
    EXPECT_EQ(image.pixel(frame.right() - ring + 1, y), Rgb(c.Colour));
    EXPECT_EQ(image.pixel(frame.left() + ring + 1, y), c.Invert ? Black : White);
    // The caption stays readable: dark on light, or light on dark when inverted.
    const CellCaption& caption = player.Boxes().GridBox(2)->CaptionLabel;
    const GridRect& grid = player.Layout().Panels().Boxes;
    int light = 0;
    int dark = 0;
    for (int cy = grid.Top + caption.Bounds.Top; cy < grid.Top + caption.Bounds.Bottom(); ++cy)
      for (int cx = grid.Left + caption.Bounds.Left; cx < grid.Left + caption.Bounds.Right(); ++cx)
        ++(qGray(image.pixel(cx, cy)) > 128 ? light : dark);
    EXPECT_GT(std::min(light, dark), 0)
        << "no text to read in " << caption.Bounds.Left << "," << caption.Bounds.Top << " "
        << caption.Bounds.Width << "x" << caption.Bounds.Height << " " << caption.Visible;
    EXPECT_EQ(dark > light, c.Invert);
    // A wide ring runs round the caption, which is inverted with the rest of the cell.
    EXPECT_EQ(image.pixel(grid.Left + caption.Bounds.Left, grid.Top + caption.Bounds.Top),
              c.Invert ? Black : White);
    // The neighbour keeps its own frame.
    EXPECT_EQ(image.pixel(FrameOf(1).left(), FrameOf(1).center().y()), Green);
  }
}

TEST_F(VisualAccessRender, ScanStepsWithAStyledHighlightRepaintOnlyWhatChangedAndLookLikeAFullPaint) {
  const StyleCase cases[] = {
      {12, HighlightColour, false}, {0, HighlightColours[3], true}, {20, HighlightColours[2], true}};
  for (const StyleCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + (c.Invert ? " inverted" : ""));
    Player& player = Open(true);
    player.VisualOptions().SetHighlightWidth(c.Width);
    player.VisualOptions().SetHighlightColour(c.Colour);
    if (c.Invert) player.VisualOptions().MenuInvertirResaltadoClick();
    PaintPartially(View->RefreshIfChanged());
    ASSERT_TRUE(player.MenuClick("MenuEscaneigAutomatic"));
    bool sawButtons = false;
    for (int step = 0; step < 8; ++step) {
      if (step == 5) { // a click: into the highlighted row
        player.HandleMouseEvent(MouseEventKind::LeftPress, 50, 150);
        player.HandleMouseEvent(MouseEventKind::LeftRelease, 50, 150);
      }
      Clock.Advance(static_cast<uint64_t>(player.State().ScanStepMs));
      const QRegion region = View->RefreshIfChanged();
      ASSERT_FALSE(region.isEmpty()) << "step " << step;
      EXPECT_LT(region.boundingRect().width() * region.boundingRect().height(), ClientWidth * ClientHeight)
          << "step " << step << " repainted the whole window";
      PaintPartially(region);
      const QImage full = Full();
      ASSERT_EQ(Partial, full) << "step " << step;
      const ButtonPanel& first = player.Layout().Buttons()[0];
      if (first.Highlighted) {
        sawButtons = true;
        // The button inside the panel is inverted when asked: its light face turns dark.
        const QColor face = QColor::fromRgb(full.pixel(first.Bounds.Left + 30, first.Bounds.Top + 20));
        EXPECT_EQ(face.lightness() < 128, c.Invert) << "step " << step;
      }
    }
    EXPECT_TRUE(sawButtons);
  }
}

} // namespace
} // namespace nq
