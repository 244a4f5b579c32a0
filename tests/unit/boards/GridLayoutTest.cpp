#include "boards/GridLayout.h"

#include <gtest/gtest.h>

#include "support/CellTestFakes.h"

namespace nq {
namespace {

using test::FakeMarkSettings;
using test::FakeScaler;
using test::FakeTextMetrics;

struct PanelCase {
  const char* name;
  bool showButtons, showMessage, swap;
  int clientHeight;
  GridRect buttonBar, messageBar, boxes;
};

TEST(PanelGeometry, BarsShownHiddenAndSwapped) {
  const PanelCase cases[] = {
      {"both bars", true, true, false, 600, {0, 0, 838, 65}, {0, 465, 838, 135}, {0, 65, 838, 400}},
      {"both bars swapped", true, true, true, 600, {0, 535, 838, 65}, {0, 0, 838, 135}, {0, 135, 838, 400}},
      {"button bar only", true, false, false, 600, {0, 0, 838, 65}, {0, 465, 838, 135}, {0, 65, 838, 535}},
      {"message bar only", false, true, false, 600, {0, 0, 838, 65}, {0, 465, 838, 135}, {0, 0, 838, 465}},
      {"button bar only, swapped",
       true,
       false,
       true,
       600,
       {0, 535, 838, 65},
       {0, 0, 838, 135},
       {0, 0, 838, 535}},
      {"message bar only, swapped",
       false,
       true,
       true,
       600,
       {0, 535, 838, 65},
       {0, 0, 838, 135},
       {0, 135, 838, 465}},
      {"no bars", false, false, false, 600, {0, 0, 838, 65}, {0, 465, 838, 135}, {0, 0, 838, 600}},
      {"window shorter than both bars",
       true,
       true,
       false,
       150,
       {0, 0, 838, 65},
       {0, 15, 838, 135},
       {0, 65, 838, 0}},
  };
  for (const auto& c : cases) {
    const PanelGeometry g = ArrangePanels(838, c.clientHeight, {c.showButtons, c.showMessage, c.swap, 135});
    EXPECT_EQ(g.ButtonBarVisible, c.showButtons) << c.name;
    EXPECT_EQ(g.MessageBarVisible, c.showMessage) << c.name;
    EXPECT_EQ(g.ButtonBar, c.buttonBar) << c.name;
    EXPECT_EQ(g.MessageBar, c.messageBar) << c.name;
    EXPECT_EQ(g.Boxes, c.boxes) << c.name;
  }
  const ButtonPanels panels = MakeButtonPanels({0, 535, 838, 65});
  EXPECT_EQ(panels[3].Caption, "Llegir");
  EXPECT_EQ(panels[3].Item, -4);
  EXPECT_EQ(panels[3].Bounds, (GridRect{180, 535, 60, 60}));
  EXPECT_EQ(panels[7].Caption, "S\xEDmbol");
  EXPECT_FALSE(panels[8].Visible);
}

class GridLayoutTest : public ::testing::Test {
protected:
  FakeTextMetrics metrics;
  FakeScaler scaler;
  FakeMarkSettings settings;
  CellBoxes boxes{metrics, scaler, settings};
  GridViewState state;
  GridLayout layout{boxes, state};
  static constexpr int32_t Own = 0x00AA00;

  // A board whose cells all have a caption, in a window giving a grid panel of 820 x 417 at y 65.
  void OpenBoard(int columns, int rows) {
    state.Columns = columns;
    state.Rows = rows;
    boxes.HideAllGridCells();
    for (int k = 1; k <= columns * rows; ++k) {
      CellRecord record;
      record.Caption = "C" + std::to_string(k);
      record.FrameCellColour = Own;
      boxes.AssignCellRecord(k, record, false);
    }
    layout.HoveredItem = NoItem;
    layout.SetClientSize(820, 617);
    layout.LayoutCells();
  }
  GridRect Rect(int number) const { return boxes.GridBox(number)->CellRect(); }
  int32_t Pen(int number) const { return boxes.GridBox(number)->Frame.PenColour; }
  int HighlightedPanels() const {
    int n = 0;
    for (const ButtonPanel& panel : layout.Buttons())
      n += panel.Highlighted ? 1 : 0;
    return n;
  }
};

TEST_F(GridLayoutTest, DividesTheGridPanelIntoEqualCells) {
  OpenBoard(7, 5);
  EXPECT_EQ(layout.Panels().Boxes, (GridRect{0, 65, 820, 417}));
  EXPECT_EQ(Rect(1), (GridRect{0, 0, 117, 83}));
  EXPECT_EQ(Rect(35), (GridRect{702, 332, 117, 83})); // 1 px right and 2 px bottom stay empty
  EXPECT_EQ(boxes.GridBox(35)->Frame.PenWidth, 2);

  state.FrameThickness = 5;
  OpenBoard(1, 1);
  EXPECT_EQ(Rect(1), (GridRect{0, 0, 820, 417}));
  EXPECT_EQ(boxes.GridBox(1)->Frame.PenWidth, 5);
  EXPECT_FALSE(boxes.GridBox(2)->Frame.Visible);
}

TEST_F(GridLayoutTest, BoardsWithoutColumnsOrRowsPlaceNothing) {
  layout.SetClientSize(820, 617);
  for (auto [columns, rows] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-1, 3}, std::pair{22, 22}}) {
    state.Columns = columns;
    state.Rows = rows;
    layout.LayoutCells();
    EXPECT_EQ(layout.UpdateHoveredItem(20, 70), columns == 22 ? 1 : 0) << columns << "x" << rows;
  }
}

