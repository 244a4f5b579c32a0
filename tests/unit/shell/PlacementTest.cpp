// Window placement per board, the rectangle the user drags back into the board, and the menu corner
// that brings the menu back while menu and caption are hidden.
#include <gtest/gtest.h>

#include "ShellFakes.h"

namespace nq::test {
namespace {

struct RectCase {
  const char* Name;
  int32_t Value;
  WindowRect Stored;
  WindowRect Expected;
};

class PlacementTable : public ::testing::TestWithParam<RectCase> {};

TEST_P(PlacementTable, OnA1920x1080Screen) {
  EXPECT_EQ(PlacementRect(GetParam().Value, GetParam().Stored, 1920, 1080), GetParam().Expected);
}

constexpr WindowRect Usual{305, 117, 632, 452};

INSTANTIATE_TEST_SUITE_P(
    Placement, PlacementTable,
    ::testing::Values(RectCase{"Default", 0, Usual, Usual},
                      RectCase{"Maximized", 1, Usual, {0, 0, 1920, 1080}},
                      RectCase{"ScreenCenter", 2, Usual, {644, 314, 632, 452}},
                      RectCase{"BottomCenter", 3, Usual, {644, 628, 632, 452}},
                      RectCase{"TopCenter", 4, Usual, {644, 0, 632, 452}},
                      RectCase{"TopLeft", 5, Usual, {0, 0, 632, 452}},
                      RectCase{"BottomLeft", 6, Usual, {0, 628, 632, 452}},
                      RectCase{"TopRight", 7, Usual, {1288, 0, 632, 452}},
                      RectCase{"BottomRight", 8, Usual, {1288, 628, 632, 452}},
                      RectCase{"LargerThanScreen", 2, {5, 5, 2001, 1203}, {-40, -61, 2001, 1203}},
                      RectCase{"OutOfRange", 9, Usual, Usual}, RectCase{"Negative", -1, Usual, Usual},
                      RectCase{"HugeStored",
                               8,
                               {0, 0, INT32_MAX, INT32_MAX},
                               {1920 - INT32_MAX, 1080 - INT32_MAX, INT32_MAX, INT32_MAX}}),
    [](const auto& info) { return info.param.Name; });

class PlacementTest : public ::testing::Test {
protected:
  ShellHarness h;
};

TEST_F(PlacementTest, BoardPlacementChecksItsItemAndPlacesTheWindow) {
  const std::string board = h.WriteBoard("a.qdx", {.Position = 3});
  h.Started({board});
  EXPECT_EQ(h.Window.Rects.back(), (WindowRect{644, 628, 632, 452}));
  for (const std::string& item : MenuModel::PositionItemNames())
    EXPECT_EQ(h.ThePlayer->Menu().Checked(item), item == "MenuPositionBottomCenter") << item;
}

TEST_F(PlacementTest, PositionItemWritesTheValueIntoTheBoard) {
  const std::string board = h.WriteBoard("a.qdx");
  h.Started({board});
  h.ThePlayer->MenuClick("MenuPositionTopRight");
  EXPECT_EQ(ShellHarness::Stored(board, "Menu Options 2", "MenuQdxPosition"), "7");
  EXPECT_EQ(h.Window.Rects.back(), (WindowRect{1288, 0, 632, 452}));
  EXPECT_TRUE(h.ThePlayer->Menu().Checked("MenuPositionTopRight"));
  EXPECT_FALSE(h.ThePlayer->Menu().Checked("MenuPositionDefault"));
}

TEST_F(PlacementTest, PositionItemWithoutABoardStillPlacesTheWindow) {
  h.Started();
  h.ThePlayer->MenuClick("MenuPlafoMAXIMIZED");
  EXPECT_EQ(h.Window.Rects.back(), (WindowRect{0, 0, 1920, 1080}));
  EXPECT_TRUE(h.Messages.Messages.empty());
}

struct WriteBackCase {
  const char* Name;
  bool BoardOpen;
  bool LeftDown;
};

class RectangleWriteBack : public PlacementTest, public ::testing::WithParamInterface<WriteBackCase> {};

TEST_P(RectangleWriteBack, OnlyWhileDraggingABoard) {
  const std::string board = h.WriteBoard("a.qdx");
  h.Started();
  if (GetParam().BoardOpen) h.ThePlayer->Boards().OpenBoard(board);
  h.Window.LeftDown = GetParam().LeftDown;
  h.ThePlayer->WindowRectChanged({10, 20, 700, 500});
  const bool written = GetParam().BoardOpen && GetParam().LeftDown;
  const char* keys[4] = {"Left", "Top", "Width", "Height"};
  const char* dragged[4] = {"10", "20", "700", "500"};
  const char* original[4] = {"305", "117", "632", "452"};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ShellHarness::Stored(board, "Position", keys[i]), written ? dragged[i] : original[i])
        << keys[i];
}

INSTANTIATE_TEST_SUITE_P(Placement, RectangleWriteBack,
                         ::testing::Values(WriteBackCase{"Dragging", true, true},
                                           WriteBackCase{"ButtonUp", true, false},
                                           WriteBackCase{"NoBoard", false, true}),
                         [](const auto& info) { return info.param.Name; });

TEST(FitInsideWorkArea, BringsTheRectangleInsideAndKeepsOneThatFits) {
  constexpr WindowRect Laptop{0, 0, 1366, 728}; // a 1366 x 768 screen with a 40 px panel below
  constexpr WindowRect PanelAbove{0, 32, 1366, 736};
  const RectCase cases[] = {
      {"fits", 0, {120, 60, 940, 660}, {120, 60, 940, 660}},
      {"made on a larger screen", 0, {120, 60, 1600, 1000}, {0, 0, 1366, 728}},
      {"too tall only", 0, {120, 60, 940, 760}, {120, 0, 940, 728}},
      {"runs past the right edge", 0, {900, 60, 940, 600}, {426, 60, 940, 600}},
      {"left of the screen", 0, {-300, 60, 940, 600}, {0, 60, 940, 600}},
  };
  for (const RectCase& c : cases)
    EXPECT_EQ(FitInsideWorkArea(c.Stored, Laptop), c.Expected) << c.Name;
  EXPECT_EQ(FitInsideWorkArea({120, 0, 940, 700}, PanelAbove), (WindowRect{120, 32, 940, 700}));
  EXPECT_EQ(FitInsideWorkArea({120, 0, 940, 700}, WindowRect{}), (WindowRect{120, 0, 940, 700}));
}

TEST_F(PlacementTest, StoredRectangleLargerThanTheWorkAreaIsShownInsideItAndKeptInTheFile) {
  const std::string board = h.WriteBoard("big.qdx", {.Left = 120, .Top = 60, .Width = 1600, .Height = 1000});
  h.Window.ScreenW = 1366;
  h.Window.ScreenH = 768;
  h.Window.Work = {0, 0, 1366, 728};
  h.Started({board});
  EXPECT_EQ(h.Window.Rects.back(), (WindowRect{0, 0, 1366, 728}));
  EXPECT_EQ(ShellHarness::Stored(board, "Position", "Width"), "1600");
  EXPECT_EQ(ShellHarness::Stored(board, "Position", "Height"), "1000");
  // Docked and maximized windows stay inside it too.
  h.ThePlayer->MenuClick("MenuPositionBottomRight");
  EXPECT_EQ(h.Window.Rects.back(), (WindowRect{0, 0, 1366, 728}));
  h.ThePlayer->MenuClick("MenuPlafoMAXIMIZED");
  EXPECT_EQ(h.Window.Rects.back(), (WindowRect{0, 0, 1366, 728}));
  // Once the user moves the window the file takes the rectangle shown.
  h.ThePlayer->MenuClick("MenuPositionDefault");
  h.Window.LeftDown = true;
  h.ThePlayer->WindowRectChanged({0, 0, 1366, 728});
  EXPECT_EQ(ShellHarness::Stored(board, "Position", "Width"), "1366");
}

TEST_F(PlacementTest, DraggedDockedBoardComesBackDockedWithItsNewSize) {
  const std::string board = h.WriteBoard("a.qdx", {.Position = 4});
  h.Started({board});
  h.Window.LeftDown = true;
  h.ThePlayer->WindowRectChanged({10, 20, 700, 500});
  h.Window.LeftDown = false;
  h.ThePlayer->Boards().OpenBoard(board);
  EXPECT_EQ(h.Window.Rects.back(), (WindowRect{610, 0, 700, 500}));
}

TEST(MenuCornerSquare, BoundsAreExclusive) {
  struct Point {
    int32_t X, Y;
    bool Inside;
  };
  for (const Point& p :
       {Point{750, 50, true}, Point{701, 1, true}, Point{799, 99, true}, Point{700, 50, false},
        Point{800, 50, false}, Point{750, 0, false}, Point{750, 100, false}})
    EXPECT_EQ(InMenuCorner(p.X, p.Y, 800), p.Inside) << p.X << "," << p.Y;
}

// Menu and caption hidden, a board on screen, the pointer resting in the corner square.
class MenuCorner : public ::testing::Test {
protected:
  void SetUp() override {
    A = h.WriteBoard("a.qdx", {.Prefix = "a"});
    h.WriteSettings("[tts]\nNumero sintetitzador=0\n[Menu Options]\nNoMenuNoCaption=SI\n");
    h.Started({A});
    ASSERT_TRUE(h.State().NoMenuNoCaptionMode);
    h.Window.PointerX = 750;
    h.Window.PointerY = 50;
  }
  void Press(int32_t x = 750, int32_t y = 50) {
    h.ThePlayer->HandleMouseEvent(MouseEventKind::LeftPress, x, y);
  }
  void Release() { h.ThePlayer->HandleMouseEvent(MouseEventKind::LeftRelease, 750, 50); }

