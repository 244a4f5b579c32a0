#include "boards/GridLayout.h"

#include <algorithm>

namespace nq {
namespace {

bool StrictlyInside(int32_t value, int32_t low, int32_t length) {
  return low < value && value < low + length;
}

} // namespace

GridLayout::GridLayout(CellBoxes& boxes, const GridViewState& state)
    : Boxes(boxes), State(state), Geometry(nq::ArrangePanels(0, 0, {})), ButtonBar(MakeButtonPanels({})) {
  ArrangePanels();
}

void GridLayout::SetClientSize(int32_t width, int32_t height) {
  ClientWidth = width;
  ClientHeight = height;
  ArrangePanels();
}

void GridLayout::ArrangePanels() {
  const GridRect oldBoxes = Geometry.Boxes;
  const PanelOptions options{State.ShowButtonBar, State.ShowMessageBar, State.SwapBars,
                             State.MessageBarHeight};
  Geometry = nq::ArrangePanels(ClientWidth, ClientHeight, options);
  PlaceButtonPanels(ButtonBar, Geometry.ButtonBar);
  Invalidate();
  if (Geometry.Boxes.Width != oldBoxes.Width || Geometry.Boxes.Height != oldBoxes.Height) LayoutCells();
}

CellShowOptions GridLayout::ShowOptions() const {
  CellShowOptions options;
  options.CellSeparation = State.CellSeparation;
  options.FrameThickness = State.FrameThickness;
  options.CaptionsBelow = State.CaptionsBelow;
  options.ScanMode = State.ScanMode;
  options.HoveredItem = HoveredItem;
  options.RestMode = State.RestMode;
  options.Highlight = State.Highlight;
  return options;
}

int32_t GridLayout::GridColumns() const {
  return std::clamp<int32_t>(State.Columns, 0, MaxGridColumns);
}

int32_t GridLayout::GridRows() const {
  return std::clamp<int32_t>(State.Rows, 0, MaxGridRows);
}

int32_t GridLayout::GridCellCount() const {
  return GridColumns() * GridRows();
}

void GridLayout::LayoutCells() {
  const CellShowOptions options = ShowOptions();
  // A board without columns or rows has no cells to place (and nothing to divide by).
  if (GridCellCount() > 0) {
    const int32_t columns = GridColumns();
    const int32_t rows = GridRows();
    const int32_t cellWidth = Geometry.Boxes.Width / columns;
    const int32_t cellHeight = Geometry.Boxes.Height / rows;
    int32_t k = 0;
    for (int32_t r = 1; r <= rows; ++r) {
      for (int32_t c = 1; c <= columns; ++c) {
        TBox& box = *Boxes.GridBox(++k);
        box.Left = (c - 1) * cellWidth;
        box.Top = (r - 1) * cellHeight;
        box.Width = cellWidth;
        box.Height = cellHeight;
        box.Frame.PenWidth = State.FrameThickness;
        Boxes.ShowCell(box, options);
      }
    }
  }
  if (State.ShowMessageBar && !State.WriteLettersOrWordsMode) {
    const int32_t visible = std::clamp<int32_t>(State.VisibleMessageCells, 1, MessageBoxCount);
    const int32_t used = std::clamp<int32_t>(State.MessageCellCount, 0, MessageBoxCount);
    const int32_t slotWidth = Geometry.MessageBar.Width / visible;
    for (int32_t k = 1; k <= used; ++k) {
      TBox& box = *Boxes.MessageBox(k);
      box.Left = (k - 1) * slotWidth;
      box.Width = slotWidth;
      box.Height = Geometry.MessageBar.Height;
      Boxes.ShowCell(box, options);
    }
  }
  Invalidate();
}

void GridLayout::ShowArrivedPicture(int32_t number) {
  if (number < 1 || number > GridCellCount()) return;
  TBox& box = *Boxes.GridBox(number);
  const CellFrame frame = box.Frame;
  Boxes.ShowCell(box, ShowOptions());
  // Scanning sets its highlight on the frame directly.
  box.Frame.PenColour = frame.PenColour;
  box.Frame.RingWidth = frame.RingWidth;
  box.Frame.Inverted = frame.Inverted;
  Invalidate();
}

int32_t GridLayout::ButtonAt(int32_t x) const {
  for (const ButtonPanel& panel : ButtonBar) {
    if (StrictlyInside(x, panel.Bounds.Left, panel.Bounds.Width)) return panel.Item;
  }
  return NoItem;
}

int32_t GridLayout::GridCellAt(int32_t x, int32_t y) const {
  const int32_t count = GridCellCount();
  for (int32_t k = 1; k <= count; ++k) {
    const TBox& box = *Boxes.GridBox(k);
    if (StrictlyInside(x, box.Left, box.Width) &&
        StrictlyInside(y, Geometry.Boxes.Top + box.Top, box.Height)) {
      return k;
    }
  }
  return NoItem;
}

int32_t GridLayout::ItemAt(int32_t x, int32_t y) const {
  if (State.ShowButtonBar && StrictlyInside(y, Geometry.ButtonBar.Top, Geometry.ButtonBar.Height)) {
    return ButtonAt(x);
  }
  if (State.ShowMessageBar && StrictlyInside(y, Geometry.MessageBar.Top, Geometry.MessageBar.Height)) {
    return MessageBarItem;
  }
  return GridCellAt(x, y);
}

int32_t GridLayout::UpdateHoveredItem(int32_t x, int32_t y) {
  if (State.ShowButtonBar && StrictlyInside(y, Geometry.ButtonBar.Top, Geometry.ButtonBar.Height)) {
    if (LastHoveredItem > 0) {
      LastHoveredItem = NoItem;
      HoveredItem = NoItem;
      LayoutCells();
    }
    HoverButtonBar(x);
    return HighlightedButton;
  }
  if (State.ShowMessageBar && StrictlyInside(y, Geometry.MessageBar.Top, Geometry.MessageBar.Height)) {
    HoveredItem = MessageBarItem;
    LayoutCells();
    return MessageBarItem;
  }
  if (HighlightedButton < 0) {
    ClearButtonHighlight();
    HighlightedButton = NoItem;
  }
  HoveredItem = GridCellAt(x, y);
  if (HoveredItem == LastHoveredItem) return HoveredItem;
  LastHoveredItem = HoveredItem;
  LayoutCells();
  LiftHoveredCell();
  return HoveredItem;
}

void GridLayout::LiftHoveredCell() {
  if (!State.Efecto3D || State.ScanMode != 0 || HoveredItem <= 0) return;
  TBox* box = Boxes.GridBox(HoveredItem);
  if (box == nullptr) return;
  if (State.RestMode && box->SpecialFunction != RestToken) return;
  // The lift lasts until the next layout puts the cell back in its slot.
  box->Left -= LiftPixels;
  box->Top -= LiftPixels;
  Boxes.ShowCell(*box, ShowOptions());
  Invalidate();
}

void GridLayout::SetPanelColour(ButtonPanel& panel, bool highlighted) {
  if (panel.Highlighted == highlighted) return;
  panel.Highlighted = highlighted;
  panel.Colour = highlighted ? State.Highlight.Colour : ButtonFaceColour;
  ++PaintRevision;
}

void GridLayout::HoverButtonBar(int32_t x) {
  const int32_t item = ButtonAt(x);
  if (item == NoItem) {
    HighlightedButton = NoItem;
    ClearButtonHighlight();
    return;
  }
  if (item == HighlightedButton) return;
  ClearButtonHighlight();
  // While scanning the scan owns the colours; the pointer only records which button it is over.
  if (State.ScanMode == 0) SetPanelColour(ButtonBar[static_cast<std::size_t>(-item - 1)], true);
  HighlightedButton = item;
}

void GridLayout::HighlightAllButtons() {
  for (ButtonPanel& panel : ButtonBar)
    SetPanelColour(panel, true);
}

void GridLayout::ClearButtonHighlight() {
  for (ButtonPanel& panel : ButtonBar)
    SetPanelColour(panel, false);
}

void GridLayout::HighlightButton(int32_t n) {
  ClearButtonHighlight();
  if (n >= 1 && n <= ButtonPanelCount) SetPanelColour(ButtonBar[static_cast<std::size_t>(n - 1)], true);
}

} // namespace nq