TEST_F(GridLayoutTest, ResizingTheGridPanelLaysOutAgain) {
  OpenBoard(2, 2);
  layout.SetClientSize(400, 617);
  EXPECT_EQ(Rect(2), (GridRect{200, 0, 200, 208}));
  state.ShowMessageBar = false; // hiding a bar gives its room to the grid
  layout.ArrangePanels();
  EXPECT_EQ(Rect(3), (GridRect{0, 276, 200, 276}));
}

TEST_F(GridLayoutTest, MessageCellsTakeEqualSlots) {
  OpenBoard(7, 5);
  state.MessageCellCount = 3;
  for (int k = 1; k <= 3; ++k)
    boxes.MessageBox(k)->Caption = "M";
  layout.LayoutCells();
  for (int k = 1; k <= 3; ++k) {
    const TBox& box = *boxes.MessageBox(k);
    EXPECT_EQ(box.CellRect(), (GridRect{(k - 1) * 136, 0, 136, 135})) << k;
    EXPECT_EQ(box.Frame.PenWidth, 1) << k;
    EXPECT_TRUE(box.Frame.Visible) << k;
  }
  EXPECT_FALSE(boxes.MessageBox(4)->Frame.Visible);

  state.WriteLettersOrWordsMode = true; // the memo takes the bar: message cells are not placed
  state.VisibleMessageCells = 2;
  layout.LayoutCells();
  EXPECT_EQ(boxes.MessageBox(2)->Width, 136);
  state.WriteLettersOrWordsMode = false;
  state.VisibleMessageCells = 0; // out of range: never divides by zero
  layout.LayoutCells();
  EXPECT_EQ(boxes.MessageBox(2)->Width, 820);
}

struct PointCase {
  const char* name;
  int x, y;
  int32_t item;
};