  ShellHarness h;
  std::string A;
};

TEST_F(MenuCorner, HeldForOnePeriodOpensTheMenuBoard) {
  h.WriteMenuBoard();
  h.ThePlayer->MutableState().View.RestMode = true;
  Press();
  h.Clock.Advance(999);
  EXPECT_EQ(h.State().CurrentBoardFile, A);
  h.Clock.Advance(1);
  EXPECT_EQ(h.State().CurrentBoardFile, h.MenuBoardPath());
  EXPECT_FALSE(h.State().View.RestMode);
  EXPECT_FALSE(h.ThePlayer->MenuTimer().Enabled());
}

TEST_F(MenuCorner, WithoutAMenuBoardTheMenuComesBack) {
  Press();
  h.Clock.Advance(1000);
  EXPECT_FALSE(h.State().NoMenuNoCaptionMode);
  EXPECT_FALSE(h.Window.MenuHidden);
  EXPECT_EQ(h.Setting("Menu Options", "NoMenuNoCaption"), "NO");
  EXPECT_EQ(h.State().CurrentBoardFile, A);
}

struct InterruptCase {
  const char* Name;
  MouseEventKind Then; // the event after the press
  int32_t PointerX;    // where the pointer is when the timer fires
};

class MenuCornerInterrupted : public MenuCorner, public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(MenuCornerInterrupted, NothingOpens) {
  h.WriteMenuBoard();
  Press();
  h.Clock.Advance(500);
  h.ThePlayer->HandleMouseEvent(GetParam().Then, 750, 50);
  h.Window.PointerX = GetParam().PointerX;
  h.Clock.Advance(2000);
  EXPECT_EQ(h.State().CurrentBoardFile, A);
  EXPECT_TRUE(h.State().NoMenuNoCaptionMode);
}

INSTANTIATE_TEST_SUITE_P(Corner, MenuCornerInterrupted,
                         ::testing::Values(InterruptCase{"Move", MouseEventKind::Move, 750},
                                           InterruptCase{"Release", MouseEventKind::LeftRelease, 750},
                                           InterruptCase{"RightPress", MouseEventKind::RightPress, 750},
                                           // no event, but the pointer left the square before the timer fired
                                           InterruptCase{"PointerLeft", MouseEventKind::LeftPress, 500}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(MenuCorner, PressOutsideTheSquareOrWithTheMenuShownStartsNothing) {
  Press(700, 50);
  EXPECT_FALSE(h.ThePlayer->MenuTimer().Enabled());
  h.ThePlayer->MenuClick("MenuNoMenuNoCaption");
  Press();
  EXPECT_FALSE(h.ThePlayer->MenuTimer().Enabled());
}

struct LatchCase {
  const char* Name;
  bool SelectOnPress;
};

class MenuCornerLatch : public MenuCorner, public ::testing::WithParamInterface<LatchCase> {};

TEST_P(MenuCornerLatch, FirstReleaseAfterTheMenuBoardRearmsTheCorner) {
  if (GetParam().SelectOnPress) h.ThePlayer->MenuClick("MenuMouseDown");
  h.WriteMenuBoard();
  Press();
  h.Clock.Advance(1000);
  ASSERT_EQ(h.State().CurrentBoardFile, h.MenuBoardPath());
  EXPECT_FALSE(h.State().MenuCornerLatch);
  Press(); // the corner is disarmed until the button comes up
  EXPECT_FALSE(h.ThePlayer->MenuTimer().Enabled());
  Release();
  EXPECT_TRUE(h.State().MenuCornerLatch);
  Press();
  EXPECT_TRUE(h.ThePlayer->MenuTimer().Enabled());
}

INSTANTIATE_TEST_SUITE_P(Corner, MenuCornerLatch,
                         ::testing::Values(LatchCase{"SelectOnRelease", false},
                                           LatchCase{"SelectOnPress", true}),
                         [](const auto& info) { return info.param.Name; });

} // namespace
} // namespace nq::test
