#include "boards/TBox.h"

#include <gtest/gtest.h>

#include "boards/CellBoxes.h"
#include "boards/ScaledPictureSource.h"
#include "support/CellTestFakes.h"

namespace nq {
namespace {

using test::FakeMarkSettings;
using test::FakeScaler;
using test::FakeTextMetrics;
using test::SolidPicture;

std::string Describe(const GridRect& r) {
  return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Width) + "," +
         std::to_string(r.Height) + ")";
}

struct GeometryCase {
  const char* name;
  GridRect cell;
  int s, t, captionHeight;
  bool hasCaption, below;
  GridRect frame, caption, area;
};

TEST(CellGeometry, FrameCaptionAndPictureArea) {
  const GeometryCase cases[] = {
      {"caption on top",
       {0, 0, 100, 80},
       2,
       2,
       16,
       true,
       false,
       {2, 2, 96, 76},
       {7, 7, 86, 16},
       {5, 26, 90, 47}},
      {"caption below",
       {0, 0, 100, 80},
       2,
       2,
       16,
       true,
       true,
       {2, 2, 96, 76},
       {7, 57, 86, 16},
       {5, 7, 90, 47}},
      {"no caption", {0, 0, 100, 80}, 2, 2, 16, false, false, {2, 2, 96, 76}, {7, 7, 86, 0}, {5, 7, 90, 66}},
      {"no gap, thin pen, offset cell",
       {117, 83, 117, 83},
       0,
       1,
       14,
       true,
       false,
       {117, 83, 117, 83},
       {121, 87, 109, 14},
       {120, 104, 111, 58}},
      {"thick pen below",
       {0, 0, 60, 60},
       3,
       6,
       10,
       true,
       true,
       {3, 3, 54, 54},
       {12, 38, 36, 10},
       {6, 12, 48, 23}},
  };
  for (const auto& c : cases) {
    const CellGeometry g = ComputeCellGeometry(c.cell, c.s, c.t, c.captionHeight, c.hasCaption, c.below);
    EXPECT_EQ(g.Frame, c.frame) << c.name << " frame " << Describe(g.Frame);
    EXPECT_EQ(g.Caption, c.caption) << c.name << " caption " << Describe(g.Caption);
    EXPECT_EQ(g.PictureArea, c.area) << c.name << " area " << Describe(g.PictureArea);
  }
}

TEST(CellGeometry, RoundsHalvesToEven) {
  const std::pair<double, int> cases[] = {
      {0.5, 0},   {1.5, 2},  {2.5, 2},  {22.5, 22}, {67.5, 68},         {-0.5, 0},
      {-1.5, -2}, {2.49, 2}, {2.51, 3}, {70.5, 70}, {1e12, 2147483647}, {-1e12, -2147483647 - 1}};
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

struct FitCase {
  const char* name;
  GridRect area;
  int pw, ph;
  GridRect expected;
};

TEST(CellGeometry, FitsPicturesKeepingTheirShape) {
  const FitCase cases[] = {
      {"wide picture fills the height", {0, 0, 90, 40}, 400, 200, {5, 0, 80, 40}},
      {"very wide picture fills the width", {0, 0, 90, 47}, 400, 100, {0, 12, 90, 22}},
      {"height 22.5 rounds to even", {0, 0, 90, 40}, 4, 1, {0, 9, 90, 22}},
      {"height 67.5 rounds up to even", {0, 0, 90, 70}, 4, 3, {0, 1, 90, 68}},
      {"width 70.5 rounds down to even", {0, 0, 90, 47}, 3, 2, {10, 0, 70, 47}},
      {"same shape fills the height exactly", {5, 26, 90, 47}, 180, 94, {5, 26, 90, 47}},
      {"small picture is enlarged to fit", {5, 26, 90, 47}, 10, 10, {26, 26, 47, 47}},
      {"tall picture", {0, 0, 90, 47}, 100, 400, {39, 0, 12, 47}},
      {"no picture size gives a centred square", {0, 0, 90, 47}, 0, 0, {21, 0, 47, 47}},
      {"no size in a tall area", {0, 0, 40, 90}, 0, 0, {0, 25, 40, 40}},
      {"zero height area", {0, 0, 90, 0}, 10, 10, {45, 0, 0, 0}},
      {"collapsed cell stays collapsed", {0, 0, -6, -6}, 10, 10, {0, 0, -6, -6}},
  };
  for (const auto& c : cases) {
    const GridRect fitted = FitPicture(c.area, c.pw, c.ph);
    EXPECT_EQ(fitted, c.expected) << c.name << " got " << Describe(fitted);
  }
}

class ShowCellTest : public ::testing::Test {
protected:
  FakeTextMetrics metrics;
  FakeScaler scaler;
  FakeMarkSettings settings;
  CellBoxes boxes{metrics, scaler, settings};
  CellShowOptions options;

  TBox& Cell(const std::string& caption, int32_t frameColour = BlackColour) {
    TBox& box = *boxes.GridBox(1);
    CellRecord record;
    record.Caption = caption;
    record.FrameCellColour = frameColour;
    boxes.AssignCellRecord(1, record, false);
    box.Left = 0;
    box.Top = 0;
    box.Width = 100;
    box.Height = 80;
    return box;
  }
};

struct PathCase {
  const char* name;
  int pw, ph;
  bool isBitmap, scalerFails;
  GridRect rect;
  PictureScaling path;
  int scalerCalls;
};

TEST_F(ShowCellTest, ChoosesTheScalingPathByWidth) {
  // Caption 16 px on top in a 100 x 80 cell: the picture area is (5, 26, 90, 47).
  const PathCase cases[] = {
      {"large bitmap shrinks smoothly",
       400,
       200,
       true,
       false,
       {5, 27, 90, 45},
       PictureScaling::HalftoneShrink,
       1},
      {"one pixel too wide still shrinks",
       91,
       45,
       true,
       false,
       {5, 27, 90, 45},
       PictureScaling::HalftoneShrink,
       1},
      {"height 4.5 rounds to 4", 100, 5, true, false, {5, 47, 90, 4}, PictureScaling::HalftoneShrink, 1},
      {"exact width is stretched", 90, 45, true, false, {5, 27, 90, 45}, PictureScaling::PlatformStretch, 0},
      {"small picture is enlarged", 40, 20, true, false, {5, 27, 90, 45}, PictureScaling::PlatformStretch, 0},
      {"non-bitmap picture is stretched",
       400,
       200,
       false,
       false,
       {5, 27, 90, 45},
       PictureScaling::PlatformStretch,
       0},
      {"failing scaler falls back",
       400,
       200,
       true,
       true,
       {5, 27, 90, 45},
       PictureScaling::PlatformStretch,
       1},
  };
  for (const auto& c : cases) {
    scaler.Calls = 0;
    scaler.Fail = c.scalerFails;
    TBox& box = Cell("Hola");
    box.Picture = "p.png";
    auto picture = SolidPicture(c.pw, c.ph);
    box.SetPicture(picture, c.isBitmap);
    boxes.ShowCell(box, options);
    EXPECT_TRUE(box.PictureImage.Visible) << c.name;
    EXPECT_EQ(box.PictureImage.Bounds, c.rect) << c.name << " got " << Describe(box.PictureImage.Bounds);
    EXPECT_EQ(box.PictureImage.Scaling, c.path) << c.name;
    EXPECT_EQ(scaler.Calls, c.scalerCalls) << c.name;
    const Image* painted = box.PaintedImage();
    ASSERT_NE(painted, nullptr) << c.name;
    if (c.path == PictureScaling::HalftoneShrink) {
      EXPECT_EQ(painted->Width, c.rect.Width) << c.name;
      EXPECT_EQ(painted->Height, c.rect.Height) << c.name;
    } else {
      EXPECT_EQ(painted, picture.get()) << c.name;
    }
  }
}

TEST_F(ShowCellTest, HoverRepaintsAndTheLiftNeverScaleAgain) {
  TBox& box = Cell("Hola");
  box.Picture = "p.png";
  box.SetPicture(SolidPicture(400, 200), true);
  boxes.ShowCell(box, options);
  boxes.ShowCell(box, options);
  box.Left -= 2; // the 3D lift moves the picture but keeps its size
  box.Top -= 2;
  boxes.ShowCell(box, options);
  EXPECT_EQ(scaler.Calls, 1);
  EXPECT_EQ(metrics.Calls, 1);
  EXPECT_EQ((GridRect{box.DrawnLeft, box.DrawnTop, box.DrawnWidth, box.DrawnHeight}),
            (GridRect{3, 25, 90, 45}));

  box.Width = 200; // a resize scales once more, from the full-size picture
  boxes.ShowCell(box, options);
  EXPECT_EQ(scaler.Calls, 2);

  FontSpec bigger;
  bigger.Size = 20;
  box.SetCaptionFont(bigger);
  boxes.ShowCell(box, options);
  EXPECT_EQ(metrics.Calls, 2);
}

TEST_F(ShowCellTest, PicturelessOrCollapsedCellsDrawNoPicture) {
  TBox& box = Cell("Hola");
  box.Picture = "missing.png"; // a name without a held picture
  boxes.ShowCell(box, options);
  EXPECT_FALSE(box.PictureImage.Visible);

  box.SetPicture(SolidPicture(50, 50), true);
  box.Width = 10; // narrower than the gaps and margins
  box.Height = 10;
  boxes.ShowCell(box, options);
  EXPECT_FALSE(box.PictureImage.Visible);
  EXPECT_EQ(scaler.Calls, 0);

  box.DropPicture();
  EXPECT_TRUE(box.Picture.empty());
  EXPECT_EQ(box.HeldPicture(), nullptr);
}

struct PenCase {
  const char* name;
  bool hovered;
  int scanMode;
  bool restMode;
  const char* specialFunction;
  const char* caption;
  int32_t expectedPen;
};

TEST_F(ShowCellTest, FramePenFollowsTheHoverRule) {
  constexpr int32_t own = 0x00AA00;
  constexpr int32_t previous = 0x123456; // "unchanged" keeps whatever pen the frame had
  const PenCase cases[] = {
      {"not hovered", false, 0, false, "", "A", own},
      {"hovered", true, 0, false, "", "A", HighlightColour},
      {"hovered while scanning", true, 1, false, "", "A", own},
      {"hovered in rest mode", true, 0, true, "", "A", previous},
      {"rest cell in rest mode", true, 0, true, "<NEXO_REPOSAR>", "", HighlightColour},
      {"hovered cell with nothing in it", true, 0, false, "", "", previous},
  };
  for (const auto& c : cases) {
    TBox& box = Cell(c.caption, own);
    box.SpecialFunction = c.specialFunction;
    box.Frame.PenColour = previous;
    options.HoveredItem = c.hovered ? 1 : 7;
    options.ScanMode = c.scanMode;
    options.RestMode = c.restMode;
    boxes.ShowCell(box, options);
    EXPECT_EQ(box.Frame.PenColour, c.expectedPen) << c.name;
    EXPECT_TRUE(box.Frame.Visible) << c.name;
  }
}

TEST_F(ShowCellTest, EmptyWhiteCellsAreNeverShown) {
  options.HoveredItem = 1;
  TBox& white = Cell("", WhiteColour);
  boxes.ShowCell(white, options);
  EXPECT_FALSE(white.Frame.Visible);
  EXPECT_FALSE(white.CaptionLabel.Visible);

  TBox& black = Cell("", BlackColour);
  boxes.ShowCell(black, options);
  EXPECT_TRUE(black.Frame.Visible);
  EXPECT_EQ(black.Frame.Bounds, (GridRect{2, 2, 96, 76}));
  EXPECT_EQ(black.Frame.PenColour, BlackColour);
  EXPECT_FALSE(black.CaptionLabel.Visible);
  EXPECT_FALSE(black.PictureImage.Visible);

  CellBoxes::HideCell(black);
  TBox& whiteWithText = Cell("", WhiteColour);
  whiteWithText.Read = "hola";
  boxes.ShowCell(whiteWithText, options);
  EXPECT_TRUE(whiteWithText.Frame.Visible);

  CellBoxes::HideCell(whiteWithText);
  EXPECT_FALSE(whiteWithText.Frame.Visible || whiteWithText.CaptionLabel.Visible ||
               whiteWithText.PictureImage.Visible);
}

TEST_F(ShowCellTest, CaptionBelowThePicture) {
  options.CaptionsBelow = true;
  TBox& box = Cell("Hola");
  box.Picture = "p.png";
  box.SetPicture(SolidPicture(90, 47), true);
  boxes.ShowCell(box, options);
  EXPECT_EQ(box.CaptionLabel.Bounds, (GridRect{7, 57, 86, 16}));
  EXPECT_EQ(box.PictureImage.Bounds, (GridRect{5, 7, 90, 47}));
  EXPECT_TRUE(box.CaptionLabel.Visible);
  EXPECT_EQ(box.CaptionLabel.Text, "Hola");
}

TEST_F(ShowCellTest, AssignCellRecordCopiesTheCellAndReleasesTheOldPicture) {
  TBox& box = *boxes.GridBox(5);
  box.SetPicture(SolidPicture(10, 10), true);
  CellRecord record;
  record.Caption = "S\xED";
  record.Read = "si";
  record.Link = "otro.qdx";
  record.SpecialFunction = "<CASA>";
  record.Picture = "si.png";
  record.FrameCellColour = 0x0000FF00;
  record.Font.Name = "Arial";
  boxes.AssignCellRecord(5, record, true);
  EXPECT_EQ(box.Number, 5);
  EXPECT_EQ(box.Caption, "S\xED");
  EXPECT_EQ(box.Link, "otro.qdx");
  EXPECT_EQ(box.Picture, "si.png");
  EXPECT_EQ(box.Frame.PenColour, 0x0000FF00);
  EXPECT_EQ(box.Alignment, CaptionAlignment::Centre);
  EXPECT_EQ(box.CaptionFont().Name, "Arial");
  EXPECT_EQ(box.HeldPicture(), nullptr);
  EXPECT_EQ(boxes.GridBox(0), nullptr);
  EXPECT_EQ(boxes.GridBox(442), nullptr);
  EXPECT_EQ(boxes.MessageBox(22), nullptr);
  EXPECT_EQ(boxes.MessageBox(1)->Number, -1);
}

// Hands out copies as a picture cache would, remembering what it was asked for.
class RecordingSource final : public ScaledPictureSource {
public:
  std::shared_ptr<const Image> ScaledCopy(const std::shared_ptr<const Image>& held, int32_t width,
                                          int32_t height, ImageScaler&) override {
    Asked.push_back(held.get());
    if (Answer == Reply::Nothing) return nullptr;
    const int32_t w = Answer == Reply::WrongSize ? width + 1 : width;
    return SolidPicture(w, height);
  }
  enum class Reply { Copy, Nothing, WrongSize } Answer = Reply::Copy;
  std::vector<const Image*> Asked;
};

TEST_F(ShowCellTest, ShrunkCopiesComeFromTheSourceWhenOneIsSet) {
  struct Case {
    const char* Name;
    RecordingSource::Reply Answer;
    PictureScaling Path;
  };
  const Case cases[] = {
      {"a copy is used as it comes", RecordingSource::Reply::Copy, PictureScaling::HalftoneShrink},
      {"no copy falls back to stretching", RecordingSource::Reply::Nothing, PictureScaling::PlatformStretch},
      {"a copy of another size is refused", RecordingSource::Reply::WrongSize,
       PictureScaling::PlatformStretch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    RecordingSource source;
    source.Answer = c.Answer;
    boxes.SetScaledSource(&source);
    TBox& box = Cell("Hola");
    box.Picture = "p.png";
    const auto picture = SolidPicture(400, 200);
    box.SetPicture(picture, true);
    boxes.ShowCell(box, options);
    boxes.ShowCell(box, options); // a hover repaint asks nobody again
    EXPECT_EQ(box.PictureImage.Scaling, c.Path);
    ASSERT_EQ(source.Asked.size(), 1u);
    EXPECT_EQ(source.Asked[0], picture.get());
    EXPECT_EQ(scaler.Calls, 0);
    // The same picture set again (the board opened again) asks again: the source decides what is kept.
    box.SetPicture(picture, true);
    boxes.ShowCell(box, options);
    EXPECT_EQ(source.Asked.size(), 2u);
  }
  boxes.SetScaledSource(nullptr);
  TBox& box = Cell("Hola");
  box.Picture = "p.png";
  box.SetPicture(SolidPicture(400, 200), true);
  boxes.ShowCell(box, options);
  EXPECT_EQ(scaler.Calls, 1);
  EXPECT_EQ(box.PictureImage.Scaling, PictureScaling::HalftoneShrink);
}

} // namespace
} // namespace nq