TEST_F(GridLayoutTest, ItemUnderThePointer) {
  OpenBoard(7, 5);
  // Button bar 0..65, grid 65..482, message bar 482..617.
  const PointCase cases[] = {
      {"first button", 10, 30, -1},
      {"second button", 70, 30, -2},
      {"between two buttons", 60, 30, 0},
      {"hidden print button is still found", 500, 30, -9},
      {"bar right of the buttons", 700, 30, 0},
      {"top edge of the button bar", 10, 0, 0},
      {"first cell", 1, 66, 1},
      {"border between cells 1 and 2", 117, 100, 0},
      {"second cell", 118, 100, 2},
      {"border between rows", 50, 148, 0},
      {"cell 8", 50, 149, 8},
      {"empty strip at the right", 819, 300, 0},
      {"message bar", 400, 500, -4},
      {"message bar top edge", 400, 482, 0},
      {"outside the window", -5, 300, 0},
      {"below the window", 10, 700, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(layout.ItemAt(c.x, c.y), c.item) << c.name;

  state.ShowMessageBar = false;
  state.SwapBars = true;
  layout.ArrangePanels();
  EXPECT_EQ(layout.ItemAt(10, 617 - 30), -1);
  EXPECT_EQ(layout.ItemAt(10, 30), 1);
  EXPECT_EQ(layout.UpdateHoveredItem(70, 617 - 30), -2);
}

TEST_F(GridLayoutTest, HoveredCellTurnsRedAndLifts) {
  OpenBoard(7, 5);
  EXPECT_EQ(layout.UpdateHoveredItem(130, 160), 9);
  EXPECT_EQ(Pen(9), HighlightColour);
  EXPECT_EQ(Pen(8), Own);
  EXPECT_EQ(Rect(9), (GridRect{115, 81, 117, 83}));
  EXPECT_EQ(boxes.GridBox(9)->Frame.Bounds, (GridRect{117, 83, 113, 79}));

  const uint64_t revision = layout.Revision();
  EXPECT_EQ(layout.UpdateHoveredItem(140, 170), 9); // same cell: nothing is placed again
  EXPECT_EQ(layout.Revision(), revision);

  EXPECT_EQ(layout.UpdateHoveredItem(20, 100), 1); // the lift moves with the pointer
  EXPECT_EQ(Rect(9), (GridRect{117, 83, 117, 83}));
  EXPECT_EQ(Pen(9), Own);
  EXPECT_EQ(Pen(1), HighlightColour);

  EXPECT_EQ(layout.UpdateHoveredItem(117, 100), 0); // a border hovers nothing
  EXPECT_EQ(Pen(1), Own);
}

TEST_F(GridLayoutTest, MovingOntoTheButtonBarAndBack) {
  OpenBoard(7, 5);
  layout.UpdateHoveredItem(130, 160);
  EXPECT_EQ(layout.UpdateHoveredItem(70, 30), -2);
  EXPECT_EQ(Pen(9), Own);
  EXPECT_EQ(Rect(9), (GridRect{117, 83, 117, 83}));
  EXPECT_EQ(layout.HoveredItem, 0);
  EXPECT_EQ(layout.HighlightedButton, -2);
  EXPECT_TRUE(layout.Buttons()[1].Highlighted);
  EXPECT_EQ(layout.Buttons()[1].Colour, HighlightColour);
  EXPECT_EQ(HighlightedPanels(), 1);

  EXPECT_EQ(layout.UpdateHoveredItem(10, 30), -1);
  EXPECT_TRUE(layout.Buttons()[0].Highlighted);
  EXPECT_EQ(HighlightedPanels(), 1);
  EXPECT_EQ(layout.UpdateHoveredItem(700, 30), 0); // over the bar but no panel
  EXPECT_EQ(HighlightedPanels(), 0);

  layout.UpdateHoveredItem(10, 30);
  EXPECT_EQ(layout.UpdateHoveredItem(20, 100), 1);
  EXPECT_EQ(HighlightedPanels(), 0);
  EXPECT_EQ(layout.HighlightedButton, 0);
  EXPECT_EQ(layout.Buttons()[0].Colour, ButtonFaceColour);

  EXPECT_EQ(layout.UpdateHoveredItem(400, 500), -4);
  EXPECT_EQ(layout.HoveredItem, -4);
  EXPECT_EQ(Pen(1), Own);
}

struct HoverModeCase {
  const char* name;
  int scanMode;
  bool restMode, efecto3D;
  const char* specialFunction;
  bool red, lifted, buttonColoured;
};

TEST_F(GridLayoutTest, ScanningRestModeAndTheLiftOption) {
  const HoverModeCase cases[] = {
      {"plain", 0, false, true, "", true, true, true},
      {"3D effect off", 0, false, false, "", true, false, true},
      {"scanning", 1, false, true, "", false, false, false},
      {"rest mode, ordinary cell", 0, true, true, "", false, false, true},
      {"rest mode, rest cell", 0, true, true, "<NEXO_REPOSAR>", true, true, true},
  };
  for (const auto& c : cases) {
    OpenBoard(7, 5);
    layout.LastHoveredItem = NoItem;
    state.ScanMode = c.scanMode;
    state.RestMode = c.restMode;
    state.Efecto3D = c.efecto3D;
    boxes.GridBox(9)->SpecialFunction = c.specialFunction;
    EXPECT_EQ(layout.UpdateHoveredItem(130, 160), 9) << c.name;
    EXPECT_EQ(Pen(9) == HighlightColour, c.red) << c.name;
    EXPECT_EQ(Rect(9).Left == 115, c.lifted) << c.name;
    EXPECT_EQ(layout.UpdateHoveredItem(10, 30), -1) << c.name;
    EXPECT_EQ(layout.HighlightedButton, -1) << c.name;
    EXPECT_EQ(HighlightedPanels() == 1, c.buttonColoured) << c.name;
    layout.UpdateHoveredItem(20, 100);
  }
}

TEST_F(GridLayoutTest, ButtonHighlightsForScanning) {
  const std::pair<int, int> cases[] = {{0, -1}, {1, 0}, {4, 3}, {9, 8}, {10, -1}, {-1, -1}};
  for (const auto& [n, panel] : cases) {
    layout.HighlightAllButtons();
    EXPECT_EQ(HighlightedPanels(), 9);
    layout.HighlightButton(n);
    EXPECT_EQ(HighlightedPanels(), panel < 0 ? 0 : 1) << n;
    if (panel >= 0) {
      EXPECT_TRUE(layout.Buttons()[static_cast<std::size_t>(panel)].Highlighted) << n;
    }
  }
  layout.ClearButtonHighlight();
  EXPECT_EQ(HighlightedPanels(), 0);
}

} // namespace
} // namespace nq
